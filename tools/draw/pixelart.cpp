#include "pixelart.h"

#include <stdexcept>

namespace art {

namespace {

struct Ink {
    char c;
    QRgb rgb;
};

// A small palette for the whole game, so that every picture looks of a piece.
constexpr Ink kPalette[] = {
    {'K', 0x000000}, {'k', 0x24242E},  // outline, near-black
    {'W', 0xF0F0F0}, {'w', 0xC4C4CE},  // shine, light grey
    {'g', 0x8C8C9A}, {'G', 0x50505E},  // grey, dark grey
    {'R', 0xE03C28}, {'r', 0x901C14},  // red, dark red
    {'P', 0xFF8C70},                   // pink highlight on red
    {'O', 0xF89020}, {'Y', 0xF8E048},  // orange, yellow
    {'S', 0xF8C490}, {'s', 0xC8845C},  // skin, skin shade
    {'B', 0x3C6CE0}, {'b', 0x203C94},  // blue, dark blue
    {'C', 0x8CC8F8},                   // light blue
    {'N', 0x8C5428}, {'n', 0x5A3018},  // brown, dark brown
    {'D', 0x3C2010},                   // darkest brown
    {'T', 0xD8A060}, {'t', 0xB07438},  // tan, wood
    {'E', 0x58C848}, {'e', 0x24782C},  // green, dark green
    {'V', 0xB870E8},                   // violet
};

}  // namespace

QRgb colour(char c)
{
    for (const Ink& ink : kPalette)
        if (ink.c == c)
            return 0xFF000000u | ink.rgb;
    throw std::runtime_error(std::string("no colour for grid character '") + c + "'");
}

Grid grid(std::string_view text)
{
    Grid g;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        while (!line.empty() && (line.front() == ' '))
            line.remove_prefix(1);
        if (!line.empty())
            g.rows.emplace_back(line);
        pos = end + 1;
    }
    g.h = static_cast<int>(g.rows.size());
    g.w = g.h ? static_cast<int>(g.rows.front().size()) : 0;
    for (const std::string& row : g.rows)
        if (static_cast<int>(row.size()) != g.w)
            throw std::runtime_error("ragged grid row: " + row);
    return g;
}

Grid mirrored(const Grid& g)
{
    Grid m = g;
    for (std::string& row : m.rows)
        row.assign(row.rbegin(), row.rend());
    return m;
}

void paint(QImage& img, const Grid& g, int x, int y, bool mirror)
{
    for (int j = 0; j < g.h; ++j)
        for (int i = 0; i < g.w; ++i) {
            const char c = g.rows[j][mirror ? g.w - 1 - i : i];
            if (c == '.')
                continue;
            const int px = x + i, py = y + j;
            if (px >= 0 && py >= 0 && px < img.width() && py < img.height())
                img.setPixel(px, py, colour(c));
        }
}

}  // namespace art
