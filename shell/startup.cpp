#include <malloc.h>

#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#ifndef QT_NO_SESSIONMANAGER
#include <QSessionManager>
#endif

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "core/hooks.h"
#include "core/keys.h"
#include "core/platform.h"
#include "core/run_options.h"
#include "files/files.h"
#include "files/language.h"
#include "files/options.h"
#include "input/bindings.h"
#include "input/input.h"
#include "input/keyboard.h"
#include "input/pad.h"
#include "window/flashes.h"
#include "playfield/playfield.h"
#include "replay/library.h"
#include "replay/replay.h"
#include "replay/stats.h"
#include "replay/theatre.h"
#include "shell/command_line.h"
#include "shell/shell.h"
#include "shell/signals.h"
#include "window/form1.h"

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
  if (!p.events) p.events = &RealEvents();
}

// The executable's folder as bytes: Qt's own answer goes through UTF-8 and comes back empty
// for a folder whose name is not UTF-8.
std::string Executable_Folder() {
  char path[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
  if (length > 0 && length < static_cast<ssize_t>(sizeof path)) {
    const std::string exe(path, static_cast<std::size_t>(length));
    const std::size_t slash = exe.rfind('/');
    if (slash != std::string::npos) return exe.substr(0, slash + 1);
  }
  return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
}

// Saves the game ends with without its window's closing: the platform plugin's exit() when
// the display is gone, the desktop's session ending. Installed once the game runs.
void Form_InstallExitSaves() {
  // A write to a dead display connection must fail, so that Qt notices and exits, rather
  // than kill the game before it can save. A handler, unlike SIG_IGN, is not inherited by the
  // programs the game starts.
  struct sigaction pipe {};
  pipe.sa_handler = [](int) {};
  sigemptyset(&pipe.sa_mask);
  ::sigaction(SIGPIPE, &pipe, nullptr);
  // Registered after start-up, so it runs before the destructors of what the save uses.
  std::atexit(Form_SaveBeforeExit);
#ifndef QT_NO_SESSIONMANAGER
  auto save = [](QSessionManager&) {
    if (Form1 == nullptr || Form1->Unloaded()) return;
    Settings_SaveSilently();
    Options_Save();
  };
  QObject::connect(qApp, &QGuiApplication::commitDataRequest, save);
  QObject::connect(qApp, &QGuiApplication::saveStateRequest, save);
#endif
}

}  // namespace

void Main_BeforeApplication() {
  // A frame here is a few small rectangles. Through shared memory each one costs a
  // completion event from the X server, which wakes Qt's event thread and then the game's:
  // two wake-ups a frame for nothing. Through the socket they cost none. A player may
  // still choose otherwise by setting the variable.
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
}

void Port_Reset() {
  Replay_Reset();
  Input_Reset();
  Main_ClearPollers();
  Bindings_Reset();
  Options_Reset();
  Flashes_Reset();
  RunOptions() = CommandLine{};
  Hook().TitleFooter = nullptr;
  Hook().ChainGeneration = nullptr;
  Hook().Watching = nullptr;
  Theatre_SetExporter(nullptr);
  World_Stop();
}

void Form_HandDown() {
  Hooks& hooks = Hook();
  hooks.TitleFooter = Pad_DrawTitleLine;
  hooks.Watching = Replay_IsPlaying;
  hooks.ChainGeneration = [](Long generation) {
    Stats_ChainGeneration(generation);
    Pad_Rumble(generation);
  };
  if (Form1 != nullptr) Keyboard_Install(*Form1);
}

void Form_LoadSteps(const std::string& folder) {
  Form_HandDown();
  Platform_FillReal();
  Platform().random->Randomize(
      static_cast<std::uint64_t>(QDateTime::currentMSecsSinceEpoch()));
  std::string path = folder.empty() ? Executable_Folder() : folder;
  if (path.empty() || path.back() != '/') path += '/';
  Module1.AppPath = path;
  Settings_Load();
  ReplayLibrary_Hold();
  Options_Load();
  Bindings_FromOptions();
  World_Start();
  // A language chosen on the settings screen; the command line's still wins.
  const QString language = QString::fromStdString(Options().Language);
  if (RunOptions().Lang.empty() && Language_Available().contains(language)) {
    Language_Install(language);
  }
  Form1->mnuPauseInactive.SetChecked(Options().PauseWhenInactive);
  Form1->mnuRumble.SetChecked(Options().Rumble);
  Form1->mnuDemo.SetChecked(Options().Demo);
  Form1->mnuBombMarks.SetChecked(Options().BombMarks);
  Form1->mnuGentleFlashes.SetChecked(Options().GentleFlashes);
  BombMarks_Apply(Options().BombMarks);
  Form1->ApplyStartOptions();
  Sound_CheckFiles();
  Module1.GamePhase = kTitle;
  Module1.MenuCursor = 0;
  Form1->Picture6.SetVisible(false);
  Title_Draw(kTitleStartY);
  Form1->show();
  Form1->Picture1.SetFocus();
  Form1->MarkLoaded();
  DoEvents();
  // Asked to close while a start-up message was open: close now, as the quit item would.
  if (Quit_Pending()) Quit_FromOutside();
}

void Form_AfterFirstFrame() {
  Pad_Start();
  // What start-up parsed and built and has let go of (the font configuration above all)
  // goes back to the system rather than waiting in the allocator for a reuse that never
  // comes.
  malloc_trim(0);
}

void Form_Load() {
  Form_LoadSteps();
  Form_InstallExitSaves();
  Form_AfterFirstFrame();
  if (!RunOptions().Replay.empty()) Replay_WatchFile(RunOptions().Replay);
  Main_Loop();
  Pad_Stop();
  World_Stop();
}

void Form_Unload(Long& /*Cancel*/) {
  // Marked first: an exit during this save's message must not save a second time.
  Form1->MarkUnloaded();
  Replay_Unload();
  const bool saved = Settings_Save();
  // The player has just been told when the folder takes no writes; the port's own options
  // are not worth a second message, at this closing or any later one.
  if (!Options_Save() && saved) {
    const char* const text =
        QT_TRANSLATE_NOOP("Messages", "オプションのファイル tarnix.conf を %1 に書き込めませんでした。");
    const QString line = QCoreApplication::translate("Messages", text);
    std::fprintf(stderr, "tarnix: %s\n",
                 line.arg(QFile::decodeName(QByteArray::fromStdString(Settings_Folder())))
                     .toLocal8Bit()
                     .constData());
  }
}

void Form_SaveBeforeExit() {
  // Runs inside exit(): the window still exists, but nothing may be shown any more.
  if (Form1 == nullptr || Form1->Unloaded()) return;
  Form1->MarkUnloaded();
  Replay_Unload(/*quietly=*/true);
  Settings_SaveSilently();
  Options_Save();
}

}  // namespace tarnix
