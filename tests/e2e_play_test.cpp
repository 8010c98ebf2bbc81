// The real window driven by key events: from the title into a running game, a walk, a
// pause and back, checked by what the player would see.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QTest>

#include <string>
#include <vector>

#include "shell/shell.h"
#include "support/fixture.h"

namespace tarnix::testing {
namespace {

class PlayEndToEndTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    Form_LoadSteps(TARNIX_GAME_DIR);
    random.Randomize(99);  // start-up seeded it from the clock
    QApplication::setActiveWindow(&form());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
  }

  QWidget& canvas() { return form().Picture1; }
  void Press(Qt::Key key) { QTest::keyPress(&canvas(), key); }
  void Release(Qt::Key key) { QTest::keyRelease(&canvas(), key); }
  void Click(Qt::Key key) { QTest::keyClick(&canvas(), key); }

  // The window's client area as it is on screen.
  QImage Screen() {
    return form().centralWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }
  // The player box as the screen shows it, where the strip holds it.
  QImage PlayerOnScreen() {
    const QPoint at = form().Picture2.mapTo(form().centralWidget(), QPoint(0, 0));
    return Screen().copy(at.x(), at.y(), 24, 24);
  }
};

TEST_F(PlayEndToEndTest, TitleIntoAGameAWalkAndAPause) {
  Form1Window& f = form();
  EXPECT_EQ(Module1.GamePhase, kTitle);
  EXPECT_FALSE(f.Picture6.isVisible()) << "no status strip on the title";
  EXPECT_EQ(QApplication::focusWidget(), &f.Picture1) << "keys go to the canvas";
  const QImage title = f.Picture5[5].Picture();
  EXPECT_NE(Screen().copy(72, 204, 24, 24), title.copy(72, 204, 24, 24)) << "cursor on start";

  Click(Qt::Key_Down);
  EXPECT_EQ(Module1.MenuCursor, 1);
  EXPECT_NE(Screen().copy(72, 236, 24, 24), title.copy(72, 236, 24, 24));
  EXPECT_EQ(Screen().copy(72, 204, 24, 24), title.copy(72, 204, 24, 24));
  Click(Qt::Key_Up);
  EXPECT_EQ(Module1.MenuCursor, 0);
  Click(Qt::Key_Return);
  EXPECT_EQ(Module1.GamePhase, kPlaying);
  EXPECT_EQ(clock.waits, std::vector<std::int32_t>(24, 50)) << "the entrance, paced by the wait";

  // What the screen shows after the entrance.
  EXPECT_TRUE(f.Picture6.isVisible());
  EXPECT_TRUE(f.Picture2.isVisible());
  EXPECT_EQ(f.Picture2.pos(), QPoint(120, 32));
  const char* shown[] = {"0", "1", "30", "30"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_TRUE(f.Label1[2 * i].isVisible());
    EXPECT_EQ(f.Label1[2 * i].text().toStdString(), shown[i]);
  }
  const QImage screen = Screen();
  int filled = 0;
  for (int y = 252; y < 324; ++y) {
    for (int x = 0; x < 264; ++x) filled += (screen.pixel(x, y) & 0xFFFFFF) != 0;
  }
  EXPECT_GT(filled, 0) << "the three bottom rows hold blocks";
  for (int y = 60; y < 252; ++y) {
    for (int x = 0; x < 264; ++x) {
      ASSERT_EQ(screen.pixel(x, y) & 0xFFFFFF, 0u) << "the rest of the well is empty: " << x
                                                   << "," << y;
    }
  }

  // Walk right for three passes.
  Press(Qt::Key_Right);
  for (int i = 0; i < 3; ++i) Main_LoopTurn();
  EXPECT_EQ(f.Picture2.Left(), 138);
  EXPECT_EQ(PlayerOnScreen(), f.Picture2.Image()) << "the player is shown where it stands";
  Release(Qt::Key_Right);
  Main_LoopTurn();
  EXPECT_EQ(f.Picture2.Left(), 138) << "released: the walk stops";

  // Pause: the game stands still and says so.
  Click(Qt::Key_Return);
  EXPECT_EQ(Module1.GamePhase, kPaused);
  for (const Label& label : f.Label2) {
    EXPECT_TRUE(label.isVisible());
    EXPECT_EQ(label.text(), QStringLiteral("Pause"));
  }
  Press(Qt::Key_Left);
  const Long countdown = Module1.RiseCountdown;
  for (int i = 0; i < 3; ++i) Main_LoopTurn();
  EXPECT_EQ(f.Picture2.Left(), 138);
  EXPECT_EQ(Module1.RiseCountdown, countdown);
  Release(Qt::Key_Left);

  Click(Qt::Key_Return);
  EXPECT_EQ(Module1.GamePhase, kPlaying);
  EXPECT_FALSE(f.Label2[0].isVisible());
  EXPECT_FALSE(f.Label2[1].isVisible());
  Main_LoopTurn();
  EXPECT_EQ(f.Picture2.Left(), 138) << "the key let go during the pause does not walk";
  EXPECT_EQ(sound.Names(),
            (std::vector<std::string>{"cursor", "cursor", "select", "select", "select"}));
}

TEST_F(PlayEndToEndTest, RepeatedReleasesAreDroppedAndRepeatedPressesKept) {
  Click(Qt::Key_Return);
  ASSERT_EQ(Module1.GamePhase, kPlaying);
  Press(Qt::Key_Right);
  // A held key on this platform repeats as release + press pairs marked auto-repeat.
  for (int i = 0; i < 3; ++i) {
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&canvas(), &release);
    EXPECT_EQ(Module1.KeyFlags, "001000") << "a repeated release is not a release";
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&canvas(), &press);
    Main_LoopTurn();
  }
  EXPECT_EQ(form().Picture2.Left(), 138);
  Release(Qt::Key_Right);
  EXPECT_EQ(Module1.KeyFlags, "000000");

  // Auto-repeat of Enter toggles the pause on every repeated press.
  for (Long expected : {kPaused, kPlaying, kPaused}) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&canvas(), &press);
    EXPECT_EQ(Module1.GamePhase, expected);
  }
}

TEST_F(PlayEndToEndTest, KeysThatAreNotTheGamesAreLeftAlone) {
  Click(Qt::Key_Return);
  ASSERT_EQ(Module1.GamePhase, kPlaying);
  const Long countdown = Module1.RiseCountdown;
  Click(Qt::Key_A);
  Click(Qt::Key_F5);
  EXPECT_EQ(Module1.KeyFlags, "000000");
  EXPECT_EQ(Module1.RiseCountdown, countdown);
  Click(Qt::Key_Space);
  EXPECT_EQ(Module1.RiseCountdown, 1) << "Space reaches the game through the window";
}

}  // namespace
}  // namespace tarnix::testing
