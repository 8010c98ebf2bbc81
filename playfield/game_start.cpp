#include "window/form1.h"
#include "playfield/playfield.h"
#include "core/platform.h"

namespace tarnix {

void Game_Start() {
  Form1Window& f = *Form1;
  Module1.KeyFlags = "000000";
  Module1.ActionState = kIdle;

  f.Picture6.SetVisible(true);
  f.Picture6.SetPicture(f.Picture5[3].Picture());
  f.Picture2.SetLeft(-24);
  f.Picture2.SetTop(32);
  f.Picture2.SetVisible(true);

  for (int i = 0; i < kBombSlots; ++i) {
    Module1.Bombs[i] = BombRecord{};
    f.Picture3[i].SetVisible(false);
  }
  for (GiftRecord& gift : Module1.Gifts) gift = GiftRecord{};

  f.Picture1.Cls();
  f.Picture1.Refresh();

  Module1.RedStock = 30;
  Module1.BlueStock = 30;
  Module1.Score = 0;
  Module1.Level = 1;
  Module1.RiseCountdown = 80;
  Module1.RowsToLevel = 20;
  States_Refresh();

  Module1.Board.clear();
  for (int r = 0; r < 14; ++r) Module1.Board = "00000000000000000" + Module1.Board;

  for (int i = 0; i < 3; ++i) Block_Up();

  // The entrance: four right-facing walking frames, six times over.
  for (int cycle = 0; cycle < 6; ++cycle) {
    for (int frame = 0; frame < 4; ++frame) {
      f.Picture2.Cls();
      Figure_Paint(f.Picture2, 0, 0, 24 * frame, 0);
      f.Picture2.SetLeft(f.Picture2.Left() + 6);
      f.Picture6.Refresh();
      WaitMsFromNow(Module1.WaitMs);
    }
  }
}

}  // namespace tarnix
