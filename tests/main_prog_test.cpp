// One pass of the game: walking, taking and letting go of bombs, gifts in the strip, the
// rise countdown, and the pacing of the loop around it.
#include <gtest/gtest.h>

#include <QImage>

#include <climits>
#include <vector>

#include "playfield/playfield.h"
#include "core/platform.h"
#include "shell/shell.h"
#include "support/fixture.h"

namespace tarnix::testing {
namespace {

class MainProgTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    StartPlaying();
    Module1.RiseCountdown = 1000;  // no row rises unless a test asks for one
  }
  void Passes(int n) {
    for (int i = 0; i < n; ++i) Main_Prog();
  }
  int PlayerLeft() { return form().Picture2.Left(); }
  void SetPlayerLeft(int left) { form().Picture2.SetLeft(left); }
  // Takes a blue bomb and lets go of X.
  void TakeBlueBomb() {
    Module1.KeyFlags = "000001";
    Main_Prog();
    Module1.KeyFlags = "000000";
    ASSERT_EQ(Module1.ActionState, kHolding);
  }
};

TEST_F(MainProgTest, NothingHappensOutsidePlaying) {
  for (Long phase : {kTitle, kScoreView, kPaused, kGameOverView, kNameEntry}) {
    Module1.GamePhase = phase;
    Module1.KeyFlags = "001001";
    Module1.RiseCountdown = 1;
    Main_Prog();
    EXPECT_EQ(PlayerLeft(), 120) << "phase " << phase;
    EXPECT_EQ(Module1.RiseCountdown, 1) << "phase " << phase;
    EXPECT_EQ(Module1.ActionState, kIdle) << "phase " << phase;
  }
}

TEST_F(MainProgTest, LeftWinsOverRightAndUpStopsARightWalk) {
  Module1.KeyFlags = "101000";  // Left and Right
  Main_Prog();
  EXPECT_EQ(PlayerLeft(), 114);
  EXPECT_EQ(Module1.Facing, 1);

  Module1.KeyFlags = "011000";  // Up and Right: the first held key is Up, so no walk
  Main_Prog();
  EXPECT_EQ(PlayerLeft(), 114);
  EXPECT_EQ(Module1.Facing, 1) << "a pass without a walking key keeps the facing";

  Module1.KeyFlags = "000100";  // Down alone does not walk
  Main_Prog();
  EXPECT_EQ(PlayerLeft(), 114);

  Module1.KeyFlags = "001000";
  Main_Prog();
  EXPECT_EQ(PlayerLeft(), 120);
  EXPECT_EQ(Module1.Facing, 0);
}

TEST_F(MainProgTest, WalkingRightFromZeroReaches240InFortyPassesAndStays) {
  SetPlayerLeft(0);
  Module1.KeyFlags = "001000";
  std::vector<int> lefts;
  for (int i = 0; i < 45; ++i) {
    Main_Prog();
    lefts.push_back(PlayerLeft());
  }
  EXPECT_EQ(lefts[38], 234);
  EXPECT_EQ(lefts[39], 240) << "40 steps of 6 end exactly at the right edge";
  for (int i = 40; i < 45; ++i) EXPECT_EQ(lefts[i], 240) << "pass " << i + 1;
  EXPECT_EQ(Module1.AnimFrame, 45 % 4) << "four walking frames, round and round";
}

TEST_F(MainProgTest, WalkClampsAtBothEdgesWhateverTheStep) {
  SetPlayerLeft(237);
  Module1.KeyFlags = "001000";
  Main_Prog();
  EXPECT_EQ(PlayerLeft(), 240) << "243 is cut back to 240";
  SetPlayerLeft(4);
  Module1.KeyFlags = "100000";
  Main_Prog();
  EXPECT_EQ(PlayerLeft(), 0) << "-2 is cut back to 0";
  Main_Prog();
  EXPECT_EQ(PlayerLeft(), 0);
  EXPECT_EQ(Module1.Facing, 1) << "facing changes even when the player cannot move";
  Module1.KeyFlags = "001000";
  SetPlayerLeft(240);
  Main_Prog();
  EXPECT_EQ(Module1.Facing, 0);
  EXPECT_EQ(PlayerLeft(), 240);

  TakeBlueBomb();  // two-pixel steps can overshoot by one
  SetPlayerLeft(239);
  Module1.KeyFlags = "001000";
  Main_Prog();
  EXPECT_EQ(PlayerLeft(), 240);
  SetPlayerLeft(1);
  Module1.KeyFlags = "100000";
  Main_Prog();
  EXPECT_EQ(PlayerLeft(), 0);
}

