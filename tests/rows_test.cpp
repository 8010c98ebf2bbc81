// A new row rising from the bottom: the board's shift, the row mix by level, the top-out,
// the bombs carried up or caught, and the counting of levels.
#include <gtest/gtest.h>

#include <QImage>

#include <string>
#include <vector>

#include "playfield/playfield.h"
#include "support/fixture.h"

namespace tarnix::testing {
namespace {

class RowsTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    // Solid tiles without any black pixel, so that every probe into a block hits.
    QImage sheet = form().Picture4.Picture().copy();
    for (int y = 48; y < 72; ++y) {
      for (int x = 144; x < 240; ++x) sheet.setPixel(x, y, 0xFF808080);
      for (int x = 120; x < 144; ++x) sheet.setPixel(x, y, 0xFF000000);
    }
    form().Picture4.SetPicture(sheet);
    StartPlaying();
  }

  // Makes the next new row from eleven values of Int(Rnd * 100).
  void ScriptRow(const std::vector<int>& r) {
    for (int v : r) random.script.push_back((v + 0.5) / 100.0);
  }

  std::string Row(int r) {
    return Module1.Board.substr(static_cast<std::size_t>(kRowLength * r), kRowLength);
  }
};

TEST_F(RowsTest, ARiseShiftsEveryRowUpAndBuildsRowTenKeepingItsRightPads) {
  // Every row different, pads included; row 0's cells empty but its pads not.
  for (int r = 0; r < 14; ++r) {
    for (int c = 0; c < kRowLength; ++c) {
      const bool emptyTop = r == 0 && c >= 3 && c <= 13;
      Module1.Board[static_cast<std::size_t>(kRowLength * r + c)] =
          emptyTop ? '0' : static_cast<char>('0' + (r * 7 + c * 3) % 5);
    }
  }
  const std::string before = Module1.Board;
  const auto oldRow = [&](int r) {
    return before.substr(static_cast<std::size_t>(kRowLength * r), kRowLength);
  };
  ScriptRow({0, 84, 85, 99, 50, 10, 90, 20, 30, 84, 86});
  Block_Up();
  EXPECT_TRUE(random.script.empty()) << "eleven draws, one per cell";
  ASSERT_EQ(Module1.Board.size(), static_cast<std::size_t>(kBoardLength));
  for (int r = 0; r <= 9; ++r) EXPECT_EQ(Row(r), oldRow(r + 1)) << "row " << r;
  EXPECT_EQ(Row(10), "000" "11441141114" + oldRow(10).substr(14))
      << "three zero pads, the new cells left to right, the old right pads";
  for (int r = 11; r < 14; ++r) EXPECT_EQ(Row(r), oldRow(r)) << "row " << r << " is not shifted";
  EXPECT_EQ(Module1.GamePhase, kPlaying) << "pads in row 0 are not blocks";
  EXPECT_EQ(sound.Names(), (std::vector<std::string>{"up"}));
  EXPECT_NE(form().Picture1.Point(0, 300), 0) << "the new row is drawn";
  EXPECT_EQ(form().Picture1.Point(48, 276), 0) << "an empty cell of old row 10, now row 9";
}

TEST_F(RowsTest, UpPlaysOnlyWhilePlaying) {
  for (Long phase : {kTitle, kPaused, kGameOverView}) {
    Module1.Board = EmptyBoard();
    Module1.GamePhase = phase;
    Block_Up();
    EXPECT_NE(At(10, 5), '0') << "phase " << phase << " still rises";
  }
  EXPECT_TRUE(sound.played.empty());
  Module1.GamePhase = kPlaying;
  Block_Up();
  EXPECT_EQ(sound.Names(), (std::vector<std::string>{"up"}));
}

