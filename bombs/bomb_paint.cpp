#include "bombs/bombs.h"
#include "window/form1.h"
#include "core/platform.h"

namespace tarnix {

void Bomb_Paint(Long index) {
  BombRecord& bomb = Module1.Bombs[index];
  if (bomb.X < 0) bomb.X = 0;
  if (bomb.X > 252) bomb.X = 252;
  PictureBox& sprite = Form1->Picture3[index];
  sprite.Move(bomb.X, bomb.Y);
  const QImage& sheet = Form1->Picture4.Picture();
  switch (bomb.State) {
    case kBombFree:
    case kBombHeld:
    case kBombDetonating: sprite.SetVisible(false); break;
    case kBombFlying: {
      // A fresh spark corner every update makes the fuse flicker.
      const Long frame = RndInt(4);
      sprite.SetVisible(true);
      sprite.PaintPicture(sheet, 0, 0, 12, 12, 48 * bomb.Kind + 12 * frame, 72, 12, 12);
      break;
    }
    case kBombResting:
      sprite.PaintPicture(sheet, 0, 0, 12, 12, 48 * bomb.Kind, 72, 12, 12);
      break;
    default: break;
  }
}

}  // namespace tarnix
