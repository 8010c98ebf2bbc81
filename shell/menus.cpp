#include "window/form1.h"
#include "replay/replay.h"
#include "files/options.h"
#include "shell/shell.h"

namespace tarnix {

namespace {

void Wait_Select(MenuItem& chosen, Long waitMs) {
  const Long item = waitMs / 25;
  if (Replay_BeforeDoor(ReplayDoor::kWaitMenu, item)) return;
  for (MenuItem* item : {&Form1->mnuO4, &Form1->mnuO5, &Form1->mnuO6, &Form1->mnuO7}) {
    item->SetChecked(item == &chosen);
  }
  Module1.WaitMs = waitMs;
  Replay_AfterDoor(ReplayDoor::kWaitMenu, item);
}

// Choosing a size means a window of that size, so it leaves full screen.
void Scale_Select(int n) {
  Options().Scale = n;
  if (Form1->FullScreen()) {
    Options().FullScreen = false;
    Form1->SetWindowScale(n);
    Form1->SetFullScreen(false);
  } else {
    Form1->SetWindowScale(n);
  }
}

}  // namespace

void mnuG0_Click() { Form1->mnuG1.SetEnabled(Module1.GamePhase != kNameEntry); }

void mnuG1_Click() {
  if (Replay_BeforeDoor(ReplayDoor::kTitleMenu, 0)) return;
  for (PictureBox& bomb : Form1->Picture3) bomb.SetVisible(false);
  Form1->Picture6.SetVisible(false);
  Form1->Picture8.SetVisible(false);
  Form1->Label2[0].SetVisible(false);
  Form1->Label2[1].SetVisible(false);
  Module1.GamePhase = kTitle;
  Module1.MenuCursor = 0;
  Title_Draw(204);
  Replay_AfterDoor(ReplayDoor::kTitleMenu, 0);
}

void mnuG3_Click() { Form1->Unload(); }

void mnuO1_Click() { Form1->mnuO1.SetChecked(!Form1->mnuO1.Checked()); }

void mnuO4_Click() { Wait_Select(Form1->mnuO4, 0); }
void mnuO5_Click() { Wait_Select(Form1->mnuO5, 25); }
void mnuO6_Click() { Wait_Select(Form1->mnuO6, 50); }
void mnuO7_Click() { Wait_Select(Form1->mnuO7, 75); }

}  // namespace tarnix

namespace tarnix {

void mnuPauseInactive_Click() {
  Options().PauseWhenInactive = !Options().PauseWhenInactive;
  Form1->mnuPauseInactive.SetChecked(Options().PauseWhenInactive);
}

void mnuScale1_Click() { Scale_Select(1); }
void mnuScale2_Click() { Scale_Select(2); }
void mnuScale3_Click() { Scale_Select(3); }
void mnuScale4_Click() { Scale_Select(4); }

void mnuFullScreen_Click() {
  Options().FullScreen = !Form1->FullScreen();
  Form1->SetFullScreen(Options().FullScreen);
}

}  // namespace tarnix