TEST_F(RowsTest, TopOutChangesNothingAndEndsTheGameWithTheNewRow) {
  for (int k = 0; k <= 10; ++k) Put(10, k, '1');
  Put(0, 10, '3');
  Module1.RowsToLevel = 1;
  Module1.Bombs[2] = BombRecord{kBombResting, 5, 30, 84, 0, 2, 0};
  const std::string before = Module1.Board;
  ScriptRow({90, 0, 0, 0, 0, 0, 0, 0, 0, 0, 90});
  Block_Up();
  EXPECT_EQ(Module1.Board.substr(0, 11 * kRowLength), before.substr(0, 11 * kRowLength))
      << "the well itself stays as it was";
  EXPECT_EQ(Row(11).substr(0, 14), "00041111111114") << "the pending row is handed on";
  EXPECT_EQ(Module1.Level, 1);
  EXPECT_EQ(Module1.RowsToLevel, 1) << "a top-out counts no row";
  EXPECT_EQ(Module1.Bombs[2].Y, 84) << "bombs are not lifted";
  EXPECT_EQ(Module1.Bombs[2].State, kBombResting);
  // What the end of the game shows: no "up", the game-over caption and phase.
  EXPECT_EQ(sound.Names(), (std::vector<std::string>{"over"}));
  EXPECT_EQ(Module1.GamePhase, kGameOverView);
  EXPECT_EQ(form().Label2[0].Caption(), "Game Over");
  EXPECT_TRUE(form().Label2[0].Visible());
  EXPECT_FALSE(form().Picture2.Visible());
}

TEST_F(RowsTest, TheTopOutLooksOnlyAtTheWellColumnsOfRowZero) {
  Module1.Board[0] = '1';
  Module1.Board[16] = '4';
  Put(1, 0, '2');
  Block_Up();
  EXPECT_EQ(Module1.GamePhase, kPlaying);
  EXPECT_EQ(At(0, 0), '2') << "row 1 moved into row 0";
  Block_Up();
  EXPECT_EQ(Module1.GamePhase, kGameOverView) << "the next rise finds a block in row 0";
}

TEST_F(RowsTest, LevelOneRowsAreEarthAndCratesAboutEightyFiveToFifteen) {
  random.Randomize(2024);
  int earth = 0;
  int crates = 0;
  int other = 0;
  for (int i = 0; i < 500; ++i) {
    Module1.Board = EmptyBoard();
    Module1.RowsToLevel = 20;
    Block_Up();
    for (int k = 0; k <= 10; ++k) {
      const char c = At(10, k);
      earth += c == '1';
      crates += c == '4';
      other += c != '1' && c != '4';
    }
  }
  EXPECT_EQ(other, 0) << "level 1 makes no grey blocks and no gaps";
  const double share = crates / 5500.0;
  EXPECT_NEAR(share, 0.15, 0.02) << earth << " earth, " << crates << " crates";
}

struct BandCase {
  Long level;
  int r;
  char cell;
};

