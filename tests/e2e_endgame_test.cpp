// A whole game on the real window, driven by keys: start, a bomb, rows forced up until the
// well tops out, a name typed into the box, the table shown, the window closed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "shell/shell.h"
#include "support/fixture.h"

namespace tarnix::testing {
namespace {

class EndGameE2ETest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(CopySounds(dir_.path()));
  }

  // Turns of the main loop until `done` holds; false when it never does.
  template <typename Done>
  bool TurnUntil(Done done, int limit) {
    for (int i = 0; i < limit; ++i) {
      if (done()) return true;
      Main_LoopTurn();
    }
    return done();
  }

  QTemporaryDir dir_;
};

TEST_F(EndGameE2ETest, TopOutNameEntryAndTable) {
  Form1Window& f = form();
  Form_LoadSteps(dir_.path().toStdString());
  random.Randomize(20240611);  // start-up seeded from the clock; this game is a fixed one
  QApplication::setActiveWindow(&f);
  f.activateWindow();
  QApplication::processEvents();
  ASSERT_EQ(Module1.GamePhase, kTitle);
  ASSERT_TRUE(f.Picture1.hasFocus()) << "the canvas takes the keys from the start";

  QTest::keyClick(&f.Picture1, Qt::Key_Return);
  ASSERT_EQ(Module1.GamePhase, kPlaying);

  // A red bomb dropped straight down onto the three starting rows.
  QTest::keyPress(&f.Picture1, Qt::Key_Z);
  Main_LoopTurn();
  QTest::keyRelease(&f.Picture1, Qt::Key_Z);
  ASSERT_EQ(Module1.RedStock, 29) << "Z took a red bomb";
  QTest::keyPress(&f.Picture1, Qt::Key_Down);
  Main_LoopTurn();
  QTest::keyRelease(&f.Picture1, Qt::Key_Down);
  ASSERT_TRUE(TurnUntil([] { return Module1.Score > 0; }, 200))
      << "the bomb lands, burns its fuse and breaks blocks";
  const Long score = Module1.Score;

  // Space forces the next row at once; full rows of blocks top the well out.
  int rises = 0;
  while (Module1.GamePhase == kPlaying && rises < 40) {
    QTest::keyClick(&f.Picture1, Qt::Key_Space);
    Main_LoopTurn();
    ++rises;
  }
  ASSERT_EQ(Module1.GamePhase, kNameEntry) << "after " << rises << " forced rises";
  EXPECT_GE(Module1.Score, score);
  ASSERT_FALSE(sound.Names().empty());
  EXPECT_EQ(sound.Names().back(), "height") << "a new high score";
  EXPECT_EQ(f.Label2[0].Caption(), "Game Over");
  EXPECT_TRUE(f.Picture8.Visible());
  EXPECT_TRUE(f.Text1.Visible());
  EXPECT_TRUE(f.Text1.hasFocus()) << "the player types at once, without clicking";

  QTest::keyClicks(&f.Text1, QStringLiteral("Tester"));
  QTest::keyClick(&f.Text1, Qt::Key_Return);
  EXPECT_EQ(Module1.GamePhase, kScoreView);
  EXPECT_FALSE(f.Text1.Visible());
  EXPECT_EQ(f.Label3[0].Caption(), "Tester") << "the new best result, with its name";
  EXPECT_EQ(f.Label3[2].Caption(), std::to_string(Module1.Score));
  EXPECT_EQ(f.Label3[1].Caption(), std::to_string(Module1.Level));
  EXPECT_EQ(f.Label3[15].Caption(), "Push Enter Key");

  // Enter on the canvas leaves the table for the title.
  Main_LoopTurn();
  QTest::keyClick(&f.Picture1, Qt::Key_Return);
  EXPECT_EQ(Module1.GamePhase, kTitle);
  EXPECT_FALSE(f.Picture8.Visible());

  Long cancel = 0;
  Form_Unload(cancel);
  EXPECT_TRUE(f.Unloaded());
  Main_Loop();  // returns: the run is over
  ASSERT_TRUE(QFile::exists(dir_.filePath(QStringLiteral("Tarnix.ini"))))
      << "closing the game writes the table beside it";
  const std::string kept = std::to_string(Module1.Score);

  // The next run: a fresh window and state, the same folder.
  Module1_Reset();
  Form1Window next;
  Form_LoadSteps(dir_.path().toStdString());
  EXPECT_TRUE(messages.shown.empty()) << "the game's own file is accepted at the next start";
  EXPECT_EQ(Module1.HiScore[0].Name, "Tester");
  EXPECT_EQ(Module1.HiScore[0].Score, kept);
  EXPECT_EQ(Module1.HiScore[1].Score, "0");
}

TEST_F(EndGameE2ETest, TopOutWithoutScoreEndsOnTheGameOverScreen) {
  Form1Window& f = form();
  Form_LoadSteps(dir_.path().toStdString());
  random.Randomize(7);
  QTest::keyClick(&f.Picture1, Qt::Key_Return);
  ASSERT_EQ(Module1.GamePhase, kPlaying);
  int rises = 0;
  while (Module1.GamePhase == kPlaying && rises < 40) {
    QTest::keyClick(&f.Picture1, Qt::Key_Space);
    Main_LoopTurn();
    ++rises;
  }
  ASSERT_EQ(Module1.GamePhase, kGameOverView);
  EXPECT_EQ(sound.Names().back(), "over");
  EXPECT_TRUE(f.Label2[0].Visible());
  EXPECT_FALSE(f.Text1.Visible());
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Module1.HiScore[i].Score, "0") << "rank " << i;

  for (int i = 0; i < 3; ++i) Main_LoopTurn();
  EXPECT_EQ(Module1.GamePhase, kGameOverView) << "the screen waits for Enter";
  QTest::keyClick(&f.Picture1, Qt::Key_Return);
  EXPECT_EQ(Module1.GamePhase, kTitle);
  EXPECT_FALSE(f.Label2[0].Visible());
}

}  // namespace
}  // namespace tarnix::testing