TEST_F(MainProgTest, HoldingWalksTwoPixelsWithTwoFrames) {
  TakeBlueBomb();
  Module1.KeyFlags = "001000";
  std::vector<Long> frames;
  for (int i = 0; i < 3; ++i) {
    Main_Prog();
    frames.push_back(Module1.AnimFrame);
  }
  EXPECT_EQ(PlayerLeft(), 126);
  EXPECT_EQ(frames, (std::vector<Long>{1, 0, 1}));
  Module1.KeyFlags = "100000";
  Main_Prog();
  EXPECT_EQ(PlayerLeft(), 124);
}

TEST_F(MainProgTest, BombsAreTakenIntoTheHighestFreeSlot) {
  Module1.Bombs[4].State = kBombResting;
  Module1.Bombs[2].State = kBombFlying;
  Module1.KeyFlags = "000010";  // Z
  Main_Prog();
  EXPECT_EQ(Module1.ActionState, kHolding);
  EXPECT_EQ(Module1.HeldBomb, "30") << "slot 3, red";
  EXPECT_EQ(Module1.Bombs[3].State, kBombHeld);
  EXPECT_EQ(Module1.Bombs[1].State, kBombFree) << "only one slot is taken";
  EXPECT_EQ(Module1.RedStock, 29);
  EXPECT_EQ(Module1.BlueStock, 30);
  EXPECT_EQ(form().Label1[4].Caption(), "29") << "the stock labels are refreshed at once";
  EXPECT_EQ(form().Label1[5].Caption(), "29");
}

TEST_F(MainProgTest, BlueBombInSlotZero) {
  for (int i = 1; i < 5; ++i) Module1.Bombs[i].State = kBombResting;
  Module1.KeyFlags = "000001";
  Main_Prog();
  EXPECT_EQ(Module1.HeldBomb, "01");
  EXPECT_EQ(Module1.BlueStock, 29);
  EXPECT_EQ(form().Label1[6].Caption(), "29");
}

TEST_F(MainProgTest, ZWithAnEmptyRedStockBlocksXInTheSamePass) {
  Module1.RedStock = 0;
  Module1.KeyFlags = "000011";
  Main_Prog();
  EXPECT_EQ(Module1.ActionState, kIdle);
  EXPECT_EQ(Module1.BlueStock, 30) << "X is not tried while Z is held";
  for (const BombRecord& bomb : Module1.Bombs) EXPECT_EQ(bomb.State, kBombFree);
  Module1.KeyFlags = "000001";
  Main_Prog();
  EXPECT_EQ(Module1.ActionState, kHolding) << "X alone takes a blue bomb";
  EXPECT_EQ(Module1.BlueStock, 29);
  EXPECT_TRUE(sound.played.empty()) << "a refused bomb makes no sound";
}

TEST_F(MainProgTest, FiveBusySlotsRefuseBothKeys) {
  for (BombRecord& bomb : Module1.Bombs) bomb.State = kBombResting;
  for (const char* keys : {"000010", "000001"}) {
    Module1.KeyFlags = keys;
    Main_Prog();
    EXPECT_EQ(Module1.ActionState, kIdle) << keys;
  }
  EXPECT_EQ(Module1.RedStock, 30);
  EXPECT_EQ(Module1.BlueStock, 30);
}

