#pragma once

#include "pixelart.h"

namespace art {

// The face buttons of a pad as the pad prints them, 11 x 11 each on black: a row per family
// (Xbox, PlayStation, Nintendo, any other by position), a column per position (south, east,
// west, north).
constexpr int kGlyph = 11;
QImage padGlyphs();

}  // namespace art
