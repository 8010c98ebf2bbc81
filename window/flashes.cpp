#include "window/flashes.h"

#include <QPainter>

#include <array>

#include "core/platform.h"

namespace tarnix {

namespace {

struct FlashMemory {
  // When the last full flashes began, the oldest first; how many of them there are.
  std::array<std::int32_t, kFullFlashesPerSecond> starts{};
  int count = 0;
  bool full = true;  // what the generation being drawn shows
};

FlashMemory& Memory() {
  static FlashMemory memory;
  return memory;
}

// A full flash may begin when the oldest of the last ones is a second old.
bool FullFlashAllowed(const FlashMemory& m, std::int32_t now) {
  return m.count < kFullFlashesPerSecond || TickPassed(now, m.starts[0], 999);
}

void Remember(FlashMemory& m, std::int32_t now) {
  if (m.count == kFullFlashesPerSecond) {
    for (int i = 1; i < m.count; ++i) m.starts[i - 1] = m.starts[i];
    m.count -= 1;
  }
  m.starts[m.count++] = now;
}

}  // namespace

void Flash_PaintGentle(PictureBox& canvas, const QImage& flash, int x, int y,
                       bool generationStart, std::int32_t now) {
  FlashMemory& m = Memory();
  if (generationStart) {
    m.full = FullFlashAllowed(m, now);
    if (m.full) Remember(m, now);
  }
  QImage shape(flash.size(), QImage::Format_RGB32);
  if (m.full) {
    shape.fill(kGentleFlash);
    canvas.PaintPicture(shape, x, y);
    return;
  }
  // Where a full flash would come too soon, the blast's outline still shows where it struck.
  const QRect r(x, y, flash.width(), flash.height());
  const QImage& under = canvas.Image();
  shape = under.copy(r).convertToFormat(QImage::Format_RGB32);
  QPainter p(&shape);
  p.setPen(QColor::fromRgb(kGentleFlash));
  p.drawRect(0, 0, shape.width() - 1, shape.height() - 1);
  p.end();
  canvas.PaintPicture(shape, x, y);
}

void Flashes_Reset() { Memory() = FlashMemory{}; }

}  // namespace tarnix