TEST_F(MainProgTest, ThrowReleasesOnTheFourthPassAndEndsAfterTheSixth) {
  SetPlayerLeft(100);
  TakeBlueBomb();  // slot 4
  Module1.KeyFlags = "010000";
  Main_Prog();  // Up seen
  EXPECT_EQ(Module1.ActionState, kThrowing);
  EXPECT_EQ(Module1.ActionFrame, 0) << "the pass that sees Up does not count";
  Module1.KeyFlags = "000000";
  Passes(3);
  EXPECT_EQ(Module1.Bombs[4].State, kBombHeld) << "still in the hands after three passes";
  Main_Prog();
  const BombRecord& bomb = Module1.Bombs[4];
  ASSERT_EQ(bomb.State, kBombFlying) << "released on the fourth pass";
  // The same pass already flew it one step: take that step back to see the release.
  EXPECT_EQ(bomb.VX, 8);
  EXPECT_EQ(bomb.VY - 1, 2);
  EXPECT_EQ(bomb.X - bomb.VX, 100 + 8);
  EXPECT_EQ(bomb.Y - bomb.VY, 60);
  EXPECT_EQ(bomb.Age, 1);
  EXPECT_EQ(bomb.Kind, 1);
  Main_Prog();
  EXPECT_EQ(Module1.ActionState, kThrowing);
  Main_Prog();
  EXPECT_EQ(Module1.ActionState, kIdle) << "back to Idle after the sixth pass";
  EXPECT_EQ(Module1.AnimFrame, 1);
  EXPECT_EQ(PlayerLeft(), 100) << "the player stands still through the whole action";
}

TEST_F(MainProgTest, DropReleasesStraightDown) {
  SetPlayerLeft(40);
  Module1.KeyFlags = "000010";
  Main_Prog();
  Module1.KeyFlags = "000100";  // Down
  Main_Prog();
  EXPECT_EQ(Module1.ActionState, kDropping);
  Module1.KeyFlags = "000000";
  Passes(4);
  const BombRecord& bomb = Module1.Bombs[4];
  ASSERT_EQ(bomb.State, kBombFlying);
  EXPECT_EQ(bomb.VX, 0);
  EXPECT_EQ(bomb.X, 48);
  EXPECT_EQ(bomb.Kind, 0);
  Passes(2);
  EXPECT_EQ(Module1.ActionState, kIdle);
}

TEST_F(MainProgTest, UpWinsOverDownWhenBothAreHeld) {
  TakeBlueBomb();
  Module1.KeyFlags = "010100";
  Main_Prog();
  EXPECT_EQ(Module1.ActionState, kThrowing);
}

TEST_F(MainProgTest, TurningDuringAThrowOnlyChangesFacingAndTheBombGoesLeft) {
  SetPlayerLeft(100);
  TakeBlueBomb();
  Module1.KeyFlags = "010000";
  Main_Prog();
  Module1.KeyFlags = "100000";  // Left during the throw
  Main_Prog();
  EXPECT_EQ(Module1.Facing, 1);
  EXPECT_EQ(PlayerLeft(), 100) << "no walking while throwing";
  Passes(3);
  const BombRecord& bomb = Module1.Bombs[4];
  ASSERT_EQ(bomb.State, kBombFlying);
  EXPECT_EQ(bomb.VX, -8) << "thrown the way the player now faces";
  EXPECT_EQ(bomb.X - bomb.VX, 108);
  EXPECT_EQ(PlayerLeft(), 100);
}

// The gift icon is made unmistakable so that its rows can be found in the strip.
constexpr QRgb kIcon = 0xFF13A57E;

