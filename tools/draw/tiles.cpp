#include "figures.h"

#include <array>

namespace art {

namespace {

// Well tiles 1-4. Tile 0 is plain black and needs no grid.
const Grid kEarth = grid(R"(
tttttttttttttttttttttttn
tNnNNNnnNNNNTtNNNNnNNNND
tnnNDNNnNNNNnnNNNNNNNnnD
tNnNNNNNNNNNNNNNNnNNNNND
tNNNNDNNNNnNNNNNNnNNNNND
tNNNNNNnNNTtNNNNNNNNNnND
tNNTtNNNNNnnNNNNNNNnNNND
tNTnnNNNNNNNDNNNNNNNNNnD
tNnnNDNNNNNNNNNNNDNNNNND
tNNNNNNNNNNnNNNNNNTtNNND
tNNNNnNNNNnNNNNnNNnnNNND
tNNNNNnNNNNNNNNNNNNNNNnD
tNNNNNNNNNNNNNNTtNNNNNND
tNnNNNNNTtTtNNNTtnNNNNDD
tNNNNTtNnnnnNNNnnNnNNNND
tNNNnnnNnNNNNNNNNNNTtNND
tnNNTtNNNnNNNTtNNNNnnNND
tNNnnnNNNnNNNnnNNNNNNNND
tnnnNNNNNNNnNNNDNnnNNNND
tNNNNNNNNnNNNNNNNNNNNNND
tNNNNNTtNnNNnNNNNNnNnNND
tNNNNNnDNNNDNNNnNNNNNNnD
tNNNNNNNNNNNNNNNNNNNNNND
nDDDDDDDDDDDDDDDDDDDDDDD
)");

const Grid kGranite = grid(R"(
wwwwwwwwwwwwwwwwwwwwwwwG
wgggwggggggggggggggGggGk
wggggggggGgGggggggggwgGk
wggGGggGgggggggkgGgggwGk
wgggggggggGgGggggwGgggGk
wgggkwggggggggwgggggggGk
wGGggggkwggggwggggggggGk
wgggggGgggggggggggggggGk
wgggggggggwgggggggggGgGk
wgggggggggggggggGgggggGk
wkgGggGgggggggggggggwgGk
wggggGggggggggggGGggGwGk
wgggggggggggGgggggggGgGk
wgggGwgggggggggggwggggGk
wGgggggggggGwggGggggggGk
wggGkgwGGggGgggGGggwggGk
wggkwGgggwgggwgggGwggkGk
wggkwggGggggggggkggggGGk
wgggwggwgggggggggggGggGk
wgggwgGGgggGgggggggGggGk
wgggggggggGgggwggggGggGk
wgggggggggggggwgggggggGk
wGGGGGGGGGGGGGGGGGGGGGGk
Gkkkkkkkkkkkkkkkkkkkkkkk
)");

const Grid kPlain = grid(R"(
WWWWWWWWWWWWWWWWWWWWWWWg
WWWWWWWWWWWWWWWWWWWWWWgG
WWwwwwwwwwwwwwwwwwwwwwgG
WWwwwwwwwwwwwwwwwwwwwwgG
WWwwwwwwwwwwwwwwwwwwwwgG
WWwwwwwwwwwwwwwwwwwwwwgG
WWwwwwwwwwwwwwwwwwwwwwgG
WWwwwwwwwwwwwwwwwwwwwwgG
WWwwwwwwwwwwwwwwwwwwwwgG
WWwwwwwwwwwwwwwwwwwwwwgG
WWwwwwwwwwwwwwwwwwwwwwgG
WWwwwwwwwwwwwwwwwwwwwwgG
WWwwwwwwwwwwwwwwwwwwwwgG
WWwwwwwwwwwwwwwwwwwwwwgG
WWwwwwwwwwwwwwwwwwwwwwgG
WWwwwwwwwwwwwwwwwwwwwwgG
WWwwwwwwwwwwwwwwwwwwwwgG
WWwwwwwwwwwwwwwwwwwwwwgG
WWwwwwwwwwwwwwwwwwwwwwgG
WWwwwwwwwwwwwwwwwwwwwwgG
WWwwwwwwwwwwwwwwwwwwwwgG
WWwwwwwwwwwwwwwwwwwwwwgG
Wggggggggggggggggggggggk
gGGGGGGGGGGGGGGGGGGGGGkk
)");

// No pure black in a block: the bombs read black pixels as empty space.
const Grid kCrate = grid(R"(
TTTTTTTTTTTTTTTTTTTTTTTn
TNNNNNNNNNNNNNNNNNNNNNnD
TNTTTTTTTTTTTTTTTTTTTNnD
TNTttttttttttttttttTtNnD
TNTtnnnnnnnnnnnnnnnntNnD
TNTttttttttYOttttttttNnD
TNTtttttttkOtttttttttNnD
TNTttttkkkkktttttttttNnD
TNTnnnkGGGGGkknnnnnntNnD
TNTttkGGWWGGGGkttttttNnD
TNTttkGWGGGGGGkttttttNnD
TNTtkGGGGGGGGGGktttttNnD
TNTtkGGGGGGGGGGktttttNnD
TNTtkGGGGGGGGGGktttttNnD
TNTtkGGGGGGGGGGktttttNnD
TNTnnkGGGGGGGGknnnnntNnD
TNTttkGGGGGGGGkttttttNnD
TNTtttkkGGGGkktttttttNnD
TNTtttttkkkktttttttttNnD
TNTtnnnnnnnnnnnnnnnntNnD
TNTttttttttttttttttttNnD
TNNNNNNNNNNNNNNNNNNNNNnD
TnnnnnnnnnnnnnnnnnnnnnnD
nDDDDDDDDDDDDDDDDDDDDDDD
)");

// 12 x 12 bombs on black; the spark visits the four corners in turn.
const Grid kRedBomb = grid(R"(
............
............
........tT..
.......t....
.....GgwG...
...rrRRRRr..
..rRWPRRRRr.
..rRPRRRRRr.
..rRRRRRRRr.
..rrRRRRRrr.
...rrRRRrr..
....rrrrr...
)");

const Grid kBlueBomb = grid(R"(
............
............
........tT..
.......t....
.....GgwG...
...bbBBBBb..
..bBWCBBBBb.
..bBCBBBBBb.
..bBBBBBBBb.
..bbBBBBBbb.
...bbBBBbb..
....bbbbb...
)");

// The marks that tell the kinds apart without colour: each is the shape of its blast, a
// vertical line for red, a wide bar for blue. Only body pixels are painted over, so a marked
// bomb covers exactly the pixels an unmarked one does.
const Grid kRedMark = grid(R"(
............
............
............
............
............
............
.......W....
.......W....
.......W....
.......W....
.......W....
............
)");

const Grid kBlueMark = grid(R"(
............
............
............
............
............
............
............
............
.....WWWWW..
............
............
............
)");

const Grid kSpark = grid(R"(
.O.
OYO
.O.
)");

const Grid kAppIcon16 = grid(R"(
...........O....
..........OYO...
.........tTO....
........tt......
.....KGgwK......
....KKKKKKK.....
...KKrRRRRrKK...
..KrRRRRRRRRrK..
..KRRWPRRRRRRK..
.KrRWPRRRRRRRrK.
.KrRPRRRRRRRRrK.
.KrRRRRRRRRRRrK.
.KrrRRRRRRRRrrK.
..KrrRRRRRRrrK..
...KKrrrrrrKK...
.....KKKKKK.....
)");

const Grid kAppIcon32 = grid(R"(
........................Y.......
.....................O..Y..O....
......................O.Y.O.....
.......................OYO......
....................YYYYWYYYY...
.......................OYO......
.....................tTO.Y.O....
....................tT..OY..O...
...................tT...........
..................tT............
...............KGGgwwGK.........
..............KGGggwgGK.........
...........KKKKrrrrrrrKKKK......
.........KKrrRRRRRRRRRRrrrKK....
........KrrRRRRRRRRRRRRRRrrK....
.......KrRRRPPPRRRRRRRRRRRrrK...
......KrRRPWWPRRRRRRRRRRRRRrK...
......KrRPWWPRRRRRRRRRRRRRRrrK..
.....KrRRPWPRRRRRRRRRRRRRRRRrK..
.....KrRRPPRRRRRRRRRRRRRRRRRrK..
.....KrRRRRRRRRRRRRRRRRRRRRRrK..
.....KrRRRRRRRRRRRRRRRRRRRRRrK..
.....KrRRRRRRRRRRRRRRRRRRRRRrK..
.....KrrRRRRRRRRRRRRRRRRRRRrrK..
......KrRRRRRRRRRRRRRRRRRRRrK...
......KrrRRRRRRRRRRRRRRRRRrrK...
.......KrrRRRRRRRRRRRRRRRrrK....
........KrrrRRRRRRRRRRRrrrK.....
.........KKrrrrRRRRRrrrrKK......
...........KKrrrrrrrrrKK........
.............KKKKKKKKK..........
................................
)");

}  // namespace

const Grid& tile(int d)
{
    static const std::array<const Grid*, 4> tiles = {&kEarth, &kGranite, &kPlain, &kCrate};
    return *tiles.at(d - 1);
}

const Grid& bombIcon(int kind) { return kind == 0 ? kRedBomb : kBlueBomb; }
const Grid& bombMark(int kind) { return kind == 0 ? kRedMark : kBlueMark; }
const Grid& spark() { return kSpark; }
const Grid& appIcon16() { return kAppIcon16; }
const Grid& appIcon32() { return kAppIcon32; }

}  // namespace art
