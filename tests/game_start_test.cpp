// A new game: the fresh state, the three fill-up rows, the leftovers of the last game
// cleared, and the entrance walk paced by the wait setting.
#include <gtest/gtest.h>

#include <QImage>

#include <string>
#include <vector>

#include "playfield/playfield.h"
#include "core/platform.h"
#include "support/fixture.h"

namespace tarnix::testing {
namespace {

// Jumps past each deadline like FakeClock, noting where the player stood at each wait.
class EntranceClock final : public TickClock {
 public:
  std::int32_t now = 0;
  std::vector<std::int32_t> waits;
  std::vector<int> lefts;
  std::int32_t GetTickCount() override { return now; }
  void WaitPast(std::int32_t t0, std::int32_t ms) override {
    waits.push_back(ms);
    lefts.push_back(Form1->Picture2.Left());
    if (!TickPassed(now, t0, ms)) now = t0 + ms + 1;
  }
};

class GameStartTest : public GameTest {
 protected:
  std::string Row(int r) {
    return Module1.Board.substr(static_cast<std::size_t>(kRowLength * r), kRowLength);
  }
};

TEST_F(GameStartTest, TheWellStartsWithThreeGeneratedRowsAndLevelCountsThem) {
  Module1.Board = std::string(kBoardLength, '3');
  Game_Start();
  ASSERT_EQ(Module1.Board.size(), static_cast<std::size_t>(kBoardLength));
  const std::string empty(kRowLength, '0');
  for (int r = 0; r <= 7; ++r) EXPECT_EQ(Row(r), empty) << "row " << r;
  for (int r = 11; r <= 13; ++r) EXPECT_EQ(Row(r), empty) << "row " << r;
  for (int r = 8; r <= 10; ++r) {
    const std::string row = Row(r);
    EXPECT_EQ(row.substr(0, 3), "000");
    EXPECT_EQ(row.substr(14), "000");
    for (int c = 3; c <= 13; ++c) {
      EXPECT_TRUE(row[c] == '1' || row[c] == '4') << "row " << r << " holds " << row;
    }
  }
  EXPECT_EQ(Module1.Level, 1);
  EXPECT_EQ(Module1.RowsToLevel, 17) << "the three fill-up rows count towards level 2";
  EXPECT_EQ(Module1.RiseCountdown, 80);
  EXPECT_NE(form().Picture1.Point(5, 300), 0) << "the filled rows are drawn";
  EXPECT_EQ(form().Picture1.Point(5, 250), 0);
}

TEST_F(GameStartTest, PerGameValuesAreSetAndOthersKept) {
  Module1.Score = 1234;
  Module1.Level = 9;
  Module1.RedStock = 2;
  Module1.BlueStock = 0;
  Module1.KeyFlags = "101010";
  Module1.ActionState = kThrowing;
  Module1.Facing = 1;
  Module1.AnimFrame = 3;
  Module1.ActionFrame = 4;
  Module1.HeldBomb = "21";
  Module1.MenuCursor = 0;
  Module1.WaitMs = 75;
  Game_Start();
  EXPECT_EQ(Module1.Score, 0);
  EXPECT_EQ(Module1.RedStock, 30);
  EXPECT_EQ(Module1.BlueStock, 30);
  EXPECT_EQ(Module1.KeyFlags, "000000");
  EXPECT_EQ(Module1.ActionState, kIdle);
  EXPECT_EQ(Module1.GamePhase, kTitle) << "the caller switches to Playing";
  EXPECT_EQ(Module1.Facing, 1) << "the player's pose carries over from the last game";
  EXPECT_EQ(Module1.AnimFrame, 3);
  EXPECT_EQ(Module1.ActionFrame, 4);
  EXPECT_EQ(Module1.HeldBomb, "21");
  EXPECT_EQ(Module1.WaitMs, 75);
  const char* shown[] = {"0", "0", "1", "1", "30", "30", "30", "30"};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(form().Label1[i].Caption(), shown[i]) << "label " << i;
}

TEST_F(GameStartTest, LeftoversOfAnAbandonedGameAreCleared) {
  for (int i = 0; i < kBombSlots; ++i) {
    Module1.Bombs[i] = BombRecord{kBombResting, 9, 40, 200, 3, 4, 1};
    form().Picture3[i].SetVisible(true);
  }
  Module1.Gifts[0] = GiftRecord{1, 1, 30};
  Module1.Gifts[21] = GiftRecord{1, 0, 5};
  Game_Start();
  for (int i = 0; i < kBombSlots; ++i) {
    const BombRecord& b = Module1.Bombs[i];
    EXPECT_TRUE(b.State == 0 && b.Age == 0 && b.X == 0 && b.Y == 0 && b.VX == 0 && b.VY == 0 &&
                b.Kind == 0)
        << "slot " << i;
    EXPECT_FALSE(form().Picture3[i].Visible()) << "slot " << i;
  }
  for (const GiftRecord& g : Module1.Gifts) {
    EXPECT_TRUE(g.Active == 0 && g.Kind == 0 && g.Timer == 0);
  }
}

TEST_F(GameStartTest, AfterAGameOverTheFullStripAndThePlayerComeBack) {
  form().Picture6.SetPicture(form().Picture5[4].Picture());
  ASSERT_EQ(form().Picture6.height(), 36);
  form().Picture6.SetVisible(false);
  form().Picture2.SetVisible(false);
  form().Picture2.SetTop(8);
  Game_Start();
  EXPECT_TRUE(form().Picture6.Visible());
  EXPECT_EQ(form().Picture6.height(), 60);
  EXPECT_EQ(form().Picture6.Picture(), form().Picture5[3].Picture());
  EXPECT_TRUE(form().Picture2.Visible());
  EXPECT_EQ(form().Picture2.Top(), 32);
}

TEST_F(GameStartTest, FillUpRisesAreSilent) {
  Game_Start();
  EXPECT_TRUE(sound.played.empty());
}

TEST_F(GameStartTest, TheEntranceWalksInFromTheLeftInTwentyFourPacedSteps) {
  EntranceClock entrance;
  Platform().clock = &entrance;
  Module1.WaitMs = 75;
  Game_Start();
  EXPECT_EQ(entrance.waits, std::vector<std::int32_t>(24, 75));
  ASSERT_EQ(entrance.lefts.size(), 24u);
  for (int f = 0; f < 24; ++f) {
    EXPECT_EQ(entrance.lefts[f], -24 + 6 * (f + 1)) << "frame " << f << " moves before its wait";
  }
  EXPECT_GE(entrance.now, 24 * 76) << "each wait lasts past its deadline";
  EXPECT_EQ(form().Picture2.Left(), 120);
  EXPECT_EQ(form().Picture2.Top(), 32);
}

TEST_F(GameStartTest, EntranceFrameIsTheRightFacingFigureOverBlack) {
  Game_Start();
  // The last frame drawn is frame 3, facing right, composed in an empty box.
  PictureBox expected;
  expected.Setup(nullptr, 0, 0, 24, 24, 0x000000, false);
  const QImage& sheet = form().Picture4.Picture();
  expected.PaintPicture(sheet, 0, 0, 24, 24, 72, 84, 24, 24, vbSrcPaint);
  expected.PaintPicture(sheet, 0, 0, 24, 24, 72, 0, 24, 24, vbSrcAnd);
  EXPECT_EQ(form().Picture2.Image(), expected.Image());
}

}  // namespace
}  // namespace tarnix::testing
