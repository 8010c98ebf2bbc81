#include <QImage>
#include <QPainter>

#include "window/form1.h"

namespace tarnix {

namespace {

// Plain shapes of the right sizes, used only when a picture is missing from the build, so
// that the game still runs and every rule that reads pixels still holds.
QImage StandInSheet() {
  QImage sheet(240, 168, QImage::Format_RGB32);
  sheet.fill(Qt::white);
  QPainter p(&sheet);
  p.fillRect(96, 48, 24, 24, Qt::black);
  const QRgb tiles[5] = {0x000000, 0x8B5A2B, 0x707070, 0xB8B8B8, 0xA0702C};
  for (int d = 0; d < 5; ++d) p.fillRect(120 + 24 * d, 48, 24, 24, QColor::fromRgb(tiles[d]));
  for (int n = 0; n < 10; ++n) {
    for (int row = 0; row < 2; ++row) p.fillRect(24 * n + 6, 24 * row + 4, 12, 20, QColor(40, 80, 200));
  }
  for (int n = 0; n < 4; ++n) p.fillRect(24 * n + 6, 52, 12, 20, QColor(40, 80, 200));
  p.fillRect(0, 72, 120, 12, Qt::black);
  for (int m = 0; m < 10; ++m) {
    const QColor c = (m < 4 || m == 8) ? QColor(220, 30, 30) : QColor(30, 60, 220);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(12 * m + 1, 73, 10, 10);
  }
  p.end();
  // Masks: white where the figure is not white; tiles solid; icons as discs.
  for (int y = 0; y < 72; ++y) {
    for (int x = 0; x < 240; ++x) {
      const bool figure = (sheet.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
      sheet.setPixel(x, y + 84, figure ? 0xFFFFFFFF : 0xFF000000);
    }
  }
  QPainter m(&sheet);
  m.fillRect(96, 132, 48, 24, Qt::black);
  m.fillRect(144, 132, 96, 24, Qt::white);
  m.fillRect(0, 156, 240, 12, Qt::white);
  m.fillRect(0, 156, 120, 12, Qt::black);
  m.setPen(Qt::NoPen);
  m.setBrush(Qt::white);
  for (int i = 0; i < 10; ++i) m.drawEllipse(12 * i + 2, 158, 8, 8);
  return sheet;
}

QImage StandIn(int width, int height, QRgb fill) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(fill);
  return image;
}

QImage Load(const char* name, const QImage& standIn) {
  QImage image(QStringLiteral(":/pictures/") + QString::fromLatin1(name), "PNG");
  return image.isNull() ? standIn : image;
}

}  // namespace

void LoadStoredPictures() {
  Form1Window& f = *Form1;
  f.Picture4.SetPicture(Load("sheet.png", StandInSheet()));
  f.Picture5[0].SetPicture(Load("flash_column.png", StandIn(24, 168, 0xFFE00000)));
  f.Picture5[1].SetPicture(Load("flash_wide.png", StandIn(120, 72, 0xFFE00000)));
  f.Picture5[2].SetPicture(Load("flash_square.png", StandIn(120, 120, 0xFFE00000)));
  f.Picture5[3].SetPicture(Load("strip_full.png", StandIn(264, 60, 0xFF000000)));
  f.Picture5[4].SetPicture(Load("strip_short.png", StandIn(264, 36, 0xFF000000)));
  f.Picture5[5].SetPicture(Load("title.png", StandIn(264, 324, 0xFF000000)));
  f.Picture8.SetPicture(Load("panel.png", StandIn(264, 324, 0xFF000000)));
  f.Picture6.SetPicture(f.Picture5[3].Picture());
}

const QImage& BombMarks_Picture() {
  static const QImage marks = Load("bomb_marks.png", QImage());
  return marks;
}

void BombMarks_Apply(bool on) {
  Form1Window& f = *Form1;
  QImage sheet = Load("sheet.png", StandInSheet());
  QImage full = Load("strip_full.png", StandIn(264, 60, 0xFF000000));
  QImage low = Load("strip_short.png", StandIn(264, 36, 0xFF000000));
  const QImage& marks = BombMarks_Picture();
  if (on && !marks.isNull()) {
    QPainter(&sheet).drawImage(0, kBombRow, marks, 0, 0, 120, 12);
    for (QImage* strip : {&full, &low}) {
      QPainter p(strip);
      p.drawImage(kStockIconX[0], kStockIconY, marks, 96, 0, 12, 12);
      p.drawImage(kStockIconX[1], kStockIconY, marks, 108, 0, 12, 12);
    }
  }
  f.Picture4.SetPicture(sheet);
  f.Picture5[3].SetPicture(full);
  f.Picture5[4].SetPicture(low);
  // The strip on screen keeps what it shows; only its two stock icons change.
  QImage shown = f.Picture6.Picture();
  if (shown.height() >= kStockIconY + 12) {
    QPainter p(&shown);
    for (int x : kStockIconX) p.drawImage(x, kStockIconY, full, x, kStockIconY, 12, 12);
    p.end();
    f.Picture6.SetPicture(shown);
  }
}

}  // namespace tarnix
