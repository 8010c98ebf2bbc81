#include <algorithm>

#include "bombs/bombs.h"
#include "files/files.h"
#include "window/form1.h"
#include "playfield/playfield.h"
#include "scores/scores.h"
#include "core/hooks.h"
#include "core/platform.h"

namespace tarnix {

namespace {

constexpr Long kTopLevel = 20;

char Cell_Random(Long level) {
  const Long r = RndInt(100);
  Long brown;
  if (level >= 1 && level <= 3) {
    brown = 85;
  } else if (level >= 4 && level <= 6) {
    brown = 70;
  } else if (level >= 7 && level <= 9) {
    brown = 60;
  } else if (level >= 10 && level <= 18) {
    brown = 50;
  } else {
    brown = 40;
  }
  if (r < brown) return '1';
  if (r < 85) return '3';
  return '4';
}

bool Row0_Occupied() {
  for (int p = 4; p <= 14; ++p) {
    const Long d = DigitAt(Module1.Board, p);
    if (d >= 1 && d <= 4) return true;
  }
  return false;
}

bool Solid(int x, int y) { return Form1->Picture1.Point(x, y) != 0; }

// A flying bomb the blocks moved into: back to where it was, then down along its way
// until something holds it.
void Bomb_CatchInRise(BombRecord& bomb) {
  const bool hit = Solid(bomb.X, bomb.Y + 6) || Solid(bomb.X + 6, bomb.Y + 11) ||
                   Solid(bomb.X + 12, bomb.Y + 6);
  if (hit) Bomb_Settle(bomb);
}

}  // namespace

// Rows a level lasts before the next one; 19 is 86, not 88, and 20 is the last.
Long RowsForLevel(Long level) {
  if (level == 19) return 86;
  if (level >= 20) return 99;
  return 20 + 4 * (level - 2);
}

void Block_Up() {
  std::string cells;
  for (int i = 0; i < 11; ++i) cells += Cell_Random(Module1.Level);
  // The draws above still happen, so a race played as its entry was is that very game.
  if (Hook().RowRising) Hook().RowRising(cells);
  std::string row = "000" + cells;

  if (Row0_Occupied()) {
    Game_Over(row);
    return;
  }
  if (Module1.GamePhase == kPlaying) Sound("up");

  std::string& board = Module1.Board;
  for (int r = 1; r <= 10; ++r) {
    const auto from = board.begin() + kRowLength * r;
    std::copy(from, from + kRowLength, from - kRowLength);
  }
  board.replace(170, row.size(), row);

  Block_Paint();
  Form1->Picture1.Refresh();

  for (int i = 0; i < kBombSlots; ++i) {
    BombRecord& bomb = Module1.Bombs[i];
    if (bomb.State == kBombFlying) {
      Bomb_CatchInRise(bomb);
      Bomb_Paint(i);
    } else if (bomb.State == kBombResting) {
      bomb.Y -= 24;
      if (bomb.Y < 60) bomb.State = kBombFree;
      Bomb_Paint(i);
    }
  }

  if (Module1.Level < kTopLevel) Module1.RowsToLevel -= 1;
  if (Module1.RowsToLevel <= 0) {
    Module1.Level += 1;
    Module1.RowsToLevel = RowsForLevel(Module1.Level);
    States_Refresh();
  }
}

}  // namespace tarnix
