// Each drawing operation marks for the screen only the pixels it changed, and a repaint
// copies only those.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPaintEvent>

#include "support/fixture.h"

namespace tarnix::testing {
namespace {

QImage Filled(int w, int h, QRgb color) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(color);
  return image;
}

// Keeps the region of every paint event of the widget it watches.
class PaintSpy : public QObject {
 public:
  std::vector<QRegion> painted;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted.push_back(static_cast<QPaintEvent*>(event)->region());
    return false;
  }
};

class DirtyRectTest : public GameTest {
 protected:
  // The canvas on a shown window, with a 40 x 40 block built at (100, 100) and on screen.
  PictureBox& BuiltCanvas() {
    form().show();
    PictureBox& canvas = form().Picture1;
    canvas.PaintPicture(Filled(40, 40, 0x336699), 100, 100);
    canvas.Refresh();
    QApplication::processEvents();
    canvas.installEventFilter(&spy);
    return canvas;
  }
  // Refresh, and the one rectangle the screen was given.
  QRect Repainted(PictureBox& box) {
    spy.painted.clear();
    box.Refresh();
    QRegion all;
    for (const QRegion& r : spy.painted) all += r;
    return all.boundingRect();
  }

  PaintSpy spy;
};

TEST_F(DirtyRectTest, CopyMarksOnlyThePixelsThatChanged) {
  PictureBox& canvas = BuiltCanvas();
  ASSERT_TRUE(canvas.Dirty().isEmpty()) << "what was built is on the screen";

  QImage tile = Filled(12, 12, 0x336699);  // the block's own colour ...
  for (int y = 5; y < 7; ++y) {
    for (int x = 4; x < 7; ++x) tile.setPixel(x, y, 0xFFFF0000);  // ... but for a 3 x 2 patch
  }
  canvas.PaintPicture(tile, 100, 100);
  EXPECT_EQ(canvas.Dirty(), QRect(104, 105, 3, 2));
  EXPECT_EQ(Repainted(canvas), QRect(104, 105, 3, 2)) << "the repaint copies only the patch";
  EXPECT_TRUE(canvas.Dirty().isEmpty());

  canvas.PaintPicture(tile, 100, 100);
  EXPECT_TRUE(canvas.Dirty().isEmpty()) << "the same picture again changes nothing";
  EXPECT_TRUE(Repainted(canvas).isEmpty()) << "and nothing is painted";

  canvas.PaintPicture(Filled(8, 8, 0x00FF00), 260, 320);
  EXPECT_EQ(canvas.Dirty(), QRect(260, 320, 4, 4)) << "clipped at the layer's corner";
  EXPECT_EQ(canvas.Point(263, 323), 0x00FF00);
}

TEST_F(DirtyRectTest, OrAndAndMarkWhereBitsChanged) {
  PictureBox& canvas = BuiltCanvas();
  QImage mask = Filled(24, 24, 0x000000);
  mask.setPixel(3, 2, 0xFFFFFFFF);
  mask.setPixel(9, 7, 0xFFFFFFFF);
  canvas.PaintPicture(mask, 110, 110, 24, 24, 0, 0, 24, 24, vbSrcPaint);
  EXPECT_EQ(canvas.Dirty(), QRect(113, 112, 7, 6)) << "OR with black changes nothing";
  EXPECT_EQ(canvas.Point(113, 112), 0xFFFFFF);
  EXPECT_EQ(Repainted(canvas), QRect(113, 112, 7, 6));

  QImage figure = Filled(24, 24, 0xFFFFFF);
  figure.setPixel(3, 2, 0xFF102030);
  figure.setPixel(0, 0, 0xFF000000);
  canvas.PaintPicture(figure, 110, 110, 24, 24, 0, 0, 24, 24, vbSrcAnd);
  EXPECT_EQ(canvas.Dirty(), QRect(110, 110, 4, 3)) << "AND with white changes nothing";
  EXPECT_EQ(canvas.Point(113, 112), 0x302010);
  EXPECT_EQ(canvas.Point(110, 110), 0);
  EXPECT_EQ(Repainted(canvas), QRect(110, 110, 4, 3));
}

TEST_F(DirtyRectTest, ClsMarksOnlyWhatWasDrawnSinceTheLastClear) {
  PictureBox& strip = form().Picture6;  // over its stored picture
  form().show();
  strip.Cls();
  strip.Refresh();
  QApplication::processEvents();
  strip.installEventFilter(&spy);
  const QImage clean = strip.Image().copy();

  strip.PaintPicture(Filled(12, 12, 0x00FFFF), 24, 44);
  strip.Refresh();
  EXPECT_TRUE(strip.Dirty().isEmpty());
  strip.Cls();
  EXPECT_EQ(strip.Dirty(), QRect(24, 44, 12, 12)) << "the clear restores the gift's square only";
  EXPECT_EQ(strip.Image(), clean) << "and the strip is as its picture again";
  EXPECT_EQ(Repainted(strip), QRect(24, 44, 12, 12));

  strip.Cls();
  EXPECT_TRUE(strip.Dirty().isEmpty()) << "a clear strip cleared again changes nothing";
}

TEST_F(DirtyRectTest, StoredPictureIsHeldOnceAndNeverDrawnOver) {
  PictureBox& strip = form().Picture6;
  strip.SetPicture(form().Picture5[3].Picture());
  const QImage stored = strip.Picture().copy();
  EXPECT_EQ(strip.Image().constBits(), strip.Picture().constBits()) << "the layer is its picture";

  strip.PaintPicture(Filled(264, 60, 0x00FFFF), 0, 0);  // drawn over everywhere
  strip.PaintPicture(Filled(10, 10, 0xFF0000), 30, 20);
  EXPECT_EQ(strip.Picture(), stored) << "drawing on the layer leaves the picture alone";
  EXPECT_NE(strip.Image(), stored);

  strip.Cls();
  EXPECT_EQ(strip.Image(), stored);
  EXPECT_EQ(strip.Image().constBits(), strip.Picture().constBits()) << "held once again";
  EXPECT_EQ(strip.Dirty(), strip.Image().rect());
  strip.Cls();
  EXPECT_EQ(strip.Image(), stored) << "a clear of a clear layer changes nothing";
}

}  // namespace
}  // namespace tarnix::testing
