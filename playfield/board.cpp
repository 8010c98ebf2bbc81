#include "window/form1.h"
#include "playfield/playfield.h"

namespace tarnix {

namespace {

constexpr int kVisibleRows = 11;

}  // namespace

void Figure_Paint(PictureBox& box, int x, int y, Long sheetX, Long sheetY) {
  const QImage& sheet = Form1->Picture4.Picture();
  box.PaintPicture(sheet, x, y, 24, 24, sheetX, sheetY + 84, 24, 24, vbSrcPaint);
  box.PaintPicture(sheet, x, y, 24, 24, sheetX, sheetY, 24, 24, vbSrcAnd);
}

void Well_Paint(int lastRow, int top) {
  PictureBox& canvas = Form1->Picture1;
  const QImage& sheet = Form1->Picture4.Picture();
  // The pad columns would land outside the canvas; skipping them changes nothing on screen.
  // Digits from 5 up (bombs marked during an explosion) have no tile and stay black.
  for (int r = 0; r <= lastRow; ++r) {
    for (int c = 3; c <= 13; ++c) {
      const Long d = DigitAt(Module1.Board, kRowLength * r + c + 1);
      if (d < 5) {
        canvas.PaintPicture(sheet, 24 * (c - 3), top + 24 * r, 24, 24, 120 + 24 * d, 48, 24, 24);
      }
    }
  }
}

void Block_Paint() {
  Form1->Picture1.Cls();
  Well_Paint(kVisibleRows - 1, 60);
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
