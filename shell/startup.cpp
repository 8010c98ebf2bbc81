#include <QCoreApplication>
#include <QDateTime>

#include "files/files.h"
#include "playfield/form1.h"
#include "shell/options.h"
#include "shell/platform.h"
#include "shell/shell.h"

namespace tarnix {

namespace {

// Seams a test has not replaced are the machine's own.
void Platform_FillReal() {
  PlatformSeams& p = Platform();
  if (!p.clock) p.clock = &RealClock();
  if (!p.random) p.random = &RealRandom();
  if (!p.messages) p.messages = &RealMessageBoxes();
  if (!p.launcher) p.launcher = &RealLauncher();
  if (!p.sound) p.sound = &RealSound();
}

}  // namespace

void Form_LoadSteps(const std::string& folder) {
  Platform_FillReal();
  Platform().random->Randomize(
      static_cast<std::uint64_t>(QDateTime::currentMSecsSinceEpoch()));
  std::string path =
      folder.empty() ? QCoreApplication::applicationDirPath().toStdString() : folder;
  if (path.empty() || path.back() != '/') path += '/';
  Module1.AppPath = path;
  Settings_Load();
  Options_Load();
  Sound_CheckFiles();
  Module1.GamePhase = kTitle;
  Module1.MenuCursor = 0;
  Form1->Picture6.SetVisible(false);
  Title_Draw(204);
  Form1->show();
  Form1->Picture1.SetFocus();
  DoEvents();
}

void Form_Load() {
  Form_LoadSteps();
  Main_Loop();
}

void Form_Unload(Long& /*Cancel*/) {
  Settings_Save();
  Options_Save();
  Form1->MarkUnloaded();
}

}  // namespace tarnix
