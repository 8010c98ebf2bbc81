// Shared set-up for the bomb, explosion and gift tests: bombs placed by cell, and a clock
// that photographs the game at every pause, which is the only moment a chain can be seen
// half-way through.
#pragma once

#include <QImage>
#include <QRect>

#include <string>
#include <vector>

#include "bombs/bombs.h"
#include "support/fixture.h"

namespace tarnix::testing {

// What the game looked like when a pause began.
struct PauseShot {
  std::int32_t ms = 0;
  std::int32_t at = 0;  // the tick count when the pause began
  QImage canvas;
  std::vector<std::string> queue;
  std::string board;
  Long score = 0;
  std::string scoreLabel;
  std::vector<bool> spriteShown;
  std::vector<Long> bombState;
};

// Waits like the fake clock it wraps (so `waits` is still recorded there), taking a
// photograph first.
class PhotoClock final : public TickClock {
 public:
  explicit PhotoClock(FakeClock& inner) : inner_(inner) {}
  std::vector<PauseShot> shots;

  std::int32_t GetTickCount() override { return inner_.GetTickCount(); }
  void WaitPast(std::int32_t t0, std::int32_t ms) override {
    PauseShot shot;
    shot.ms = ms;
    shot.at = inner_.GetTickCount();
    shot.canvas = Form1->Picture1.Image().copy();
    for (int i = 0; i < Form1->List1.ListCount(); ++i) shot.queue.push_back(Form1->List1.List(i));
    shot.board = Module1.Board;
    shot.score = Module1.Score;
    shot.scoreLabel = Form1->Label1[0].Caption();
    for (int i = 0; i < kBombSlots; ++i) {
      shot.spriteShown.push_back(Form1->Picture3[i].Visible());
      shot.bombState.push_back(Module1.Bombs[i].State);
    }
    shots.push_back(std::move(shot));
    inner_.WaitPast(t0, ms);
  }

 private:
  FakeClock& inner_;
};

class BombTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    StartPlaying();
    Platform().clock = &photos;
  }

  // Canvas position of a bomb whose centre lies in cell (r, k), low in the cell as a bomb
  // resting on the row below would be.
  static Long CellX(int k) { return 24 * k + 6; }
  static Long CellY(int r) { return 72 + 24 * r; }

  BombRecord& PlaceBomb(int slot, Long state, Long x, Long y, Long kind, Long age = 0) {
    BombRecord& bomb = Module1.Bombs[slot];
    bomb = BombRecord{state, age, x, y, 0, 0, kind};
    form().Picture3[slot].move(x, y);
    form().Picture3[slot].SetVisible(state == kBombFlying || state == kBombResting);
    return bomb;
  }
  // A bomb whose fuse has burnt, in cell (r, k): it detonates at the next Bomb_Refresh.
  BombRecord& Fuse(int slot, int r, int k, Long kind) {
    return PlaceBomb(slot, kBombDetonating, CellX(k), CellY(r), kind, 40);
  }

  static char AtIn(const std::string& board, int r, int k) { return board[Pos(r, k) - 1]; }

  static bool NonBlack(const QImage& image, int x, int y) {
    return (image.pixel(x, y) & 0xFFFFFF) != 0;
  }
  // A flash covering `rect` on an otherwise black canvas: its inside drawn (a border of a
  // few pixels is left to the art), the pixels just around it black.
  static ::testing::AssertionResult FlashAt(const QImage& image, QRect rect) {
    const QRect canvas(0, 0, image.width(), image.height());
    const QRect inside = rect.adjusted(3, 3, -3, -3).intersected(canvas);
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
      for (int x = inside.left(); x <= inside.right(); ++x) {
        if (!NonBlack(image, x, y)) {
          return ::testing::AssertionFailure() << "black at (" << x << ", " << y << ") inside";
        }
      }
    }
    const QRect ring = rect.adjusted(-1, -1, 1, 1);
    for (int y = ring.top(); y <= ring.bottom(); ++y) {
      for (int x = ring.left(); x <= ring.right(); ++x) {
        if (rect.contains(x, y) || !canvas.contains(x, y)) continue;
        if (NonBlack(image, x, y)) {
          return ::testing::AssertionFailure() << "drawn at (" << x << ", " << y << ") outside";
        }
      }
    }
    return ::testing::AssertionSuccess();
  }

  int Count(const std::string& name) const {
    int n = 0;
    for (const std::string& s : sound.Names()) n += s == name;
    return n;
  }

  int ActiveGifts() const {
    int n = 0;
    for (const GiftRecord& gift : Module1.Gifts) n += gift.Active;
    return n;
  }

  // What must hold whenever no chain is running.
  void ExpectQuiet() const {
    for (std::size_t i = 0; i < Module1.Board.size(); ++i) {
      ASSERT_LE(Module1.Board[i], '4') << "a bomb mark left in the board at position " << i + 1;
    }
    EXPECT_EQ(form_().List1.ListCount(), 0) << "the queue is empty between chains";
    EXPECT_EQ(Module1.BlocksBroken, 0);
  }

  PhotoClock photos{clock};

 private:
  const Form1Window& form_() const { return *Form1; }
};

}  // namespace tarnix::testing
