#include "playfield/form1.h"
#include "playfield/playfield.h"

namespace tarnix {

namespace {

constexpr int kVisibleRows = 11;

void Tile_Paint(PictureBox& canvas, Long digit, int x, int y) {
  canvas.PaintPicture(Form1->Picture4.Picture(), x, y, 24, 24, 120 + 24 * digit, 48, 24, 24);
}

}  // namespace

void Block_Paint() {
  PictureBox& canvas = Form1->Picture1;
  canvas.Cls();
  // The pad columns would land outside the canvas; skipping them changes nothing on screen.
  for (int r = 0; r < kVisibleRows; ++r) {
    for (int c = 3; c <= 13; ++c) {
      const Long d = DigitAt(Module1.Board, kRowLength * r + c + 1);
      if (d < 5) Tile_Paint(canvas, d, 24 * (c - 3), 60 + 24 * r);
    }
  }
}

void Block_Fall() {
  std::string& board = Module1.Board;
  for (;;) {
    bool moved = false;
    for (int r = 10; r >= 1; --r) {
      for (int c = 3; c <= 13; ++c) {
        const auto p = static_cast<std::size_t>(kRowLength * r + c);  // 0-based
        if (board[p] == '0' && board[p - kRowLength] != '0') {
          board[p] = board[p - kRowLength];
          board[p - kRowLength] = '0';
          moved = true;
        }
      }
    }
    if (!moved) return;
    Block_Paint();
    Form1->Picture1.Refresh();
  }
}

}  // namespace tarnix
