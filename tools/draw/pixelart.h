#pragma once

#include <QImage>

#include <string>
#include <string_view>
#include <vector>

// Pixel art is kept as text, one character per pixel, so that a change to a
// figure shows up readably in a diff. '.' is never painted: in a sprite cell
// it leaves the white see-through background, elsewhere whatever lies below.
namespace art {

struct Grid {
    int w = 0;
    int h = 0;
    std::vector<std::string> rows;
};

Grid grid(std::string_view text);
Grid mirrored(const Grid& g);
QRgb colour(char c);
void paint(QImage& img, const Grid& g, int x, int y, bool mirror = false);

// The colours every picture shares; 0xFFFFFF is the see-through colour of
// the sprite sheet and must never be used for a figure.
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;

}  // namespace art
