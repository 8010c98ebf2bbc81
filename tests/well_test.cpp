// The well on the canvas and gravity: which tile lands where, and how a fall is shown.
#include <gtest/gtest.h>

#include <QEvent>
#include <QImage>
#include <QTest>

#include <string>
#include <vector>

#include "playfield/playfield.h"
#include "support/fixture.h"

namespace tarnix::testing {
namespace {

// Tiles of unmistakable colours, so a pixel tells which digit was drawn there.
constexpr QRgb kTileColour[5] = {0xFF102030, 0xFF204060, 0xFF306090, 0xFF4080C0, 0xFF50A0F0};

// Counts the times the canvas is painted on screen and what the board was each time.
class PaintWatcher : public QObject {
 public:
  std::vector<std::string> boards;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) boards.push_back(Module1.Board);
    return false;
  }
};

class WellTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    QImage sheet = form().Picture4.Picture().copy();
    for (int d = 0; d < 5; ++d) {
      for (int y = 48; y < 72; ++y) {
        for (int x = 120 + 24 * d; x < 144 + 24 * d; ++x) sheet.setPixel(x, y, kTileColour[d]);
      }
    }
    form().Picture4.SetPicture(sheet);
    Module1.Board = EmptyBoard();
  }

  // Paints on screen happen only for a shown window.
  void ShowAndWatch() {
    form().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form()));
    form().Picture1.installEventFilter(&watcher);
  }

  QRgb Pixel(int x, int y) { return form().Picture1.Image().pixel(x, y); }

  PaintWatcher watcher;
};

TEST_F(WellTest, EveryCellIsItsTileAtItsPlace) {
  Put(3, 7, '2');
  Put(10, 10, '4');
  Put(0, 0, '1');
  Block_Paint();
  // Corners of the cell (3, 7) and the pixels just outside it.
  EXPECT_EQ(Pixel(168, 132), kTileColour[2]);
  EXPECT_EQ(Pixel(191, 155), kTileColour[2]);
  EXPECT_EQ(Pixel(167, 132), kTileColour[0]);
  EXPECT_EQ(Pixel(192, 155), kTileColour[0]);
  EXPECT_EQ(Pixel(168, 131), kTileColour[0]);
  EXPECT_EQ(Pixel(168, 156), kTileColour[0]);
  EXPECT_EQ(Pixel(263, 323), kTileColour[4]) << "row 10 ends at the canvas's bottom edge";
  EXPECT_EQ(Pixel(240, 300), kTileColour[4]);
  EXPECT_EQ(Pixel(0, 60), kTileColour[1]) << "row 0 starts right under the strip";
  EXPECT_EQ(Pixel(0, 59), 0xFF000000u);
}

TEST_F(WellTest, EmptyCellsAreDrawnWithTheEmptyTileOverWhateverWasThere) {
  QImage red(264, 324, QImage::Format_RGB32);
  red.fill(0xFFFF0000);
  form().Picture1.PaintPicture(red, 0, 0);
  Block_Paint();
  for (int r = 0; r <= 10; ++r) {
    for (int k = 0; k <= 10; ++k) {
      ASSERT_EQ(Pixel(24 * k + 5, 60 + 24 * r + 5), kTileColour[0]) << "cell " << r << "," << k;
    }
  }
  EXPECT_EQ(Pixel(100, 30), 0xFF000000u) << "the strip area is cleared, not left red";
}

TEST_F(WellTest, LiveBombDigitsStayBlack) {
  for (int k = 0; k <= 4; ++k) Put(4, k, static_cast<char>('5' + k));
  Put(4, 5, '1');
  Block_Paint();
  for (int k = 0; k <= 4; ++k) {
    EXPECT_EQ(Pixel(24 * k + 12, 60 + 96 + 12), 0xFF000000u) << "digit " << 5 + k;
    EXPECT_EQ(form().Picture1.Point(24 * k, 60 + 96), 0);
  }
  EXPECT_EQ(Pixel(24 * 5 + 12, 60 + 96 + 12), kTileColour[1]);
}