TEST_F(RowsTest, EachLevelBandSplitsAtItsOwnBounds) {
  const BandCase cases[] = {
      {1, 84, '1'},  {1, 85, '4'},  {3, 84, '1'},  {3, 85, '4'},  {4, 69, '1'},
      {4, 70, '3'},  {4, 84, '3'},  {4, 85, '4'},  {6, 69, '1'},  {6, 70, '3'},
      {7, 59, '1'},  {7, 60, '3'},  {9, 59, '1'},  {9, 60, '3'},  {9, 85, '4'},
      {10, 49, '1'}, {10, 50, '3'}, {18, 49, '1'}, {18, 50, '3'}, {19, 39, '1'},
      {19, 40, '3'}, {19, 84, '3'}, {19, 85, '4'}, {20, 39, '1'}, {20, 40, '3'},
      {0, 39, '1'},  {0, 40, '3'},  {0, 85, '4'},
  };
  for (const BandCase& c : cases) {
    Module1.Board = EmptyBoard();
    Module1.Level = c.level;
    Module1.RowsToLevel = 50;
    ScriptRow({c.r, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    Block_Up();
    EXPECT_EQ(At(10, 0), c.cell) << "level " << c.level << ", r = " << c.r;
  }
}

TEST_F(RowsTest, RowsPerLevelTable) {
  const Long expected[] = {20, 24, 28, 32, 36, 40, 44, 48, 52, 56,
                           60, 64, 68, 72, 76, 80, 84, 86, 99};
  for (Long level = 2; level <= 20; ++level) {
    EXPECT_EQ(RowsForLevel(level), expected[level - 2]) << "level " << level;
  }
}

TEST_F(RowsTest, LevelGoesUpWhenItsRowsRunOutAndStopsAtTwenty) {
  form().Label1[2].SetCaption("x");
  Module1.RowsToLevel = 2;
  Block_Up();
  EXPECT_EQ(Module1.Level, 1);
  EXPECT_EQ(Module1.RowsToLevel, 1);
  EXPECT_EQ(form().Label1[2].Caption(), "x") << "labels are left alone without a level-up";

  const struct {
    Long from, to, rows;
  } steps[] = {{1, 2, 20}, {18, 19, 86}, {19, 20, 99}};
  for (const auto& s : steps) {
    Module1.Board = EmptyBoard();
    Module1.Level = s.from;
    Module1.RowsToLevel = 1;
    Block_Up();
    EXPECT_EQ(Module1.Level, s.to);
    EXPECT_EQ(Module1.RowsToLevel, s.rows) << "entering level " << s.to;
    EXPECT_EQ(form().Label1[2].Caption(), std::to_string(s.to)) << "the level label follows";
    EXPECT_EQ(form().Label1[3].Caption(), std::to_string(s.to));
  }
  for (int i = 0; i < 3; ++i) {
    Module1.Board = EmptyBoard();
    Block_Up();
  }
  EXPECT_EQ(Module1.Level, 20);
  EXPECT_EQ(Module1.RowsToLevel, 99) << "no counting at the last level";
}

TEST_F(RowsTest, RestingBombsRideUpAndAreLostAboveTheWell) {
  Module1.Bombs[3] = BombRecord{kBombResting, 7, 30, 72, 0, 2, 0};
  Module1.Bombs[4] = BombRecord{kBombResting, 7, 90, 84, 0, 2, 1};
  form().Picture3[3].SetVisible(true);
  form().Picture3[4].SetVisible(true);
  Block_Up();
  EXPECT_EQ(Module1.Bombs[3].Y, 48);
  EXPECT_EQ(Module1.Bombs[3].State, kBombFree) << "lifted above y 60, the bomb is lost";
  EXPECT_FALSE(form().Picture3[3].Visible());
  EXPECT_EQ(Module1.Bombs[4].Y, 60);
  EXPECT_EQ(Module1.Bombs[4].State, kBombResting) << "y 60 is still inside the well";
  EXPECT_TRUE(form().Picture3[4].Visible());
  EXPECT_EQ(form().Picture3[4].pos(), QPoint(90, 60)) << "the sprite is moved with it";
  EXPECT_EQ(Module1.Bombs[4].Age, 7) << "a rise does not burn the fuse";
}

TEST_F(RowsTest, FlyingBombsCaughtByTheRiseSlideDownUntilTheyRest) {
  for (int k = 0; k <= 10; ++k) Put(10, k, '1');  // after the rise, solid from y 276 down
  Module1.Bombs[0] = BombRecord{kBombFlying, 3, 10, 100, 2, 1, 0};   // far above: untouched
  Module1.Bombs[1] = BombRecord{kBombFlying, 3, 63, 265, 3, 15, 0};  // came from (60, 250)
  Module1.Bombs[2] = BombRecord{kBombFlying, 3, 57, 265, -3, 15, 1};
  Module1.Bombs[3] = BombRecord{kBombFlying, 3, 60, 265, 0, 15, 1};
  Block_Up();
  EXPECT_EQ(Module1.Bombs[0].State, kBombFlying);
  EXPECT_EQ(Module1.Bombs[0].X, 10);
  EXPECT_EQ(Module1.Bombs[0].Y, 100);
  // Back to where it came from, then one pixel down and sideways at a time.
  EXPECT_EQ(Module1.Bombs[1].State, kBombResting);
  EXPECT_EQ(Module1.Bombs[1].X, 74);
  EXPECT_EQ(Module1.Bombs[1].Y, 264);
  EXPECT_EQ(Module1.Bombs[2].State, kBombResting);
  EXPECT_EQ(Module1.Bombs[2].X, 46);
  EXPECT_EQ(Module1.Bombs[2].Y, 264);
  EXPECT_EQ(Module1.Bombs[3].State, kBombResting);
  EXPECT_EQ(Module1.Bombs[3].X, 60);
  EXPECT_EQ(Module1.Bombs[3].Y, 264);
  EXPECT_EQ(Module1.Bombs[1].VX, 3) << "speeds are kept";
  EXPECT_EQ(form().Picture3[1].pos(), QPoint(74, 264));
}

}  // namespace
}  // namespace tarnix::testing
