// One pass of play: the gifts, the figure and its bombs, the bombs in the well, the rise.
#include "bombs/bombs.h"
#include "core/keys.h"
#include "files/options.h"
#include "window/form1.h"
#include "playfield/playfield.h"

namespace tarnix {

namespace {

constexpr Long kPlayerRightmost = 240;

// Position (1-based) of the first held key in KeyFlags, 0 when none is held.
int FirstHeldKey() {
  const auto at = Module1.KeyFlags.find('1');
  return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

bool KeyHeld(Long keyCode) {
  const int position = FlagPosition(keyCode);
  return Module1.KeyFlags.size() >= static_cast<std::size_t>(position) &&
         Module1.KeyFlags[static_cast<std::size_t>(position - 1)] == '1';
}

void Gifts_Animate() {
  PictureBox& strip = Form1->Picture6;
  strip.Cls();
  for (int i = 0; i < kGiftSlots; ++i) {
    GiftRecord& gift = Module1.Gifts[i];
    if (gift.Active != 1) continue;
    gift.Timer -= 1;
    Long y;
    if (gift.Timer >= 38) {
      y = 81 - gift.Timer;
    } else if (gift.Timer == 0) {
      gift.Active = 0;
      continue;
    } else {
      y = 44;
    }
    strip.PaintPicture(Form1->Picture4.Picture(), 12 * i, y, 12, 12, 96 + 12 * gift.Kind, 72,
                       12, 12);
  }
}

void Player_Walk() {
  const int k = FirstHeldKey();
  const bool right = k == FlagPosition(kRight);
  if (!right && k != FlagPosition(kLeft)) return;
  PictureBox& player = Form1->Picture2;
  const Long direction = right ? 1 : -1;
  Module1.Facing = right ? 0 : 1;
  if (Module1.ActionState == kHolding) {
    Module1.AnimFrame += 1;
    if (Module1.AnimFrame > 1) Module1.AnimFrame = 0;
    player.SetLeft(player.Left() + 2 * direction);
    Player_Draw(96 + 24 * Module1.AnimFrame);
  } else if (Module1.ActionState == kIdle) {
    Module1.AnimFrame += 1;
    if (Module1.AnimFrame >= 4) Module1.AnimFrame = 0;
    player.SetLeft(player.Left() + 6 * direction);
    Player_Draw(24 * Module1.AnimFrame);
  }
  if (player.Left() > kPlayerRightmost) player.SetLeft(kPlayerRightmost);
  if (player.Left() < 0) player.SetLeft(0);
}

// Takes a bomb of `kind` into the highest free slot; false when none could be taken.
bool Bomb_Take(Long kind) {
  int slot = -1;
  for (int i = 0; i < kBombSlots; ++i) {
    if (Module1.Bombs[i].State == kBombFree) slot = i;
  }
  if (slot < 0) return false;
  Long& stock = kind == 0 ? Module1.RedStock : Module1.BlueStock;
  if (stock < 1) return false;
  stock -= 1;
  Module1.ActionState = kHolding;
  Module1.ActionFrame = 0;
  States_Refresh();
  Module1.HeldBomb = std::string(1, static_cast<char>('0' + slot)) +
                     static_cast<char>('0' + kind);
  Module1.Bombs[slot].State = kBombHeld;
  Player_Draw(96);
  return true;
}

void Bomb_Release(Long vx) {
  const int slot = DigitAt(Module1.HeldBomb, 1);
  BombRecord& bomb = Module1.Bombs[slot];
  bomb.Age = 0;
  bomb.State = kBombFlying;
  bomb.Kind = DigitAt(Module1.HeldBomb, 2);
  bomb.X = Form1->Picture2.Left() + 8;
  bomb.Y = 60;
  bomb.VX = vx;
  bomb.VY = 2;
}

// Dropping and throwing differ only in their frames and the sideways speed.
void Player_Release(Long firstColumn, Long releaseColumn, Long vx) {
  switch (Module1.ActionFrame) {
    case 0: Player_Draw(firstColumn); break;
    case 3:
      Player_Draw(releaseColumn);
      Bomb_Release(vx);
      break;
    case 5:
      Module1.AnimFrame = 1;
      Player_Draw(24);
      Module1.ActionState = kIdle;
      break;
    default: break;
  }
  Module1.ActionFrame += 1;
}

void Player_Act() {
  switch (Module1.ActionState) {
    case kIdle:
      if (KeyHeld(kKeyZ)) {
        Bomb_Take(0);
      } else if (KeyHeld(kKeyX)) {
        Bomb_Take(1);
      }
      break;
    case kHolding:
      if (KeyHeld(kUp)) {
        Module1.ActionState = kThrowing;
        Module1.ActionFrame = 0;
      } else if (KeyHeld(kDown)) {
        Module1.ActionState = kDropping;
        Module1.ActionFrame = 0;
      }
      break;
    case kDropping: Player_Release(144, 168, 0); break;
    case kThrowing: Player_Release(192, 216, Module1.Facing == 0 ? 8 : -8); break;
    default: break;
  }
}

}  // namespace

void Player_Draw(Long column) {
  PictureBox& player = Form1->Picture2;
  player.PaintPicture(Form1->Picture6.Image(), 0, 0, 24, 24, player.Left(), player.Top(), 24, 24);
  const QImage& marks = BombMarks_Picture();
  const bool carrying = Module1.ActionState != kIdle && Module1.HeldBomb.size() == 2;
  if (Options().BombMarks && carrying && !marks.isNull()) {
    // Same outline as the sheet's frame, so the sheet's mask serves.
    const int kind = Module1.HeldBomb[1] == '1' ? 1 : 0;
    const int row = kMarksFigureRow + 24 * (2 * kind + static_cast<int>(Module1.Facing));
    player.PaintPicture(Form1->Picture4.Picture(), 0, 0, 24, 24, column, 24 * Module1.Facing + 84,
                        24, 24, vbSrcPaint);
    player.PaintPicture(marks, 0, 0, 24, 24, column, row, 24, 24, vbSrcAnd);
    return;
  }
  Figure_Paint(player, 0, 0, column, 24 * Module1.Facing);
}

void Main_Pass() {
  Gifts_Animate();
  Gift_GetCheck();
  Player_Walk();
  Player_Act();
  Form1->Picture2.Refresh();
  Bomb_Refresh();
  Module1.RiseCountdown -= 1;
  if (Module1.RiseCountdown <= 0) {
    Block_Up();
    Module1.RiseCountdown = 60 - 2 * Module1.Level;
  }
}

}  // namespace tarnix
