// The picture-box operations the game's drawing and collision rest on.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>

#include "input/keyboard.h"
#include "support/fixture.h"

namespace tarnix::testing {
namespace {

class ControlsTest : public GameTest {};

QImage Filled(int w, int h, QRgb color) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(color);
  return image;
}

TEST_F(ControlsTest, MaskedFigureComposesOverBackground) {
  PictureBox& box = form().Picture2;
  box.PaintPicture(Filled(24, 24, 0x336699), 0, 0);  // the background
  // A 2x2 figure in the corner: drawn on white, with its mask white where the figure is.
  QImage figure = Filled(24, 24, 0xFFFFFF);
  QImage mask = Filled(24, 24, 0x000000);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 2; ++x) {
      figure.setPixel(x, y, 0xFFC03010);
      mask.setPixel(x, y, 0xFFFFFFFF);
    }
  }
  box.PaintPicture(mask, 0, 0, 24, 24, 0, 0, 24, 24, vbSrcPaint);
  box.PaintPicture(figure, 0, 0, 24, 24, 0, 0, 24, 24, vbSrcAnd);
  EXPECT_EQ(box.Point(1, 1), 0x1030C0) << "the figure's own colour, red in the low byte";
  EXPECT_EQ(box.Point(5, 5), 0x996633) << "outside the silhouette the background stays";
}

TEST_F(ControlsTest, PointReadsTheLayerAndMinusOneOutside) {
  PictureBox& canvas = form().Picture1;
  EXPECT_EQ(canvas.Point(0, 0), 0);
  canvas.PaintPicture(Filled(4, 4, 0x00FF00), 260, 320);  // clipped at the corner
  EXPECT_EQ(canvas.Point(263, 323), 0x00FF00);
  EXPECT_EQ(canvas.Point(264, 0), -1);
  EXPECT_EQ(canvas.Point(0, 324), -1);
  EXPECT_EQ(canvas.Point(-1, 5), -1);
  canvas.Cls();
  EXPECT_EQ(canvas.Point(263, 323), 0) << "Cls returns the canvas to its black back colour";
}

TEST_F(ControlsTest, SourceRectangleIsClippedAtTheSourceEdge) {
  PictureBox& canvas = form().Picture1;
  canvas.PaintPicture(Filled(10, 10, 0x0000FF), 0, 0, 24, 24, 5, 5, 24, 24);
  EXPECT_EQ(canvas.Point(4, 4), 0xFF0000);
  EXPECT_EQ(canvas.Point(5, 5), 0) << "nothing is copied from beyond the source's edge";
  canvas.PaintPicture(Filled(10, 10, 0x0000FF), -8, -8);
  EXPECT_EQ(canvas.Point(1, 1), 0xFF0000);
}

TEST_F(ControlsTest, ClsKeepsTheStoredPictureAndAutoSizeFollowsIt) {
  PictureBox& strip = form().Picture6;
  strip.SetPicture(Filled(264, 36, 0x404040));
  EXPECT_EQ(strip.height(), 36) << "the strip sizes itself to the picture it is given";
  strip.PaintPicture(Filled(12, 12, 0xFF0000), 0, 0);
  strip.Cls();
  EXPECT_EQ(strip.Point(0, 0), 0x404040) << "Cls leaves the picture, not the back colour";
  EXPECT_EQ(strip.Image().size(), QSize(264, 36));
  EXPECT_EQ(form().Picture2.width(), 24) << "a box without auto-size keeps its size";
}

