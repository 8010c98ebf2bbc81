// Window sizes: which factors fit a screen, every game pixel an even block, full screen by
// F11 and Alt+Enter, and the game's coordinates untouched by any of it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>

#include "playfield/playfield.h"
#include "core/run_options.h"
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
}

TEST(ScaleChoice, FirstStartTakesTheLargestWindowTheScreenHolds) {
  // A 32-pixel panel, a menu bar of 24 and the frame a desktop commonly draws.
  const QSize extra = kFrameEstimate + QSize(0, 24);
  const auto first = [&](int w, int h) { return Scale_FirstChoice(QSize(w, h - 32), extra); };
  EXPECT_EQ(first(1366, 768), 2) << "the most common laptop screen holds the x2 window";
  EXPECT_EQ(first(1280, 800), 2) << "a handheld's screen";
  EXPECT_EQ(first(1920, 1080), 3);
  EXPECT_EQ(first(1920, 1200), 3);
  EXPECT_EQ(first(3840, 2160), 4);
  EXPECT_EQ(first(1024, 600), 1) << "x2 would hang below the screen";
  // The frame counts: without it x2 would be taken where the title bar pushes it off.
  EXPECT_EQ(Scale_FirstChoice(QSize(1366, 700), QSize(0, 24)), 2);
  EXPECT_EQ(Scale_FirstChoice(QSize(1366, 700), extra), 1);
}

TEST(ScaleChoice, TheRealFrameStepsTheFirstSizeDownNeverUp) {
  const QSize menu(0, 24);
  const QSize thick = QSize(12, 70) + menu;  // a tall title bar, more than the estimate
  const auto recheck = [&](int w, int h, QSize real) {
    const QSize area(w, h - 32);
    return Scale_FirstRecheck(Scale_FirstChoice(area, kFrameEstimate + menu), area, real);
  };
  EXPECT_EQ(recheck(1366, 768, thick), 1) << "x2 would hang below the screen";
  EXPECT_EQ(recheck(1920, 1080, thick), 2);
  EXPECT_EQ(recheck(1280, 800, thick), 2) << "room to spare";
  EXPECT_EQ(recheck(1366, 768, menu), 2) << "no frame at all: never upward";
}

TEST(ScaleChoice, AGameSessionOpensFullScreen) {
  EXPECT_TRUE(Session_FullScreen("gamescope"));
  EXPECT_TRUE(Session_FullScreen("KDE:Gamescope"));
  EXPECT_FALSE(Session_FullScreen("GNOME"));
  EXPECT_FALSE(Session_FullScreen(nullptr));
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

TEST_F(WindowSizeTest, FirstStartInAGameSessionOpensFullScreenAtTheLargestFactor) {
  Form1Window& f = form();
  const QByteArray before = qgetenv("XDG_CURRENT_DESKTOP");
  qputenv("XDG_CURRENT_DESKTOP", "gamescope");
  Options().Scale = 0;
  RunOptions().Windowed = false;
  f.ApplyStartOptions();
  qputenv("XDG_CURRENT_DESKTOP", before);
  EXPECT_TRUE(f.FullScreen());
  EXPECT_TRUE(Options().FullScreen) << "remembered, so a later start in the session agrees";
  const QSize screen = f.screen()->geometry().size();
  EXPECT_EQ(f.Scale(), Scale_Largest(screen, QSize(0, f.menuBar()->sizeHint().height())));
  const QSize windowed = kFrameEstimate + QSize(0, f.menuBar()->sizeHint().height());
  EXPECT_EQ(Options().Scale, Scale_FirstChoice(f.AvailableArea(), windowed))
      << "the window's size for leaving full screen";
  f.SetFullScreen(false);
}

TEST_F(WindowSizeTest, OnlyTheFirstStartsGuessIsCheckedAgainstTheRealFrame) {
  Form1Window& f = form();
  const QSize area(1366, 768 - 32), guess = kFrameEstimate + QSize(0, 24), real(12, 94);
  Options().Scale = 0;
  RunOptions().Scale = 0;
  f.ApplyStartSize(area, guess);
  ASSERT_EQ(f.WindowScale(), 2);
  f.FrameKnown(area, real);
  EXPECT_EQ(f.WindowScale(), 1) << "the real frame pushed x2 off the screen";
  EXPECT_EQ(Options().Scale, 1) << "remembered for the next start";

  Options().Scale = 2;  // the player's own choice, from an earlier run
  f.ApplyStartSize(area, guess);
  f.FrameKnown(area, real);
  EXPECT_EQ(f.WindowScale(), 2) << "a size the player chose is the player's";
}

}  // namespace
}  // namespace tarnix::testing
