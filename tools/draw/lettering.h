#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

namespace art {

// Text set in the game's Japanese font without anti-aliasing, its ink
// centred in `box`, with a one-pixel shadow to the lower right. `top` and
// `bottom` shade the ink from its first to its last row.
void letter(QImage& img, const QString& text, int pixelSize, const QRect& box,
            QRgb top, QRgb bottom, QRgb shadow, bool bold = false);

// Chunky block capitals for the logo and headings: each cell of a 5 x 7
// glyph becomes a bevelled square of `scale` pixels.
int blockWidth(const QString& text, int scale);
void blockLetters(QImage& img, const QString& text, int x, int y, int scale,
                  QRgb top, QRgb bottom, QRgb shadow);

// A 3 x 5 digit, for the numbers on the high-score flags.
void tinyDigit(QImage& img, int digit, int x, int y, int scale, QRgb ink);

}  // namespace art
