// What the canvas should show on the title screen, composed here pixel by pixel from the
// stored pictures, so that a test can tell the title (and where its cursor stands) from
// anything else on the canvas.
#pragma once

#include <QImage>

#include "window/form1.h"

namespace tarnix::testing {

// The title picture with the cursor figure at (72, cursorY): mask ORed, then figure ANDed.
inline QImage ExpectedTitle(const Form1Window& f, int cursorY) {
  QImage expected = f.Picture5[5].Picture().convertToFormat(QImage::Format_RGB32);
  const QImage& sheet = f.Picture4.Picture();
  for (int dy = 0; dy < 24; ++dy) {
    for (int dx = 0; dx < 24; ++dx) {
      const int sx = 218 + dx;
      if (sx >= sheet.width()) continue;  // beyond the sheet's edge nothing is copied
      const QRgb mask = sheet.pixel(sx, 84 + dy);
      const QRgb figure = sheet.pixel(sx, dy);
      const QRgb under = expected.pixel(72 + dx, cursorY + dy);
      expected.setPixel(72 + dx, cursorY + dy, 0xFF000000 | ((under | mask) & figure));
    }
  }
  return expected;
}

// Pixels of the canvas that differ from the title screen with its cursor at cursorY.
inline int TitleMismatches(const Form1Window& f, int cursorY) {
  const QImage expected = ExpectedTitle(f, cursorY);
  const QImage& canvas = f.Picture1.Image();
  int wrong = 0;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      if ((canvas.pixel(x, y) & 0xFFFFFF) != (expected.pixel(x, y) & 0xFFFFFF)) ++wrong;
    }
  }
  return wrong;
}

// Paints the whole canvas in a colour no screen of the game uses, so a missing redraw shows.
inline void SmearCanvas(Form1Window& f) {
  QImage smear(264, 324, QImage::Format_RGB32);
  smear.fill(0xFF12F0E0);
  f.Picture1.PaintPicture(smear, 0, 0);
}

}  // namespace tarnix::testing