TEST_F(MainProgTest, GiftFallsIntoTheStripLiesThereAndVanishes) {
  QImage sheet = form().Picture4.Picture().copy();
  for (int y = 72; y < 84; ++y) {
    for (int x = 96; x < 108; ++x) sheet.setPixel(x, y, kIcon);
  }
  form().Picture4.SetPicture(sheet);
  Module1.Gifts[3] = GiftRecord{1, 0, 60};
  const auto iconTop = [this]() {
    const QImage& strip = form().Picture6.Image();
    for (int y = 0; y < strip.height(); ++y) {
      if (strip.pixel(36, y) == kIcon) {
        EXPECT_EQ(strip.pixel(47, y), kIcon) << "12 pixels wide in column 3";
        EXPECT_NE(strip.pixel(48, y), kIcon);
        return y;
      }
    }
    return -1;
  };
  std::vector<int> tops;
  for (int pass = 1; pass <= 60; ++pass) {
    Main_Prog();
    tops.push_back(iconTop());
  }
  EXPECT_EQ(tops[0], 22) << "first pass";
  EXPECT_EQ(tops[1], 23);
  EXPECT_EQ(tops[21], 43) << "22nd pass";
  for (int pass = 23; pass <= 59; ++pass) EXPECT_EQ(tops[pass - 1], 44) << "pass " << pass;
  EXPECT_EQ(tops[59], -1) << "gone in the 60th pass";
  EXPECT_EQ(Module1.Gifts[3].Active, 0);
}

TEST_F(MainProgTest, RiseCountdownStartsAt80ThenFollowsTheLevelAfterTheRise) {
  Module1.RiseCountdown = 80;
  Passes(79);
  EXPECT_EQ(Module1.Board, EmptyBoard()) << "no row before the 80th pass";
  Main_Prog();
  EXPECT_NE(At(10, 0), '0') << "the first row rises on the 80th pass";
  EXPECT_EQ(Module1.RiseCountdown, 58);

  Module1.RowsToLevel = 1;  // this rise takes the game to level 2
  Module1.RiseCountdown = 1;
  Main_Prog();
  EXPECT_EQ(Module1.Level, 2);
  EXPECT_EQ(Module1.RiseCountdown, 56) << "the level is read after the rise";
  EXPECT_EQ(sound.Names(), (std::vector<std::string>{"up", "up"}));
}

// Pacing, with a clock that only moves when the loop waits.
class LoopPacingTest : public MainProgTest {};

TEST_F(LoopPacingTest, NoWaitStillNeverRunsTwoPassesInOneTick) {
  Module1.WaitMs = 0;
  std::vector<std::int32_t> ticks;
  for (int i = 0; i < 5; ++i) {
    const Long before = Module1.RiseCountdown;
    Main_LoopTurn();
    ASSERT_EQ(Module1.RiseCountdown, before - 1) << "one pass per turn";
    ticks.push_back(clock.now);
  }
  for (std::size_t i = 1; i < ticks.size(); ++i) EXPECT_GT(ticks[i], ticks[i - 1]);
  EXPECT_EQ(clock.waits, (std::vector<std::int32_t>(5, 0)));
}

TEST_F(LoopPacingTest, AWaitAcrossTheCounterWrapEndsOnTime) {
  Module1.WaitMs = 50;
  clock.now = INT32_MAX - 10;
  Main_LoopTurn();
  EXPECT_EQ(Module1.RiseCountdown, 999);
  EXPECT_EQ(clock.now, INT32_MIN + 40) << "51 ms later, counted across the wrap";
  EXPECT_EQ(clock.waits, (std::vector<std::int32_t>{50}));
}

TEST_F(LoopPacingTest, PassedIsWrapSafeAndStrict) {
  EXPECT_FALSE(TickPassed(1050, 1000, 50)) << "strictly greater than the deadline";
  EXPECT_TRUE(TickPassed(1051, 1000, 50));
  EXPECT_FALSE(TickPassed(INT32_MIN + 39, INT32_MAX - 10, 50));
  EXPECT_TRUE(TickPassed(INT32_MIN + 40, INT32_MAX - 10, 50));
  EXPECT_FALSE(TickPassed(INT32_MAX - 10, INT32_MAX - 10, 0));
}

TEST_F(LoopPacingTest, RealClockWaitsPastTheDeadline) {
  TickClock& real = RealClock();
  const std::int32_t t0 = real.GetTickCount();
  real.WaitPast(t0, 20);
  EXPECT_GT(real.GetTickCount() - t0, 20);
  const std::int32_t t1 = real.GetTickCount();
  real.WaitPast(t1, 0);
  EXPECT_GT(real.GetTickCount(), t1) << "even no wait lasts until the counter moves";
}

}  // namespace
}  // namespace tarnix::testing
