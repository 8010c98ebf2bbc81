// How a bomb moves, lands, rests, falls again and burns its fuse: all against what is drawn
// on the canvas.
#include <gtest/gtest.h>

#include "bombs/bombs.h"
#include "playfield/playfield.h"
#include "support/bomb_scene.h"

namespace tarnix::testing {
namespace {

class BombFlightTest : public BombTest {
 protected:
  BombRecord& Launch(int slot, Long x, Long y, Long vx, Long vy, Long kind = 0) {
    BombRecord& bomb = PlaceBomb(slot, kBombFlying, x, y, kind);
    bomb.VX = vx;
    bomb.VY = vy;
    return bomb;
  }
};

TEST_F(BombFlightTest, DroppedBombSpeedsUpByOneAndSettlesOnTheFloor) {
  BombRecord& bomb = Launch(0, 100, 60, 0, 2);
  Long expectedVY = 2;
  Long expectedY = 60;
  int updates = 0;
  while (bomb.State == kBombFlying) {
    ASSERT_LT(updates, 39) << "the bomb never landed";
    Bomb_Refresh();
    ++updates;
    expectedVY += 1;
    EXPECT_EQ(bomb.VY, expectedVY) << "gravity adds one pixel per update, update " << updates;
    if (bomb.State == kBombFlying) {
      expectedY += expectedVY;
      EXPECT_EQ(bomb.Y, expectedY) << "update " << updates;
      EXPECT_EQ(form().Picture3[0].Top(), expectedY) << "the sprite follows every flying update";
    }
  }
  EXPECT_EQ(updates, 21) << "3 + 4 + ... + 22 = 250 pixels in 20 updates; the 21st passes 312";
  EXPECT_EQ(bomb.State, kBombResting);
  EXPECT_EQ(bomb.Y, 312) << "lower edge on the canvas's last row";
  EXPECT_EQ(bomb.X, 100);
  EXPECT_EQ(bomb.Age, 21);
  EXPECT_EQ(form().Picture3[0].Top(), 312);
  EXPECT_TRUE(form().Picture3[0].Visible());
}

TEST_F(BombFlightTest, LandsOnTheTopOfTheDrawnBlockPixelByPixel) {
  Put(10, 4, '1');  // canvas x 96..119, y 300..323
  Block_Paint();
  BombRecord& bomb = Launch(0, 100, 270, 0, 10);
  Bomb_Refresh();  // to y 281: still clear
  Bomb_Refresh();  // to y 293: into the block, undone, then lowered until it touches
  EXPECT_EQ(bomb.State, kBombResting);
  EXPECT_EQ(bomb.Y, 288) << "lower edge on the row just above the block";
  EXPECT_EQ(bomb.VY, 12) << "landing leaves the speeds as they were";
}

TEST_F(BombFlightTest, SettlesDiagonallyAlongItsWay) {
  Put(10, 5, '1');  // canvas x 120..143, y 300..323
  Block_Paint();
  BombRecord& bomb = Launch(0, 100, 280, 8, 5);
  Bomb_Refresh();  // (108, 286): clear
  ASSERT_EQ(bomb.State, kBombFlying);
  Bomb_Refresh();  // (116, 293): the middle probe at x 122 is in the block
  EXPECT_EQ(bomb.State, kBombResting);
  // Back to (108, 286), then one pixel right and down at a time while (X + 1) and (X + 12)
  // on the row below stay black: (109, 287), (110, 288); at (110, 288) x 122 is solid.
  EXPECT_EQ(bomb.X, 110);
  EXPECT_EQ(bomb.Y, 288);
  EXPECT_EQ(form().Picture3[0].Left(), 110);
}

TEST_F(BombFlightTest, ThrownLeftAtTheWallReboundsAndUndoesPastTheEdge) {
  Put(10, 0, '1');  // canvas x 0..23 from y 300
  Block_Paint();
  BombRecord& bomb = Launch(0, 4, 284, -8, 3);
  Bomb_Refresh();
  // -4 rebounds to 1 with VX +8; at y 288 the probes touch the block, and the undo with the
  // reversed speed gives 1 - 8 = -7. The settle towards the right stops at once because its
  // leading probe (x -6) is outside the canvas, so Y stays 288 - 4.
  EXPECT_EQ(bomb.VX, 8);
  EXPECT_EQ(bomb.State, kBombResting);
  EXPECT_EQ(bomb.Y, 284) << "a clamp before the settle would have let it slide down to 288";
  EXPECT_EQ(bomb.X, 0) << "drawing clamps the -7 and writes it back";
  EXPECT_EQ(form().Picture3[0].Left(), 0);
}

TEST_F(BombFlightTest, ReboundsAtTheWallsTo1And250) {
  BombRecord& right = Launch(0, 246, 60, 8, 2);
  BombRecord& left = Launch(1, 4, 60, -8, 2);
  Bomb_Refresh();
  EXPECT_EQ(right.X, 250) << "the rebound is to 250, not to the last position 252";
  EXPECT_EQ(right.VX, -8);
  EXPECT_EQ(left.X, 1) << "and to 1, not 0, on the left";
  EXPECT_EQ(left.VX, 8);
  Bomb_Refresh();
  EXPECT_EQ(right.X, 242);
  EXPECT_EQ(left.X, 9);
}

TEST_F(BombFlightTest, FlushAgainstTheLeftWallIsAlwaysSupported) {
  BombRecord& flush = PlaceBomb(0, kBombResting, 0, 200, 0, 5);
  BombRecord& inside = PlaceBomb(1, kBombResting, 1, 200, 0, 5);
  Bomb_Refresh();
  EXPECT_EQ(flush.State, kBombResting) << "its left probe at x -1 is outside, hence solid";
  EXPECT_EQ(flush.Y, 200);
  EXPECT_EQ(flush.Age, 6);
  EXPECT_EQ(inside.State, kBombFlying) << "one pixel further in, nothing holds it";
}

TEST_F(BombFlightTest, SupportReachesOnePixelLeftAndTheRightEdge) {
  Put(10, 5, '1');  // canvas x 120..143
  Block_Paint();
  // The support probes are x - 1, x + 6 and x + 12 on the row below the bomb.
  const struct {
    Long x;
    bool held;
  } cases[] = {{107, false}, {108, true}, {144, true}, {145, false}};
  for (const auto& c : cases) {
    BombRecord& bomb = PlaceBomb(0, kBombResting, c.x, 288, 0);
    Bomb_Refresh();
    EXPECT_EQ(bomb.State, c.held ? kBombResting : kBombFlying) << "bomb at x " << c.x;
  }
}

TEST_F(BombFlightTest, LosingItsSupportItFallsAgainKeepingItsAge) {
  Put(10, 4, '1');
  Block_Paint();
  BombRecord& bomb = PlaceBomb(2, kBombResting, 100, 288, 1, 17);
  bomb.VX = 8;
  bomb.VY = 9;
  Bomb_Refresh();
  ASSERT_EQ(bomb.State, kBombResting);

  Put(10, 4, '0');
  Block_Paint();
  form().Picture3[2].move(5, 5);  // where the sprite is if nothing draws it
  random.script = {0.9};
  Bomb_Refresh();
  EXPECT_EQ(bomb.State, kBombFlying);
  EXPECT_EQ(bomb.VX, 0) << "it falls straight down, whatever it was thrown with";
  EXPECT_EQ(bomb.VY, 2);
  EXPECT_EQ(bomb.Y, 288) << "it does not move in the update that finds the hole";
  EXPECT_EQ(bomb.Age, 19) << "the fuse keeps burning from where it was";
  EXPECT_EQ(form().Picture3[2].Left(), 5) << "not redrawn in that update";
  EXPECT_EQ(random.script.size(), 1u) << "no spark frame was chosen";

  Bomb_Refresh();
  EXPECT_EQ(bomb.Y, 291);
  EXPECT_EQ(form().Picture3[2].Top(), 291);
  EXPECT_EQ(bomb.Age, 20);
}

TEST_F(BombFlightTest, FuseBurnsFortyUpdatesThenDetonatesOnTheNext) {
  BombRecord& bomb = Launch(1, 100, 60, 0, 2);  // falls, then rests on the floor
  for (int update = 1; update <= 39; ++update) {
    Bomb_Refresh();
    ASSERT_NE(bomb.State, kBombDetonating) << "too early, update " << update;
  }
  EXPECT_EQ(bomb.State, kBombResting);
  Bomb_Refresh();
  EXPECT_EQ(bomb.State, kBombDetonating) << "the 40th update of flight and rest";
  EXPECT_EQ(bomb.Age, 40);
  EXPECT_TRUE(sound.Names().empty());

  Bomb_Refresh();
  EXPECT_EQ(sound.Names(), std::vector<std::string>{"bomb"});
  EXPECT_EQ(bomb.State, kBombFree);
  EXPECT_FALSE(form().Picture3[1].Visible());
  ExpectQuiet();
}

TEST_F(BombFlightTest, CellIsTakenAtTheBombsCentre) {
  EXPECT_EQ(Bomb_Cell(BombRecord{0, 0, 100, 200, 0, 0, 0}), 110) << "row 6, well column 4";
  EXPECT_EQ(Explosion_Entry(1, 110), "01110");
  EXPECT_EQ(Explosion_Entry(12, 4), "12004");
  // Centre x 23 is still column 0, 24 is column 1; centre y 83 (Y 77) row 0, 84 row 1.
  EXPECT_EQ(Bomb_Cell(BombRecord{0, 0, 17, 77, 0, 0, 0}), 4);
  EXPECT_EQ(Bomb_Cell(BombRecord{0, 0, 18, 78, 0, 0, 0}), 17 + 5);
  EXPECT_EQ(Bomb_Cell(BombRecord{0, 0, 0, 60, 0, 0, 0}), 4) << "top-left bomb";
  EXPECT_EQ(Bomb_Cell(BombRecord{0, 0, 252, 312, 0, 0, 0}), 184) << "bottom-right bomb";
}

TEST_F(BombFlightTest, DetonationQueuesItsCellAsTheFirstEntry) {
  PlaceBomb(0, kBombDetonating, 100, 200, 0, 40);
  Bomb_Refresh();
  ASSERT_EQ(photos.shots.size(), 1u);
  EXPECT_EQ(photos.shots[0].queue, std::vector<std::string>{"01110"});
  ExpectQuiet();
}

TEST_F(BombFlightTest, TwoBombsInOneCellGoOffTogetherWithTheHigherSlotsBlast) {
  Put(6, 2, '1');  // reached only by a blue blast
  Put(3, 4, '1');  // reached only by a red one
  Block_Paint();
  Fuse(1, 6, 4, 0);                           // red, goes off
  PlaceBomb(3, kBombResting, 99, 200, 1, 5);  // blue, same cell, fuse still burning
  Bomb_Refresh();
  ASSERT_EQ(photos.shots.size(), 1u) << "one generation, one pause";
  const std::string& board = photos.shots[0].board;  // before the blocks fall
  EXPECT_EQ(board[Pos(6, 2) - 1], '0') << "the blast is blue, the kind of slot 3";
  EXPECT_EQ(board[Pos(3, 4) - 1], '1');
  EXPECT_EQ(Module1.Bombs[1].State, kBombFree);
  EXPECT_EQ(Module1.Bombs[3].State, kBombFree) << "both bombs of the cell are consumed";
  EXPECT_FALSE(form().Picture3[3].Visible());
  EXPECT_EQ(Count("bomb"), 1) << "one blast, not a second one for the other bomb";
  ExpectQuiet();
}

TEST_F(BombFlightTest, HeldBombsAreNeverCaughtInABlast) {
  Put(10, 4, '3');  // where the held bomb's stale record points, inside the blast
  Block_Paint();
  Fuse(0, 8, 4, 0);
  BombRecord& held = PlaceBomb(4, kBombHeld, CellX(4), CellY(10), 1);
  Bomb_Refresh();
  EXPECT_EQ(held.State, kBombHeld);
  EXPECT_EQ(At(10, 4), '2') << "the hard block was cracked, not overwritten by a mark";
  EXPECT_EQ(Count("bomb"), 1) << "no second generation from the held bomb";
  ExpectQuiet();
}

TEST_F(BombFlightTest, TwoFusesEndingTogetherMakeTwoChainsInOneCall) {
  Fuse(0, 10, 0, 0);
  BombRecord& later = Fuse(3, 10, 10, 0);
  Bomb_Refresh();
  EXPECT_EQ(later.State, kBombFree);
  EXPECT_EQ(Count("bomb"), 2) << "the second bomb is resolved later in the same call";
  EXPECT_EQ(clock.waits.size(), 2u);
  ExpectQuiet();
}

}  // namespace
}  // namespace tarnix::testing
