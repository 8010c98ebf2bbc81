// Blasts and chains: what each blast reaches, how generations follow one another, the score,
// the pauses, the gifts and the clean board afterwards. The photographs taken at each pause
// show a chain half-way through.
#include <gtest/gtest.h>

#include <QRect>

#include "bombs/bombs.h"
#include "window/form1.h"
#include "playfield/playfield.h"
#include "support/bomb_scene.h"

namespace tarnix::testing {
namespace {

constexpr std::int32_t W = 50;

class ExplosionTest : public BombTest {
 protected:
  // A blue bomb at cell 110 (row 6, column 4) reaching the crates A (5,2) and B (7,2) in
  // generation 2; both reach crate C (6,0), which goes off in generation 3.
  void ThreeGenerations() {
    Put(5, 2, '4');
    Put(7, 2, '4');
    Put(6, 0, '4');
    Block_Paint();
    Fuse(0, 6, 4, 1);
  }

  // Any non-black pixel of the canvas outside `allowed`?
  static bool DrawnOutside(const QImage& image, std::initializer_list<QRect> allowed) {
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (!NonBlack(image, x, y)) continue;
        bool ok = false;
        for (const QRect& r : allowed) ok = ok || r.contains(x, y);
        if (!ok) return true;
      }
    }
    return false;
  }
};

TEST_F(ExplosionTest, RedBombAloneOnTheBottomRow) {
  Put(2, 0, '1');  // out of reach, hanging in the air until the chain's gravity
  Block_Paint();
  Fuse(0, 10, 5, 0);
  Bomb_Refresh();

  EXPECT_EQ(sound.Names(), std::vector<std::string>{"bomb"});
  EXPECT_EQ(clock.waits, std::vector<std::int32_t>{W}) << "one generation: one pause of W";
  EXPECT_EQ(Module1.Score, 0);
  EXPECT_EQ(ActiveGifts(), 0);
  ASSERT_EQ(photos.shots.size(), 1u);
  const PauseShot& shot = photos.shots[0];
  EXPECT_EQ(shot.queue, std::vector<std::string>{"01179"});
  const QRect flash(120, 228, 24, 168);  // rows 7 to 13, clipped at the canvas bottom
  const QRect block(0, 108, 24, 24);
  EXPECT_TRUE(FlashAt(shot.canvas, flash));
  EXPECT_FALSE(DrawnOutside(shot.canvas, {flash, block})) << "one flash and nothing else";
  EXPECT_EQ(AtIn(shot.board, 2, 0), '1') << "gravity comes after the pause";

  EXPECT_EQ(At(10, 0), '1') << "the hanging block fell at the end of the chain";
  EXPECT_EQ(At(2, 0), '0');
  EXPECT_FALSE(NonBlack(form().Picture1.Image(), 130, 300)) << "the redraw erased the flash";
  EXPECT_EQ(Module1.Bombs[0].State, kBombFree);
  EXPECT_FALSE(form().Picture3[0].Visible());
  ExpectQuiet();
}

TEST_F(ExplosionTest, FiveBlocksInGenerationOneScoreLevelTimesOne) {
  Module1.Level = 3;
  for (auto [r, k] : {std::pair{5, 2}, {5, 6}, {6, 3}, {7, 4}, {7, 6}}) Put(r, k, '1');
  Block_Paint();
  Fuse(0, 6, 4, 1);
  Bomb_Refresh();
  EXPECT_EQ(Module1.Score, 15);
  ASSERT_EQ(photos.shots.size(), 1u);
  EXPECT_EQ(photos.shots[0].score, 15) << "scored before the pause";
  EXPECT_EQ(photos.shots[0].scoreLabel, "15") << "and shown";
  ExpectQuiet();
}

TEST_F(ExplosionTest, FiveBlocksInGenerationTwoScoreLevelTimesTwo) {
  Module1.Level = 3;
  Put(6, 6, '4');  // in the blue blast; its own 5 x 5 reaches the blocks
  for (auto [r, k] : {std::pair{4, 7}, {8, 8}, {4, 4}, {8, 5}, {6, 8}}) Put(r, k, '1');
  Block_Paint();
  Fuse(0, 6, 4, 1);
  Bomb_Refresh();
  EXPECT_EQ(Module1.Score, 30);
  ASSERT_EQ(photos.shots.size(), 3u);
  EXPECT_EQ(photos.shots[0].score, 0) << "generation 1 broke nothing";
  EXPECT_EQ(photos.shots[0].scoreLabel, "0");
  EXPECT_EQ(Count("bomb"), 2) << "one sound per generation";
  ExpectQuiet();
}

TEST_F(ExplosionTest, HardBlockHitTwiceIsCrackedThenBrokenAndCountedOnce) {
  Put(6, 6, '3');
  Put(7, 5, '4');  // its 5 x 5 reaches (6, 6) again
  Block_Paint();
  Fuse(0, 6, 4, 1);
  Bomb_Refresh();
  ASSERT_EQ(photos.shots.size(), 3u);
  EXPECT_EQ(AtIn(photos.shots[0].board, 6, 6), '2') << "cracked by the first blast";
  EXPECT_EQ(photos.shots[0].score, 0) << "cracking is worth nothing";
  EXPECT_EQ(AtIn(photos.shots[2].board, 6, 6), '0') << "broken by the second";
  EXPECT_EQ(Module1.Score, 2) << "one block in generation 2 at level 1";
  ExpectQuiet();
}

