// The handlers behind the doors. Every call, from whatever source, passes the one tap below:
// the replay hears it before the rules run (a watcher's key belongs to the watcher, not to the
// game on screen) and after (what changed is recorded with its pass).
#include <QCoreApplication>

#include "core/doors.h"
#include "core/keys.h"
#include "files/files.h"
#include "files/options.h"
#include "input/pad.h"
#include "playfield/playfield.h"
#include "replay/replay.h"
#include "scores/scores.h"
#include "shell/shell.h"
#include "window/form1.h"

namespace tarnix {

namespace {

template <class Body>
void Door_Tap(ReplayDoor door, Long code, Body&& body) {
  if (Replay_BeforeDoor(door, code)) return;
  body();
  Replay_AfterDoor(door, code);
}

void Wait_Door(int item) {
  Door_Tap(ReplayDoor::kWaitMenu, item, [item] { Wait_Choose(item); });
}

// Choosing a size means a window of that size, so it leaves full screen.
void Scale_Select(int n) {
  Door_Tap(ReplayDoor::kWindow, n, [n] {
    Options().Scale = n;
    if (Form1->FullScreen()) {
      Options().FullScreen = false;
      Form1->SetWindowScale(n);
      Form1->SetFullScreen(false);
    } else {
      Form1->SetWindowScale(n);
    }
  });
}

}  // namespace

void Main_Prog() {
  Door_Tap(ReplayDoor::kPass, 0, [] {
    if (Module1.GamePhase == kPlaying) Main_Pass();
  });
}

void Picture1_KeyDown(Long KeyCode, Long /*Shift*/) {
  Door_Tap(ReplayDoor::kKeyDown, KeyCode, [KeyCode] { Canvas_KeyDown(KeyCode); });
}

void Picture1_KeyUp(Long KeyCode, Long /*Shift*/) {
  Door_Tap(ReplayDoor::kKeyUp, KeyCode, [KeyCode] { Canvas_KeyUp(KeyCode); });
}

void Picture1_LostFocus() {
  Door_Tap(ReplayDoor::kWindow, 0, [] {
    DoEvents();
    if (Module1.GamePhase != kNameEntry) Form1->Picture1.SetFocus();
  });
}

void Text1_KeyDown(Long KeyCode, Long /*Shift*/) {
  Door_Tap(ReplayDoor::kNameBox, KeyCode, [KeyCode] {
    if (KeyCode == kEnter) Name_Enter();
  });
}

void mnuG0_Click() {
  Door_Tap(ReplayDoor::kWindow, 0,
           [] { Form1->mnuG1.SetEnabled(Module1.GamePhase != kNameEntry); });
}

void mnuG1_Click() { Door_Tap(ReplayDoor::kTitleMenu, 0, Title_FromMenu); }

void mnuG3_Click() { Door_Tap(ReplayDoor::kWindow, 0, [] { Form1->Unload(); }); }

void mnuO1_Click() {
  Door_Tap(ReplayDoor::kWindow, 0, [] { Form1->mnuO1.SetChecked(!Form1->mnuO1.Checked()); });
}

void mnuO4_Click() { Wait_Door(0); }
void mnuO5_Click() { Wait_Door(1); }
void mnuO6_Click() { Wait_Door(2); }
void mnuO7_Click() { Wait_Door(3); }

void mnuH1_Click() { Door_Tap(ReplayDoor::kWindow, 0, Readme_Open); }

void mnuPauseInactive_Click() {
  Door_Tap(ReplayDoor::kWindow, 0, [] {
    Options().PauseWhenInactive = !Options().PauseWhenInactive;
    Form1->mnuPauseInactive.SetChecked(Options().PauseWhenInactive);
  });
}

void mnuScale1_Click() { Scale_Select(1); }
void mnuScale2_Click() { Scale_Select(2); }
void mnuScale3_Click() { Scale_Select(3); }
void mnuScale4_Click() { Scale_Select(4); }

void mnuFullScreen_Click() {
  Door_Tap(ReplayDoor::kWindow, 0, [] {
    Options().FullScreen = !Form1->FullScreen();
    Form1->SetFullScreen(Options().FullScreen);
  });
}

void mnuDemo_Click() {
  Door_Tap(ReplayDoor::kWindow, 0, [] {
    Options().Demo = !Options().Demo;
    Form1->mnuDemo.SetChecked(Options().Demo);
  });
}

void mnuRumble_Click() {
  Door_Tap(ReplayDoor::kWindow, 0, [] {
    Options().Rumble = !Options().Rumble;
    Form1->mnuRumble.SetChecked(Options().Rumble);
  });
}

void mnuBombMarks_Click() {
  Door_Tap(ReplayDoor::kWindow, 0, [] {
    Options().BombMarks = !Options().BombMarks;
    Form1->mnuBombMarks.SetChecked(Options().BombMarks);
    BombMarks_Apply(Options().BombMarks);
  });
}

void mnuGentleFlashes_Click() {
  Door_Tap(ReplayDoor::kWindow, 0, [] {
    Options().GentleFlashes = !Options().GentleFlashes;
    Form1->mnuGentleFlashes.SetChecked(Options().GentleFlashes);
  });
}

}  // namespace tarnix
