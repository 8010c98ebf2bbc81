// Random play for a long time, checking after every pass what must always hold.
// TARNIX_SOAK_PASSES sets the length (the sanitizer builds run a shorter soak).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstdio>

#include "bombs/bombs.h"
#include "playfield/playfield.h"
#include "scores/scores.h"
#include "shell/shell.h"
#include "support/fixture.h"
#include "window/form1.h"

namespace tarnix::testing {
namespace {

class SoakTest : public GameTest {};

// The player's dice, apart from the game's own random numbers.
class Dice {
 public:
  explicit Dice(std::uint64_t seed) : state_(seed) {}
  std::uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return static_cast<std::uint32_t>(state_ >> 11);
  }
  bool OneIn(std::uint32_t n) { return Next() % n == 0; }

 private:
  std::uint64_t state_;
};

long SoakPasses() {
  const char* env = std::getenv("TARNIX_SOAK_PASSES");
  return env ? std::atol(env) : 200000;
}

void ExpectInvariants(long pass) {
  const std::string& board = Module1.Board;
  ASSERT_EQ(board.size(), 238u) << "pass " << pass;
  for (std::size_t i = 0; i < board.size(); ++i) {
    ASSERT_TRUE(board[i] >= '0' && board[i] <= '4')
        << "pass " << pass << ": character " << i + 1 << " is '" << board[i]
        << "'; bomb marks live only inside an explosion";
    const std::size_t column = i % kRowLength;
    if (column < 3 || column > 13) {
      // Row 11 takes the pending row at a game over, pads included.
      ASSERT_EQ(board[i], '0') << "pass " << pass << ": pad column " << column;
    }
  }
  for (int i = 0; i < kBombSlots; ++i) {
    const BombRecord& bomb = Module1.Bombs[i];
    ASSERT_TRUE(bomb.State >= kBombFree && bomb.State <= kBombDetonating) << "pass " << pass;
    if (bomb.State >= kBombFlying) {
      ASSERT_TRUE(bomb.X >= 0 && bomb.X <= 252) << "pass " << pass << " slot " << i << " X " << bomb.X;
      ASSERT_TRUE(bomb.Y >= 60 && bomb.Y <= 312) << "pass " << pass << " slot " << i << " Y " << bomb.Y;
    }
  }
  ASSERT_TRUE(Module1.RedStock >= 0 && Module1.RedStock <= 999) << "pass " << pass;
  ASSERT_TRUE(Module1.BlueStock >= 0 && Module1.BlueStock <= 999) << "pass " << pass;
  ASSERT_TRUE(Module1.Score >= 0 && Module1.Score <= 999999) << "pass " << pass;
  ASSERT_TRUE(Module1.Level >= 1 && Module1.Level <= 20) << "pass " << pass;
  ASSERT_TRUE(Module1.GamePhase >= kTitle && Module1.GamePhase <= kNameEntry) << "pass " << pass;
}

TEST_F(SoakTest, RandomPlayKeepsEveryInvariant) {
  const long passes = SoakPasses();
  Dice dice(20261207);
  Module1.WaitMs = 0;
  for (HiScoreEntry& entry : Module1.HiScore) entry = HiScoreEntry{"", 0, "0"};
  static constexpr Long kGameKeys[] = {37, 38, 39, 40, 90, 88};

  long games = 0, generations = 0, chains = 0, gifts = 0;
  Picture1_KeyDown(13, 0);  // the start item
  ASSERT_EQ(Module1.GamePhase, kPlaying);
  games = 1;
  for (long pass = 0; pass < passes; ++pass) {
    // Half way, the marked bombs and the gentle flashes: nothing the rules read may change.
    if (pass == passes / 2) {
      BombMarks_Apply(true);
      mnuGentleFlashes_Click();
    }
    switch (Module1.GamePhase) {
      case kPlaying:
        for (Long key : kGameKeys) {
          if (dice.OneIn(12)) Picture1_KeyDown(key, 0);
          if (dice.OneIn(10)) Picture1_KeyUp(key, 0);
        }
        if (dice.OneIn(150)) Picture1_KeyDown(32, 0);
        if (dice.OneIn(2000)) Picture1_KeyDown(13, 0);  // pause
        break;
      case kPaused: Picture1_KeyDown(13, 0); break;
      case kNameEntry:
        form().Text1.SetText(dice.OneIn(2) ? "soak" : "");
        Text1_KeyDown(13, 0);
        break;
      case kScoreView:
      case kGameOverView:
        Picture1_KeyDown(13, 0);  // back to the title
        break;
      case kTitle:
        Module1.MenuCursor = 0;
        Picture1_KeyDown(13, 0);
        ++games;
        break;
    }
    int activeBefore = 0;
    for (const GiftRecord& gift : Module1.Gifts) activeBefore += gift.Active;
    sound.played.clear();
    Main_Prog();
    int bombs = 0;
    for (const std::string& name : sound.Names()) bombs += name == "bomb";
    generations += bombs;
    chains += bombs > 0;
    int activeAfter = 0;
    for (const GiftRecord& gift : Module1.Gifts) activeAfter += gift.Active;
    if (activeAfter > activeBefore) gifts += activeAfter - activeBefore;
    ExpectInvariants(pass);
    if (HasFatalFailure()) return;
  }
  std::printf("soak: %ld passes, %ld games, %ld chains, %ld generations, %ld gifts\n", passes,
              games, chains, generations, gifts);
  EXPECT_GT(games, 1) << "the soak should see games end and start again";
  EXPECT_GT(chains, 0) << "random play should set off explosions";
}

}  // namespace
}  // namespace tarnix::testing
