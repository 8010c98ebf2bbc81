// The loop sleeps while nothing moves: on the title, the tables, the pause, the name entry
// and under an open menu it waits for an event, not for the clock; play keeps its pace.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTest>

#include "playfield/playfield.h"
#include "shell/shell.h"
#include "support/fixture.h"

namespace tarnix::testing {
namespace {

int polls = 0;
void CountPoll() { ++polls; }

class IdleTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    polls = 0;
  }
  void TearDown() override {
    Main_RemovePoller(CountPoll);
    GameTest::TearDown();
  }

  void OnTitle() {
    Module1.GamePhase = kTitle;
    Module1.MenuCursor = 0;
    Module1.WaitMs = 50;
    Title_Draw(204);
  }
  void Key(Qt::Key key) {
    events.recorded.push_back([this, key] { QTest::keyClick(&form().Picture1, key); });
  }
};

TEST_F(IdleTest, TheTitleSleepsUntilAKeyThenPlayKeepsTheClocksPace) {
  OnTitle();
  for (int i = 0; i < 3; ++i) Main_LoopTurn();
  EXPECT_EQ(events.sleeps, (std::vector<int>{-1, -1, -1}))
      << "with nothing recorded every turn sleeps without a timeout: no timer wakes it";
  EXPECT_EQ(Module1.MenuCursor, 0);

  Key(Qt::Key_Down);
  Main_LoopTurn();
  EXPECT_EQ(events.delivered, 1);
  EXPECT_EQ(Module1.MenuCursor, 1) << "the key woke the sleep and reached the title";

  Key(Qt::Key_Up);
  Key(Qt::Key_Return);
  Main_LoopTurn();
  Main_LoopTurn();
  ASSERT_EQ(Module1.GamePhase, kPlaying);
  const std::size_t sleeps = events.sleeps.size();
  clock.waits.clear();
  const Long countdown = Module1.RiseCountdown;
  for (int i = 0; i < 10; ++i) Main_LoopTurn();
  EXPECT_EQ(events.sleeps.size(), sleeps) << "play never sleeps on events";
  EXPECT_EQ(clock.waits, std::vector<std::int32_t>(10, 50)) << "each turn waits on the clock";
  EXPECT_EQ(Module1.RiseCountdown, countdown - 10) << "one pass a turn";
}

TEST_F(IdleTest, PauseAndTheTablesSleepAndTheirStateStandsStill) {
  StartPlaying();
  QTest::keyClick(&form().Picture1, Qt::Key_Return);
  ASSERT_EQ(Module1.GamePhase, kPaused);
  const Long countdown = Module1.RiseCountdown;
  const std::size_t sleeps = events.sleeps.size();
  for (int i = 0; i < 5; ++i) Main_LoopTurn();
  EXPECT_EQ(events.sleeps.size(), sleeps + 5) << "every paused turn sleeps first";
  EXPECT_EQ(Module1.RiseCountdown, countdown);

  for (Long phase : {kScoreView, kGameOverView, kNameEntry}) {
    Module1.GamePhase = phase;
    events.sleeps.clear();
    Main_LoopTurn();
    EXPECT_EQ(events.sleeps, (std::vector<int>{-1})) << "phase " << phase;
  }
}

TEST_F(IdleTest, AnOpenMenuSleepsUntilItsActionAndPlayResumesAtThatTurn) {
  form().show();
  StartPlaying();
  QMenu* options = form().mnuO0.Action()->menu();
  options->popup(QPoint(0, 0));
  QApplication::processEvents();
  ASSERT_EQ(form().MenusOpen(), 1);
  const Long countdown = Module1.RiseCountdown;
  Main_LoopTurn();
  Main_LoopTurn();
  EXPECT_EQ(events.sleeps, (std::vector<int>{-1, -1})) << "an open menu sleeps until an event";
  EXPECT_EQ(Module1.RiseCountdown, countdown);

  // The player picks the light wait; the menu closes.
  events.recorded.push_back([this, options] {
    form().mnuO5.Action()->trigger();
    options->hide();
  });
  clock.waits.clear();
  Main_LoopTurn();
  EXPECT_EQ(Module1.WaitMs, 25) << "the menu's action woke the sleep";
  EXPECT_EQ(form().MenusOpen(), 0);
  EXPECT_EQ(clock.waits, (std::vector<std::int32_t>{25})) << "that turn waits at the new pace";
  EXPECT_EQ(Module1.RiseCountdown, countdown - 1) << "and runs a pass";
  Main_LoopTurn();
  EXPECT_EQ(events.sleeps.size(), 3u) << "play does not sleep on events again";
}

TEST_F(IdleTest, PollersRunEveryTurnAndBoundTheSleep) {
  Main_AddPoller(CountPoll, 120);
  OnTitle();
  Main_LoopTurn();
  EXPECT_EQ(events.sleeps, (std::vector<int>{70}))
      << "the sleep ends in time for the poll: 120 ms less the turn's 50 ms wait";
  EXPECT_EQ(polls, 1);

  StartPlaying();
  for (int i = 0; i < 4; ++i) Main_LoopTurn();
  EXPECT_EQ(polls, 5) << "once a turn in play";

  Main_RemovePoller(CountPoll);
  OnTitle();
  events.sleeps.clear();
  Main_LoopTurn();
  EXPECT_EQ(events.sleeps, (std::vector<int>{-1})) << "without a poller nothing bounds the sleep";
  EXPECT_EQ(polls, 5);
}

}  // namespace
}  // namespace tarnix::testing
