#include <QCoreApplication>

#include "files/files.h"
#include "input/pad.h"
#include "window/form1.h"
#include "playfield/playfield.h"
#include "core/keys.h"
#include "replay/replay.h"
#include "shell/shell.h"

namespace tarnix {

namespace {

constexpr Long kStartItemY = 204;
constexpr Long kScoreItemY = 236;

// Position (1..6) of a game key in KeyFlags, 0 for any other key.
int FlagPosition(Long keyCode) {
  switch (keyCode) {
    case 37: return 1;  // Left
    case 38: return 2;  // Up
    case 39: return 3;  // Right
    case 40: return 4;  // Down
    case 90: return 5;  // Z
    case 88: return 6;  // X
    default: return 0;
  }
}

void SetFlag(int position, char value) {
  if (Module1.KeyFlags.size() >= static_cast<std::size_t>(position)) {
    Module1.KeyFlags[static_cast<std::size_t>(position - 1)] = value;
  }
}

void Message_Hide() {
  Form1->Label2[0].SetVisible(false);
  Form1->Label2[1].SetVisible(false);
}

void Title_Return() {
  Module1.GamePhase = kTitle;
  Module1.MenuCursor = 0;
  Title_Draw(kStartItemY);
}

void KeyDown_Title(Long keyCode) {
  if (keyCode == kEnter) {
    Sound("select");
    if (Module1.MenuCursor == 0) {
      Form1->Picture1.Cls();
      Game_Start();
      Module1.GamePhase = kPlaying;
    } else if (Module1.MenuCursor == 1) {
      Score_Refresh();
      Form1->Picture8.SetVisible(true);
      Module1.GamePhase = kScoreView;
      const std::string next =
          QCoreApplication::translate("Messages", "Push Enter Key").toStdString();
      Form1->Label3[15].SetCaption(next);
      Form1->Label4[15].SetCaption(next);
    }
  } else if (keyCode == kUp) {
    if (Module1.MenuCursor == 1) Sound("cursor");
    Module1.MenuCursor = 0;
    Title_Draw(kStartItemY);
  } else if (keyCode == kDown) {
    if (Module1.MenuCursor == 0) Sound("cursor");
    Module1.MenuCursor = 1;
    Title_Draw(kScoreItemY);
  }
}

// The handler's body, behind the replay's door.
void KeyDown_Phase(Long KeyCode);

}  // namespace

void Title_Draw(Long cursorY) {
  PictureBox& canvas = Form1->Picture1;
  canvas.PaintPicture(Form1->Picture5[5].Picture(), 0, 0);
  Figure_Paint(canvas, 72, cursorY, 218, 0);
  Pad_DrawTitleLine();
}

void Picture1_KeyDown(Long KeyCode, Long /*Shift*/) {
  if (Replay_BeforeDoor(ReplayDoor::kKeyDown, KeyCode)) return;
  KeyDown_Phase(KeyCode);
  Replay_AfterDoor(ReplayDoor::kKeyDown, KeyCode);
}

namespace {

void KeyDown_Phase(Long KeyCode) {
  switch (Module1.GamePhase) {
    case kTitle: KeyDown_Title(KeyCode); break;
    case kScoreView:
      if (KeyCode == kEnter) {
        Sound("select");
        Form1->Picture8.SetVisible(false);
        Form1->Picture2.SetVisible(true);
        Form1->Picture6.SetVisible(false);
        Message_Hide();
        Title_Return();
      }
      break;
    case kPlaying:
      if (KeyCode == kEnter) {
        Sound("select");
        for (Label& label : Form1->Label2) {
          label.SetCaption("Pause");
          label.SetVisible(true);
        }
        Module1.GamePhase = kPaused;
      } else if (KeyCode == kSpace) {
        Module1.RiseCountdown = 1;
      } else if (const int position = FlagPosition(KeyCode)) {
        SetFlag(position, '1');
      }
      break;
    case kPaused:
      if (KeyCode == kEnter) {
        Sound("select");
        Module1.KeyFlags = "000000";
        Message_Hide();
        Module1.GamePhase = kPlaying;
      }
      break;
    case kGameOverView:
      if (KeyCode == kEnter) {
        Sound("select");
        Form1->Picture2.SetVisible(true);
        Form1->Picture6.SetVisible(false);
        Message_Hide();
        Title_Return();
      }
      break;
    default: break;
  }
}

}  // namespace

void Picture1_KeyUp(Long KeyCode, Long /*Shift*/) {
  if (Replay_BeforeDoor(ReplayDoor::kKeyUp, KeyCode)) return;
  if (Module1.GamePhase == kPlaying) {
    if (const int position = FlagPosition(KeyCode)) SetFlag(position, '0');
  }
  Replay_AfterDoor(ReplayDoor::kKeyUp, KeyCode);
}

void Picture1_LostFocus() {
  DoEvents();
  if (Module1.GamePhase != kNameEntry) Form1->Picture1.SetFocus();
}

}  // namespace tarnix
