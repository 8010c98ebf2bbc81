// Window sizes: which factors fit a screen, every game pixel an even block, full screen by
// F11 and Alt+Enter, and the game's coordinates untouched by any of it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>

#include "playfield/playfield.h"
#include "files/options.h"
#include "shell/shell.h"
#include "support/fixture.h"

namespace tarnix::testing {
namespace {

TEST(ScaleChoice, FactorsThatFitAnArea) {
  const QSize extra(10, 30);
  EXPECT_TRUE(Scale_Fits(2, QSize(538, 678), extra)) << "exactly the room it needs";
  EXPECT_FALSE(Scale_Fits(2, QSize(537, 678), extra));
  EXPECT_FALSE(Scale_Fits(2, QSize(538, 677), extra));
  EXPECT_EQ(Scale_Largest(QSize(538, 678), extra), 2);
  EXPECT_EQ(Scale_Largest(QSize(200, 200), extra), 1) << "x1 even where nothing fits";
  EXPECT_EQ(Scale_Largest(QSize(7680, 4320), extra), 4) << "never above x4";
  // The first start keeps to about three quarters of the height.
  EXPECT_EQ(Scale_FirstChoice(QSize(1920, 1040), QSize(0, 24)), 2);  // 780 high: 672 fits, 996 not
  EXPECT_EQ(Scale_FirstChoice(QSize(2560, 1400), QSize(0, 24)), 3);  // 1050: 996 fits
  EXPECT_EQ(Scale_FirstChoice(QSize(3840, 2120), QSize(0, 24)), 4);
  EXPECT_EQ(Scale_FirstChoice(QSize(1024, 600), QSize(0, 24)), 1);
}

class WindowSizeTest : public GameTest {
 protected:
  QImage Client() {
    return form().centralWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }
  void Key(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, qtKey, modifiers);
    QApplication::sendEvent(&form().Picture1, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, modifiers);
    QApplication::sendEvent(&form().Picture1, &release);
  }
};

TEST_F(WindowSizeTest, AtX3EveryCanvasPixelIsAUniformBlock) {
  Form1Window& f = form();
  f.Picture6.SetVisible(false);  // the title, as start-up shows it
  Title_Draw(236);
  f.SetWindowScale(3);
  f.show();
  ASSERT_EQ(f.Scale(), 3);
  const QImage shot = Client();
  ASSERT_EQ(shot.size(), QSize(264 * 3, 324 * 3));
  int wrong = 0;
  for (int y = 0; y < 324; ++y) {
    for (int x = 0; x < 264; ++x) {
      const QRgb want = f.Picture1.Image().pixel(x, y) | 0xFF000000u;
      for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 3; ++i) wrong += shot.pixel(3 * x + i, 3 * y + j) != want;
      }
    }
  }
  EXPECT_EQ(wrong, 0) << "each game pixel is drawn as 3 x 3 screen pixels of its colour";

  // The game keeps reading and moving in its own pixels.
  EXPECT_NE(f.Picture1.Point(263, 323), -1);
  EXPECT_EQ(f.Picture1.Point(264, 0), -1) << "the probes still read a 264 x 324 picture";
  f.Picture2.SetLeft(120);
  EXPECT_EQ(f.Picture2.Left(), 120);
  EXPECT_EQ(f.Picture2.pos(), QPoint(360, 32 * 3));
  EXPECT_EQ(f.Label1[0].Left(), 56);
  EXPECT_EQ(f.Label1[0].font().pixelSize(), 48) << "text drawn at the larger size";
  EXPECT_EQ(f.Text1.Top(), 71);

  f.SetWindowScale(1);
  EXPECT_EQ(Client().size(), QSize(264, 324));
  EXPECT_EQ(f.Picture2.pos(), QPoint(120, 32));
}

TEST_F(WindowSizeTest, SizesThatDoNotFitAreDisabledAndTheChoiceRemembered) {
  Form1Window& f = form();
  const QSize area = f.AvailableArea();
  f.SizeMenu_Refresh();
  for (int n = 1; n <= 4; ++n) {
    EXPECT_EQ(f.mnuScale[n - 1].Enabled(), n == 1 || Scale_Fits(n, area, f.FrameExtra()))
        << "x" << n << " on a screen of " << area.width() << " x " << area.height();
  }
  ASSERT_TRUE(f.mnuScale[0].Enabled());
  f.mnuScale[0].Action()->trigger();
  EXPECT_EQ(Options().Scale, 1);
  EXPECT_TRUE(f.mnuScale[0].Checked());
  EXPECT_FALSE(f.mnuScale[1].Checked());
}

TEST_F(WindowSizeTest, F11AndAltEnterToggleFullScreenAndNothingElse) {
  StartPlaying();
  Form1Window& f = form();
  f.show();
  Key(Qt::Key_F11);
  EXPECT_TRUE(f.FullScreen());
  EXPECT_TRUE(Options().FullScreen) << "remembered";
  EXPECT_TRUE(f.mnuFullScreen.Checked());
  const QSize screen = f.screen()->geometry().size();
  EXPECT_EQ(f.Scale(), Scale_Largest(screen, QSize(0, f.menuBar()->sizeHint().height())));
  EXPECT_EQ(Module1.GamePhase, kPlaying);
  Key(Qt::Key_Return, Qt::AltModifier);
  EXPECT_FALSE(f.FullScreen());
  EXPECT_FALSE(Options().FullScreen);
  EXPECT_EQ(Module1.GamePhase, kPlaying) << "Alt+Enter is not the pause key";
  EXPECT_TRUE(sound.played.empty());
  EXPECT_EQ(f.Scale(), f.WindowScale());
}

}  // namespace
}  // namespace tarnix::testing
