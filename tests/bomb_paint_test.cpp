// The bomb sprites: where they stand, when they show, which frame of the sheet they carry.
#include <gtest/gtest.h>

#include <QImage>

#include "bombs/bombs.h"
#include "support/bomb_scene.h"

namespace tarnix::testing {
namespace {

class BombPaintTest : public BombTest {
 protected:
  void SetUp() override {
    BombTest::SetUp();
    // Every 12 x 12 icon of the bomb row in a colour of its own, so that frames can be told
    // apart whatever the art looks like.
    QImage sheet = form().Picture4.Picture().convertToFormat(QImage::Format_RGB32);
    for (int m = 0; m < 8; ++m) {
      for (int y = 72; y < 84; ++y) {
        for (int x = 12 * m; x < 12 * m + 12; ++x) {
          sheet.setPixel(x, y, qRgb(30 + 25 * m, 200 - 20 * m, 40 + x % 12 + y % 12));
        }
      }
    }
    form().Picture4.SetPicture(sheet);
  }

  // True when the sprite shows exactly the sheet's 12 x 12 rectangle at (x, 72).
  ::testing::AssertionResult Shows(int slot, int x) {
    const QImage sprite = form().Picture3[slot].Image();
    const QImage& sheet = form().Picture4.Picture();
    for (int dy = 0; dy < 12; ++dy) {
      for (int dx = 0; dx < 12; ++dx) {
        if ((sprite.pixel(dx, dy) & 0xFFFFFF) != (sheet.pixel(x + dx, 72 + dy) & 0xFFFFFF)) {
          return ::testing::AssertionFailure()
                 << "sprite pixel (" << dx << ", " << dy << ") differs from sheet x " << x;
        }
      }
    }
    return ::testing::AssertionSuccess();
  }
};

TEST_F(BombPaintTest, PositionIsClampedAndWrittenBack) {
  BombRecord& left = PlaceBomb(0, kBombResting, -7, 150, 0);
  Bomb_Paint(0);
  EXPECT_EQ(left.X, 0) << "the clamped value is stored";
  EXPECT_EQ(form().Picture3[0].Left(), 0);
  EXPECT_EQ(form().Picture3[0].Top(), 150);

  BombRecord& right = PlaceBomb(1, kBombFlying, 258, 90, 1);
  Bomb_Paint(1);
  EXPECT_EQ(right.X, 252);
  EXPECT_EQ(form().Picture3[1].Left(), 252);
  EXPECT_EQ(form().Picture3[1].Top(), 90);

  BombRecord& inside = PlaceBomb(2, kBombResting, 251, 100, 0);
  Bomb_Paint(2);
  EXPECT_EQ(inside.X, 251) << "positions inside the range are left alone";
}

TEST_F(BombPaintTest, FreeHeldAndDetonatingBombsAreHiddenButStillMoved) {
  for (const Long state : {kBombFree, kBombHeld, kBombDetonating}) {
    PlaceBomb(3, kBombResting, 10, 70, 1);  // shown somewhere else first
    Module1.Bombs[3] = BombRecord{state, 7, 140, 230, 0, 0, 1};
    Bomb_Paint(3);
    EXPECT_FALSE(form().Picture3[3].Visible()) << "state " << state;
    EXPECT_EQ(form().Picture3[3].Left(), 140) << "state " << state;
    EXPECT_EQ(form().Picture3[3].Top(), 230) << "state " << state;
  }
}

TEST_F(BombPaintTest, RestingBombShowsFrameZeroOfItsKind) {
  PlaceBomb(4, kBombResting, 50, 200, 1);
  random.script = {0.99};
  Bomb_Paint(4);
  EXPECT_TRUE(Shows(4, 48)) << "blue frame 0 starts at sheet (48, 72)";
  EXPECT_TRUE(form().Picture3[4].Visible());
  EXPECT_EQ(random.script.size(), 1u) << "a resting bomb's spark does not move";

  PlaceBomb(0, kBombResting, 50, 200, 0);
  Bomb_Paint(0);
  EXPECT_TRUE(Shows(0, 0));
}

TEST_F(BombPaintTest, RestingLeavesVisibilityAsItWas) {
  PlaceBomb(2, kBombResting, 50, 200, 0);
  form().Picture3[2].SetVisible(false);
  Bomb_Paint(2);
  EXPECT_FALSE(form().Picture3[2].Visible()) << "only flight shows a sprite";
}

TEST_F(BombPaintTest, FlyingBombShowsTheFrameTheRandomPicks) {
  PlaceBomb(1, kBombFlying, 120, 100, 1);
  form().Picture3[1].SetVisible(false);
  random.script = {0.76, 0.0, 0.5, 0.26};
  Bomb_Paint(1);
  EXPECT_TRUE(form().Picture3[1].Visible());
  EXPECT_TRUE(Shows(1, 48 + 36)) << "Int(0.76 * 4) = frame 3";
  Bomb_Paint(1);
  EXPECT_TRUE(Shows(1, 48));
  Module1.Bombs[1].Kind = 0;
  Bomb_Paint(1);
  EXPECT_TRUE(Shows(1, 24)) << "red frame 2";
  Bomb_Paint(1);
  EXPECT_TRUE(Shows(1, 12)) << "red frame 1";
  EXPECT_TRUE(random.script.empty()) << "one random number per call";
}

}  // namespace
}  // namespace tarnix::testing