TEST_F(ControlsTest, WindowLayout) {
  Form1Window& f = form();
  EXPECT_EQ(f.windowTitle(), QStringLiteral("タールニックス"));
  EXPECT_EQ(f.centralWidget()->size(), QSize(264, 324));
  EXPECT_EQ(f.Picture1.geometry(), QRect(0, 0, 264, 324));
  EXPECT_EQ(f.Picture6.geometry(), QRect(0, 0, 264, 60));
  EXPECT_EQ(f.Picture2.geometry(), QRect(0, 32, 24, 24));
  EXPECT_EQ(f.Picture4.Picture().size(), QSize(240, 168));
  EXPECT_EQ(f.Picture5[0].Picture().size(), QSize(24, 168));
  EXPECT_EQ(f.Picture5[1].Picture().size(), QSize(120, 72));
  EXPECT_EQ(f.Picture5[2].Picture().size(), QSize(120, 120));
  EXPECT_EQ(f.Picture5[5].Picture().size(), QSize(264, 324));
  for (const PictureBox& store : f.Picture5) EXPECT_FALSE(store.Visible());
  EXPECT_FALSE(f.Picture4.Visible());
  EXPECT_FALSE(f.Picture8.Visible());
  EXPECT_FALSE(f.Text1.Visible());
  EXPECT_EQ(f.Text1.maxLength(), 10);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(f.Picture3[i].geometry(), QRect(16 * i, 192, 12, 12));
    EXPECT_FALSE(f.Picture3[i].Visible());
  }
  // Each shadow lies one pixel right of and below its front label and says the same.
  for (int i = 0; i < 8; i += 2) {
    EXPECT_EQ(f.Label1[i + 1].pos(), f.Label1[i].pos() + QPoint(1, 1));
    EXPECT_EQ(f.Label1[i + 1].Caption(), f.Label1[i].Caption());
  }
  for (int i = 0; i < 16; ++i) EXPECT_EQ(f.Label4[i].pos(), f.Label3[i].pos() + QPoint(1, 1));
  EXPECT_EQ(f.Label4[0].pos(), QPoint(71, 73));
  EXPECT_EQ(f.Label4[15].pos(), QPoint(72, 280));
  EXPECT_EQ(f.Label2[0].geometry().center().x(), QRect(100, 152, 63, 21).center().x())
      << "the message stays centred where the original had it";
  EXPECT_EQ(f.Label2[0].y(), 152);
  EXPECT_EQ(f.Label2[1].pos(), f.Label2[0].pos() + QPoint(1, 1));
  const QFontMetrics metrics(f.Label2[0].font());
  EXPECT_LE(metrics.horizontalAdvance(QStringLiteral("Game Over")), f.Label2[0].width())
      << "the longest message fits its label";
  EXPECT_EQ(f.Label1[0].Caption(), "000000");
}

TEST_F(ControlsTest, MenuTicksChangeOnlyThroughTheirHandlers) {
  Form1Window& f = form();
  f.mnuO1.SetChecked(false);
  f.mnuO1.Action()->trigger();
  EXPECT_TRUE(f.mnuO1.Checked()) << "one click toggles the sound tick once";
  EXPECT_TRUE(f.mnuO1.Action()->isChecked());
  f.mnuO7.Action()->trigger();
  f.mnuO7.Action()->trigger();
  EXPECT_TRUE(f.mnuO7.Checked()) << "choosing the ticked wait again keeps it ticked";
  EXPECT_FALSE(f.mnuO4.Checked() || f.mnuO5.Checked() || f.mnuO6.Checked());
  EXPECT_EQ(Module1.WaitMs, 75);
}

TEST_F(ControlsTest, KeysTranslateToTheGamesCodes) {
  EXPECT_EQ(VirtualKeyCode(Qt::Key_Return), 13);
  EXPECT_EQ(VirtualKeyCode(Qt::Key_Enter), 13);
  EXPECT_EQ(VirtualKeyCode(Qt::Key_Space), 32);
  EXPECT_EQ(VirtualKeyCode(Qt::Key_Left), 37);
  EXPECT_EQ(VirtualKeyCode(Qt::Key_Down), 40);
  EXPECT_EQ(VirtualKeyCode(Qt::Key_Z), 90);
  EXPECT_EQ(VirtualKeyCode(Qt::Key_X), 88);
  EXPECT_EQ(VirtualKeyCode(Qt::Key_F1), 0);
}

}  // namespace
}  // namespace tarnix::testing
