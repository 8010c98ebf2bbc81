#include <cstdio>

#include "bombs/bombs.h"
#include "window/form1.h"

namespace tarnix {

namespace {

constexpr Long kFuse = 40;

bool Solid(int x, int y) { return Form1->Picture1.Point(x, y) != 0; }

void Bomb_Fly(BombRecord& bomb, Long index) {
  bomb.X += bomb.VX;
  if (bomb.X < 0) {
    bomb.X = 1;
    bomb.VX = -bomb.VX;
  } else if (bomb.X > 250) {
    bomb.X = 250;
    bomb.VX = -bomb.VX;
  }
  bomb.VY += 1;
  bomb.Y += bomb.VY;
  if (bomb.Y > 312) {
    bomb.Y = 312;
    bomb.State = kBombResting;
  }
  const bool a = Solid(bomb.X, bomb.Y + 12);
  const bool b = Solid(bomb.X + 6, bomb.Y + 12);
  const bool c = Solid(bomb.X + 12, bomb.Y + 12);
  // The undo uses the speeds as they now stand, after a bounce too: the bomb can end a few
  // pixels outside the well, which the drawing clamps.
  if (a || b || c) Bomb_Settle(bomb);
  Bomb_Paint(index);
}

void Bomb_Rest(BombRecord& bomb) {
  // The left probe lies one pixel outside the bomb, unlike the contact test of a flight.
  const bool a = Solid(bomb.X - 1, bomb.Y + 12);
  const bool b = Solid(bomb.X + 6, bomb.Y + 12);
  const bool c = Solid(bomb.X + 12, bomb.Y + 12);
  if (!a && !b && !c) {
    bomb.VX = 0;
    bomb.VY = 2;
    bomb.State = kBombFlying;
  }
}

void Fuse_Step(BombRecord& bomb) {
  bomb.Age += 1;
  if (bomb.Age >= kFuse) bomb.State = kBombDetonating;
}

std::string QueueEntry(Long generation, Long position) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d%03d", static_cast<int>(generation % 100),
                static_cast<int>(position));
  return text;
}

void Bomb_Detonate(Long index) {
  const Long position = Bomb_Cell(Module1.Bombs[index]);
  Form1->List1.AddItem(QueueEntry(1, position));
  for (int j = 0; j < kBombSlots; ++j) {
    BombRecord& other = Module1.Bombs[j];
    if (other.State < kBombFlying) continue;
    const Long cell = Bomb_Cell(other);
    if (cell == position) {
      other.State = kBombFree;
      Form1->Picture3[j].SetVisible(false);
    }
    SetDigitAt(Module1.Board, cell, j + 5);
  }
  Bomb_Explode();
  Module1.Bombs[index].State = kBombFree;
  Bomb_Paint(index);
}

}  // namespace

void Bomb_Settle(BombRecord& bomb) {
  bomb.X -= bomb.VX;
  bomb.Y -= bomb.VY;
  // The first probe is the leading lower corner; the second is asked only when it is free.
  if (bomb.VX < 0) {
    while (!Solid(bomb.X - 1, bomb.Y + 12) && !Solid(bomb.X + 10, bomb.Y + 12)) {
      bomb.X -= 1;
      bomb.Y += 1;
    }
  } else if (bomb.VX > 0) {
    while (!Solid(bomb.X + 1, bomb.Y + 12) && !Solid(bomb.X + 12, bomb.Y + 12)) {
      bomb.X += 1;
      bomb.Y += 1;
    }
  } else {
    while (!Solid(bomb.X, bomb.Y + 12) && !Solid(bomb.X + 11, bomb.Y + 12)) bomb.Y += 1;
  }
  bomb.State = kBombResting;
}

Long Bomb_Cell(const BombRecord& bomb) {
  const auto floorDiv = [](Long a, Long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
  const Long column = floorDiv(bomb.X + 6, 24) + 4;
  const Long row = floorDiv(bomb.Y - 54, 24);
  return row * kRowLength + column;
}

std::string Explosion_Entry(Long generation, Long position) {
  return QueueEntry(generation, position);
}

void Bomb_Refresh() {
  for (Long i = 0; i < kBombSlots; ++i) {
    BombRecord& bomb = Module1.Bombs[i];
    switch (bomb.State) {
      case kBombFlying:
        Bomb_Fly(bomb, i);
        Fuse_Step(bomb);
        break;
      case kBombResting:
        Bomb_Rest(bomb);
        Fuse_Step(bomb);
        break;
      case kBombDetonating: Bomb_Detonate(i); break;
      default: break;
    }
  }
}

}  // namespace tarnix
