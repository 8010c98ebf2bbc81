#include "files/files.h"
#include "playfield/form1.h"
#include "shell/shell.h"

namespace tarnix {

// Stand-in until the settings file is read and written: the defaults every time.
void Settings_Load() {
  Form1->mnuO1.SetChecked(true);
  mnuO6_Click();
  for (HiScoreEntry& entry : Module1.HiScore) entry = HiScoreEntry{"", 0, "0"};
}

bool Settings_Save() { return true; }

}  // namespace tarnix
