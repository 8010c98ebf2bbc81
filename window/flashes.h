// Gentle flashes: the explosion flashes toned down for players who are sensitive to them.
#pragma once

#include <QImage>

#include <cstdint>

#include "window/controls.h"

namespace tarnix {

// At most this many full flashes begin in any second; the others show as an outline.
inline constexpr int kFullFlashesPerSecond = 3;
// The toned-down flash: a dark red, a small step from the black well instead of a glare.
inline constexpr QRgb kGentleFlash = 0xFF5A2018;

// Draws one blast's flash gently on `canvas` at (x, y), the size of `flash`. `generationStart`
// is true for the first blast of a generation: all blasts of a generation appear together and
// count as one flash. `now` is the tick counter.
void Flash_PaintGentle(PictureBox& canvas, const QImage& flash, int x, int y,
                       bool generationStart, std::int32_t now);
// Forgets the flashes seen so far.
void Flashes_Reset();

}  // namespace tarnix
