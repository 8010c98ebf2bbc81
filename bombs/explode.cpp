#include <string>

#include "bombs/bombs.h"
#include "core/hooks.h"
#include "files/files.h"
#include "files/options.h"
#include "window/flashes.h"
#include "window/form1.h"
#include "playfield/playfield.h"
#include "core/platform.h"

namespace tarnix {

namespace {

constexpr Long kScoreCap = 999999;

// The pads rumble for each generation; a chain knows nothing of who listens.
void Chain_Generation(Long generation) {
  if (Hook().ChainGeneration) Hook().ChainGeneration(generation);
}

struct Blast {
  int rowFrom, rowTo, colFrom, colTo;  // offsets from the centre cell
  int flash;                           // index into Picture5
  int flashX, flashY;                  // canvas position, per cell of column and row
};

// Red bomb: a column of seven. Blue bomb: five wide, three high. Crate: five by five.
constexpr Blast kBlasts[3] = {
    {-3, 3, 0, 0, 0, 0, -12},
    {-1, 1, -2, 2, 1, -48, 36},
    {-2, 2, -2, 2, 2, -48, 12},
};

Long Cell(Long position) {
  const std::string& board = Module1.Board;
  if (position < 1 || position > static_cast<Long>(board.size())) return 0;
  return DigitAt(board, position);
}

Long EntryGeneration(int n) { return std::stol(Form1->List1.List(n).substr(0, 2)); }
Long EntryPosition(int n) { return std::stol(Form1->List1.List(n).substr(2, 3)); }

// Queues `position` for the next generation unless it is already pending from `cursor` on.
void Queue_Once(int cursor, Long generation, Long position) {
  ListBox& queue = Form1->List1;
  for (int e = cursor; e < queue.ListCount(); ++e) {
    if (EntryPosition(e) == position) return;
  }
  queue.AddItem(Explosion_Entry(generation + 1, position));
}

void Score_Add(Long generation) {
  // 64-bit so that the cap, not an overflow, decides how a long chain ends.
  const long long sum = static_cast<long long>(Module1.Score) +
                        static_cast<long long>(Module1.BlocksBroken) * Module1.Level * generation;
  Module1.Score = sum > kScoreCap ? kScoreCap : static_cast<Long>(sum);
  Module1.BlocksBroken = 0;
  States_Refresh();
}

void Blast_Resolve(int cursor) {
  const Long generation = EntryGeneration(cursor);
  const Long position = EntryPosition(cursor);
  std::string& board = Module1.Board;

  Long kind = 2;
  const Long centre = Cell(position);
  if (centre > 4) {
    const Long slot = centre - 5;
    kind = Module1.Bombs[slot].Kind;
    Module1.Bombs[slot].State = kBombFree;
    Bomb_Paint(slot);
    SetDigitAt(board, position, 0);
  }
  const Blast& blast = kBlasts[kind];
  const Long col = position % kRowLength - 4;
  const Long row = position / kRowLength;
  const PictureBox& flash = Form1->Picture5[blast.flash];
  const int x = static_cast<int>(24 * col + blast.flashX);
  const int y = static_cast<int>(24 * row + blast.flashY);
  if (Options().GentleFlashes) {
    const bool generationStart = cursor == 0 || EntryGeneration(cursor - 1) != generation;
    Flash_PaintGentle(Form1->Picture1, flash.Picture(), x, y, generationStart, GetTickCount());
  } else {
    Form1->Picture1.PaintPicture(flash.Picture(), x, y);
  }

  for (int dr = blast.rowFrom; dr <= blast.rowTo; ++dr) {
    if (position + dr * kRowLength <= 0) continue;
    for (int dc = blast.colFrom; dc <= blast.colTo; ++dc) {
      if (dr == 0 && dc == 0) continue;
      const Long q = position + dr * kRowLength + dc;
      const Long v = Cell(q);
      if (v == 0) continue;
      if (v == 1 || v == 2) {
        Module1.BlocksBroken += 1;
        SetDigitAt(board, q, 0);
      } else if (v == 3) {
        SetDigitAt(board, q, 2);
      } else {
        Queue_Once(cursor, generation, q);
        if (v > 4) Form1->Picture3[v - 5].SetVisible(false);
      }
    }
  }
  if (kind != 1) SetDigitAt(board, position, 0);
  Form1->Picture1.Refresh();
}

void Gifts_HandOut(Long count) {
  ListBox& free = Form1->List2;
  for (Long g = 0; g < count; ++g) {
    free.Clear();
    for (int k = 0; k < kGiftSlots; ++k) {
      if (Module1.Gifts[k].Active == 0) free.AddItem(std::to_string(k));
    }
    if (free.ListCount() == 0) return;
    const int pick = RndInt(free.ListCount());
    GiftRecord& gift = Module1.Gifts[std::stoi(free.List(pick))];
    gift.Active = 1;
    gift.Kind = RndInt(2);
    gift.Timer = 60;
  }
}

}  // namespace

void Bomb_Explode() {
  ListBox& queue = Form1->List1;
  const Long w = Module1.WaitMs;
  int n = 0;
  for (;;) {
    Blast_Resolve(n);
    n += 1;
    if (n == queue.ListCount()) break;
    const Long finished = EntryGeneration(n - 1);
    if (finished != EntryGeneration(n)) {
      Sound("bomb");
      Chain_Generation(finished);
      Score_Add(finished);
      WaitMsFromNow(2 * w);
      Block_Paint();
      Form1->Picture1.Refresh();
      WaitMsFromNow(2 * w);
    }
  }

  const Long last = EntryGeneration(n - 1);
  Sound("bomb");
  Chain_Generation(last);
  Score_Add(last);
  WaitMsFromNow(w);
  Block_Fall();
  Block_Paint();
  Form1->Picture1.Refresh();
  Gifts_HandOut(last - 1);
  queue.Clear();
  for (char& cell : Module1.Board) {
    if (cell > '4') cell = '0';
  }
}

}  // namespace tarnix
