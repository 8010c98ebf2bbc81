// What a key on the canvas means in each phase, the title, and the Game menu's way back to it.
#include <QCoreApplication>

#include "core/hooks.h"
#include "core/keys.h"
#include "files/files.h"
#include "playfield/playfield.h"
#include "window/form1.h"

namespace tarnix {

namespace {

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
  Title_Draw(kTitleStartY);
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
    Title_Draw(kTitleStartY);
  } else if (keyCode == kDown) {
    if (Module1.MenuCursor == 0) Sound("cursor");
    Module1.MenuCursor = 1;
    Title_Draw(kTitleScoresY);
  }
}

}  // namespace

void Title_Draw(Long cursorY) {
  PictureBox& canvas = Form1->Picture1;
  canvas.PaintPicture(Form1->Picture5[5].Picture(), 0, 0);
  Figure_Paint(canvas, 72, cursorY, 218, 0);
  if (Hook().TitleFooter) Hook().TitleFooter();
}

void Canvas_KeyDown(Long KeyCode) {
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

void Canvas_KeyUp(Long KeyCode) {
  if (Module1.GamePhase == kPlaying) {
    if (const int position = FlagPosition(KeyCode)) SetFlag(position, '0');
  }
}

void Title_FromMenu() {
  for (PictureBox& bomb : Form1->Picture3) bomb.SetVisible(false);
  Form1->Picture6.SetVisible(false);
  Form1->Picture8.SetVisible(false);
  Message_Hide();
  Module1.GamePhase = kTitle;
  Module1.MenuCursor = 0;
  Title_Draw(kTitleStartY);
}

void Wait_Choose(int item) {
  static constexpr Long kWaitMs[] = {0, 25, 50, 75};
  MenuItem* items[] = {&Form1->mnuO4, &Form1->mnuO5, &Form1->mnuO6, &Form1->mnuO7};
  for (int i = 0; i < 4; ++i) items[i]->SetChecked(i == item);
  Module1.WaitMs = kWaitMs[item];
}

}  // namespace tarnix