TEST_F(WellTest, RowsBelowTheWellAndPadsNeverShow) {
  for (std::size_t p = 11 * kRowLength; p < kBoardLength; ++p) Module1.Board[p] = '3';
  for (int r = 0; r <= 10; ++r) {
    Module1.Board[static_cast<std::size_t>(kRowLength * r)] = '4';       // left pad
    Module1.Board[static_cast<std::size_t>(kRowLength * r + 16)] = '4';  // right pad
  }
  Block_Paint();
  const QImage& canvas = form().Picture1.Image();
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      const QRgb c = canvas.pixel(x, y);
      ASSERT_TRUE(c == kTileColour[0] || c == 0xFF000000u) << x << "," << y;
    }
  }
}

TEST_F(WellTest, BlockPaintDoesNotShowItself) {
  ShowAndWatch();
  Put(5, 5, '1');
  Block_Paint();
  EXPECT_TRUE(watcher.boards.empty()) << "the caller decides when the canvas is shown";
}

TEST_F(WellTest, FallWithNothingToMoveChangesNothingAndDrawsNothing) {
  ShowAndWatch();
  for (int k = 0; k <= 10; ++k) Put(10, k, '1');
  for (int r = 6; r <= 10; ++r) Put(r, 4, '3');
  Module1.Board[static_cast<std::size_t>(kRowLength * 3)] = '2';  // a pad above a "0" pad
  const std::string before = Module1.Board;
  Block_Fall();
  EXPECT_EQ(Module1.Board, before);
  EXPECT_TRUE(watcher.boards.empty()) << "the pass that finds nothing is not shown";
}

TEST_F(WellTest, ASingleCellFallsTenRowsInTenShownPasses) {
  ShowAndWatch();
  Put(0, 6, '2');
  Block_Fall();
  ASSERT_EQ(watcher.boards.size(), 10u) << "one redraw per row fallen, none for the last pass";
  for (int pass = 1; pass <= 10; ++pass) {
    const std::string& shown = watcher.boards[static_cast<std::size_t>(pass - 1)];
    EXPECT_EQ(shown[static_cast<std::size_t>(Pos(pass, 6) - 1)], '2') << "pass " << pass;
    EXPECT_EQ(shown.find_first_not_of('0'), static_cast<std::size_t>(Pos(pass, 6) - 1))
        << "one cell, one row further each pass";
  }
  EXPECT_EQ(At(10, 6), '2');
  EXPECT_EQ(Pixel(24 * 6, 300), kTileColour[2]) << "the last redraw shows the cell at the bottom";
  EXPECT_EQ(Pixel(24 * 6, 276), kTileColour[0]);
}

TEST_F(WellTest, AFloatingStackKeepsItsOrderAndNothingMovesSideways) {
  ShowAndWatch();
  Put(10, 3, '2');
  Put(2, 3, '1');
  Put(3, 3, '3');
  Put(4, 3, '7');  // a live bomb's mark is solid and falls too
  Put(8, 0, '4');
  Put(9, 9, '1');
  Put(5, 9, '1');  // follows the cell under it down
  for (std::size_t p = 11 * kRowLength; p < kBoardLength; ++p) Module1.Board[p] = '0';
  Put(11, 1, '3');
  Block_Fall();
  EXPECT_EQ(watcher.boards.size(), 5u) << "the stack needs five passes to close its gap";
  EXPECT_EQ(At(7, 3), '1');
  EXPECT_EQ(At(8, 3), '3');
  EXPECT_EQ(At(9, 3), '7');
  EXPECT_EQ(At(10, 3), '2');
  EXPECT_EQ(At(10, 0), '4');
  EXPECT_EQ(At(9, 9), '1');
  EXPECT_EQ(At(10, 9), '1');
  EXPECT_EQ(At(11, 1), '3') << "rows below the well are left alone";
  EXPECT_EQ(At(11, 0), '0') << "a cell in row 10 never drops out of the well";
  int solid = 0;
  for (char c : Module1.Board) solid += c != '0';
  EXPECT_EQ(solid, 8) << "cells are moved, never lost or doubled";
  // The second shown pass: the stack one row lower than after the first.
  const std::string& second = watcher.boards[1];
  EXPECT_EQ(second[static_cast<std::size_t>(Pos(4, 3) - 1)], '1');
  EXPECT_EQ(second[static_cast<std::size_t>(Pos(6, 3) - 1)], '7');
  EXPECT_EQ(second[static_cast<std::size_t>(Pos(10, 0) - 1)], '4');
}

}  // namespace
}  // namespace tarnix::testing