TEST_F(ExplosionTest, CrateReachedTwiceInOneGenerationIsQueuedOnce) {
  ThreeGenerations();
  Bomb_Refresh();
  ASSERT_FALSE(photos.shots.empty());
  EXPECT_EQ(photos.shots.back().queue,
            (std::vector<std::string>{"01110", "02091", "02125", "03106"}))
      << "A and B both reach C (and each other); every cell is queued once";
  EXPECT_EQ(Count("bomb"), 3);
  ExpectQuiet();
}

TEST_F(ExplosionTest, PausesAndRedrawsBetweenGenerations) {
  ThreeGenerations();
  Bomb_Refresh();
  EXPECT_EQ(clock.waits, (std::vector<std::int32_t>{2 * W, 2 * W, 2 * W, 2 * W, W}));
  ASSERT_EQ(photos.shots.size(), 5u);
  const auto& s = photos.shots;
  EXPECT_TRUE(FlashAt(s[0].canvas, QRect(48, 180, 120, 72))) << "generation 1: the blue flash";
  EXPECT_FALSE(NonBlack(s[1].canvas, 100, 240)) << "the board redrawn between the two pauses";
  EXPECT_TRUE(NonBlack(s[1].canvas, 60, 190)) << "crate A still drawn, its entry is pending";
  EXPECT_TRUE(FlashAt(s[2].canvas, QRect(0, 132, 120, 168)))
      << "generation 2: the two 5 x 5 flashes of A and B, drawn together";
  EXPECT_TRUE(FlashAt(s[4].canvas, QRect(-48, 156, 120, 120))) << "generation 3: C's flash";
}

TEST_F(ExplosionTest, ChainOfThreeGenerationsDropsTwoGifts) {
  ThreeGenerations();
  // Slot Int(0.6 * 22) = 13, blue; then from the 21 slots left Int(0.62 * 21) = 13th: 14, red.
  random.script = {0.6, 0.99, 0.62, 0.2};
  Bomb_Refresh();
  EXPECT_EQ(ActiveGifts(), 2);
  EXPECT_EQ(Module1.Gifts[13].Active, 1);
  EXPECT_EQ(Module1.Gifts[13].Kind, 1);
  EXPECT_EQ(Module1.Gifts[13].Timer, 60);
  EXPECT_EQ(Module1.Gifts[14].Active, 1) << "the free list is rebuilt for each gift";
  EXPECT_EQ(Module1.Gifts[14].Kind, 0);
  EXPECT_EQ(Module1.Gifts[14].Timer, 60);
  EXPECT_TRUE(random.script.empty());
}

TEST_F(ExplosionTest, OnlyOneFreeGiftSlotGetsOneGift) {
  for (int k = 0; k < kGiftSlots; ++k) Module1.Gifts[k] = GiftRecord{k == 7 ? 0 : 1, 0, 30};
  ThreeGenerations();
  random.script = {0.5, 0.99, 0.3, 0.3};
  Bomb_Refresh();
  EXPECT_EQ(Module1.Gifts[7].Active, 1);
  EXPECT_EQ(Module1.Gifts[7].Kind, 1);
  EXPECT_EQ(Module1.Gifts[7].Timer, 60);
  EXPECT_EQ(Module1.Gifts[6].Timer, 30) << "gifts already there are left alone";
  EXPECT_EQ(random.script.size(), 2u) << "no slot left for the second gift: no draw";
}

TEST_F(ExplosionTest, BombReachedByABlastVanishesAtOnceAndGoesOffLaterWithItsOwnKind) {
  Put(8, 3, '1');  // only a blue blast from (8, 5) reaches it
  Block_Paint();
  Fuse(0, 10, 5, 0);
  PlaceBomb(2, kBombResting, CellX(5), CellY(8), 1, 3);
  random.script = {0.0, 0.0};
  Bomb_Refresh();
  ASSERT_EQ(photos.shots.size(), 3u);
  const PauseShot& afterFirst = photos.shots[0];
  EXPECT_FALSE(afterFirst.spriteShown[2]) << "hidden as soon as the blast reached it";
  EXPECT_EQ(afterFirst.bombState[2], kBombResting) << "but not yet gone off";
  EXPECT_EQ(AtIn(afterFirst.board, 8, 3), '1');
  EXPECT_EQ(AtIn(afterFirst.board, 8, 5), '7') << "its mark waits for its own entry";
  EXPECT_TRUE(FlashAt(photos.shots[2].canvas, QRect(72, 228, 120, 72)))
      << "its own blast is the wide blue one";
  EXPECT_EQ(Module1.Bombs[2].State, kBombFree);
  EXPECT_EQ(Module1.Score, 2) << "the block, broken in generation 2";
  EXPECT_EQ(ActiveGifts(), 1);
  ExpectQuiet();
}

