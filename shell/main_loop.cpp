// The main loop: the wait, the passes, the window's events.
#include <QCoreApplication>

#include "core/platform.h"
#include "replay/replay.h"
#include "shell/shell.h"
#include "window/form1.h"

namespace tarnix {

void DoEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void Main_LoopTurn() {
  // Outside play, and under an open menu, a pass changes nothing: the loop sleeps until
  // something happens instead of turning on the clock. Play keeps the clock's pace.
  if (Main_Idle()) Main_IdleWait();
  Platform().clock->WaitPast(GetTickCount(), Module1.WaitMs);
  Main_RunPollers();
  if (Form1->MenusOpen() == 0) {
    for (int n = Replay_PassesThisTurn(); n > 0; --n) Main_Prog();
  }
  DoEvents();
}

void Main_Loop() {
  while (Form1 != nullptr && !Form1->Unloaded()) Main_LoopTurn();
}

}  // namespace tarnix
