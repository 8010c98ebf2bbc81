#include "glyphs.h"

#include <array>

namespace art {

namespace {

// Symbols of 5 x 5 on an 11 x 11 button; '#' takes the symbol's ink.
const Grid kLetterA = grid(R"(
.###.
#...#
#####
#...#
#...#
)");
const Grid kLetterB = grid(R"(
####.
#...#
####.
#...#
####.
)");
const Grid kLetterX = grid(R"(
#...#
.#.#.
..#..
.#.#.
#...#
)");
const Grid kLetterY = grid(R"(
#...#
.#.#.
..#..
..#..
..#..
)");
const Grid kCircle = grid(R"(
.###.
#...#
#...#
#...#
.###.
)");
const Grid kSquare = grid(R"(
#####
#...#
#...#
#...#
#####
)");
const Grid kTriangle = grid(R"(
..#..
.#.#.
.#.#.
#...#
#####
)");
// The four face buttons as dots, the one meant lit: south, east, west, north.
const Grid kDots[4] = {grid(R"(
..-..
.....
-...-
.....
..#..
)"),
                       grid(R"(
..-..
.....
-...#
.....
..-..
)"),
                       grid(R"(
..-..
.....
#...-
.....
..-..
)"),
                       grid(R"(
..#..
.....
-...-
.....
..-..
)")};

struct Face {
    const Grid* symbol;
    char disc, ink;
};

// By family (Xbox, PlayStation, Nintendo, any other) and position (south, east, west,
// north), as each pad prints them.
const std::array<std::array<Face, 4>, 4> kFaces = {{
    {{{&kLetterA, 'e', 'W'}, {&kLetterB, 'r', 'W'}, {&kLetterX, 'b', 'W'}, {&kLetterY, 'O', 'K'}}},
    {{{&kLetterX, 'k', 'C'}, {&kCircle, 'k', 'P'}, {&kSquare, 'k', 'V'}, {&kTriangle, 'k', 'E'}}},
    {{{&kLetterB, 'G', 'W'}, {&kLetterA, 'G', 'W'}, {&kLetterY, 'G', 'W'}, {&kLetterX, 'G', 'W'}}},
    {{{&kDots[0], 'G', 'Y'}, {&kDots[1], 'G', 'Y'}, {&kDots[2], 'G', 'Y'}, {&kDots[3], 'G', 'Y'}}},
}};

bool insideButton(int x, int y)
{
    const int dx = 2 * x - 10, dy = 2 * y - 10;
    return dx * dx + dy * dy <= 112;
}

}  // namespace

QImage padGlyphs()
{
    QImage img(4 * kGlyph, 4 * kGlyph, QImage::Format_RGB32);
    img.fill(kBlack);
    for (int family = 0; family < 4; ++family)
        for (int position = 0; position < 4; ++position) {
            const Face& face = kFaces[family][position];
            const int x0 = position * kGlyph, y0 = family * kGlyph;
            for (int y = 0; y < kGlyph; ++y)
                for (int x = 0; x < kGlyph; ++x)
                    if (insideButton(x, y))
                        img.setPixel(x0 + x, y0 + y, colour(face.disc));
            const Grid& g = *face.symbol;
            for (int y = 0; y < g.h; ++y)
                for (int x = 0; x < g.w; ++x) {
                    const char c = g.rows[y][x];
                    if (c == '#')
                        img.setPixel(x0 + 3 + x, y0 + 3 + y, colour(face.ink));
                    else if (c == '-')
                        img.setPixel(x0 + 3 + x, y0 + 3 + y, colour('g'));
                }
        }
    return img;
}

}  // namespace art