TEST_F(ExplosionTest, ScoreStopsAt999999) {
  Module1.Score = 999989;
  Module1.Level = 4;
  for (auto [r, k] : {std::pair{5, 2}, {5, 6}, {6, 3}, {7, 4}, {7, 6}}) Put(r, k, '1');
  Block_Paint();
  Fuse(0, 6, 4, 1);
  Bomb_Refresh();
  EXPECT_EQ(Module1.Score, 999999) << "999989 + 5 x 4 is capped";
  EXPECT_EQ(form().Label1[0].Caption(), "999999");
}

TEST_F(ExplosionTest, BlastsInTheTopRowsSkipRowsAboveTheWell) {
  Put(1, 5, '4');  // its 5 x 5 would reach row -1
  Put(2, 5, '1');
  Put(3, 5, '1');
  Put(0, 3, '1');
  Put(0, 7, '1');
  Put(3, 3, '1');
  Put(4, 5, '3');  // below the reach of both
  Block_Paint();
  Fuse(0, 0, 5, 0);  // its column would reach rows -3 to -1
  Bomb_Refresh();
  ASSERT_EQ(photos.shots.size(), 3u);
  const std::string& board = photos.shots[2].board;
  for (auto [r, k] : {std::pair{0, 3}, {0, 7}, {2, 5}, {3, 5}, {3, 3}, {1, 5}, {0, 5}}) {
    EXPECT_EQ(AtIn(board, r, k), '0') << "row " << r << " column " << k;
  }
  EXPECT_EQ(AtIn(board, 4, 5), '3');
  EXPECT_EQ(Module1.Score, 2 * 1 + 3 * 2);
  EXPECT_EQ(Module1.Board.size(), 238u);
  ExpectQuiet();
}

TEST_F(ExplosionTest, BlueBlastAtCell110FlashesAt48And180) {
  Fuse(0, 6, 4, 1);
  Bomb_Refresh();
  ASSERT_EQ(photos.shots.size(), 1u);
  EXPECT_TRUE(FlashAt(photos.shots[0].canvas, QRect(48, 180, 120, 72)));
  EXPECT_FALSE(DrawnOutside(photos.shots[0].canvas, {QRect(48, 180, 120, 72)}));
}

TEST_F(ExplosionTest, BlueBlastVisitsRows5To7Columns2To6InOrder) {
  for (int r = 3; r <= 9; ++r) {
    for (int k = 0; k <= 10; ++k) Put(r, k, '1');
  }
  // Crates are queued in visiting order: top row first, left to right.
  Put(7, 2, '4');
  Put(5, 6, '4');
  Put(5, 3, '4');
  Put(6, 2, '4');
  Block_Paint();
  Fuse(0, 6, 4, 1);
  Bomb_Refresh();
  ASSERT_GE(photos.shots.size(), 1u);
  const PauseShot& shot = photos.shots[0];
  EXPECT_EQ(shot.queue,
            (std::vector<std::string>{"01110", "02092", "02095", "02108", "02125"}));
  for (int r = 3; r <= 9; ++r) {
    for (int k = 0; k <= 10; ++k) {
      const bool reached = r >= 5 && r <= 7 && k >= 2 && k <= 6;
      const bool crate = (r == 7 && k == 2) || (r == 5 && k == 6) || (r == 5 && k == 3) ||
                         (r == 6 && k == 2);
      const char expected = crate ? '4' : reached ? '0' : '1';
      EXPECT_EQ(AtIn(shot.board, r, k), expected) << "row " << r << " column " << k;
    }
  }
  EXPECT_EQ(shot.score, 10) << "14 cells around the centre, 4 of them crates";
  ExpectQuiet();
}

TEST_F(ExplosionTest, UnreachedBombsLoseTheirMarksAndKeepBurning) {
  Fuse(0, 10, 0, 0);
  BombRecord& resting = PlaceBomb(4, kBombResting, CellX(8), 312, 1, 12);
  BombRecord& flying = PlaceBomb(2, kBombFlying, CellX(9), CellY(3), 0, 4);
  flying.VY = 4;
  Bomb_Refresh();  // slot 0 goes off first; slot 2 then flies on in the same call
  ASSERT_EQ(photos.shots.size(), 1u);
  EXPECT_EQ(AtIn(photos.shots[0].board, 10, 8), '9') << "marked during the chain";
  EXPECT_EQ(AtIn(photos.shots[0].board, 3, 9), '7');
  ExpectQuiet();
  EXPECT_EQ(resting.State, kBombResting);
  EXPECT_EQ(resting.Age, 13) << "its own update follows in the same call";
  EXPECT_EQ(resting.Y, 312);
  EXPECT_TRUE(form().Picture3[4].Visible());
  EXPECT_EQ(flying.State, kBombFlying);
  EXPECT_EQ(flying.Y, CellY(3) + 5);
  EXPECT_EQ(flying.Age, 5);
  EXPECT_TRUE(form().Picture3[2].Visible());
}

}  // namespace
}  // namespace tarnix::testing
