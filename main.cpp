#include <QApplication>
#include <QLocale>

#include "window/form1.h"
#include "replay/export.h"
#include "replay/replay.h"
#include "replay/theatre.h"
#include "shell/command_line.h"
#include "files/language.h"
#include "shell/shell.h"
#include "shell/signals.h"

int main(int argc, char* argv[]) {
  const QStringList args = tarnix::CommandLine_Arguments(argc, argv);
  {
    // --help and the command line's errors speak the player's language too, and need no
    // display: an application object without windows carries the catalogs meanwhile.
    QCoreApplication commandLine(argc, argv);
    if (const std::optional<int> status = tarnix::CommandLine_Parse(args)) return *status;
  }
  const std::string verify = tarnix::RunOptions().Verify;
  const std::string stats = tarnix::RunOptions().Stats;
  const std::string video = tarnix::RunOptions().Export;
  const bool headless = !verify.empty() || !stats.empty() || !video.empty();
  // The rules read the canvas, so verifying needs the controls, but never a screen: Qt's own
  // options, which name one, are not passed on.
  int qtArgc = argc;
  if (headless) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qtArgc = 1;
  } else if (!tarnix::Display_Named()) {
    tarnix::Display_Report();
    return 1;
  }
  // Whole-number scaling keeps every game pixel an even block on a high-DPI desktop.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
      Qt::HighDpiScaleFactorRoundingPolicy::Round);
  // A verification is a command like any other: Ctrl+C and SIGTERM end it where it stands.
  if (!headless) {
    tarnix::Signals_Install();
  } else {
    tarnix::Signals_EndAtOnce();
  }
  tarnix::Display_GuardBegin();
  tarnix::Main_BeforeApplication();
  QApplication app(qtArgc, argv);
  tarnix::Display_GuardEnd();
  tarnix::Language_Install(
      tarnix::Language_Choose(QLocale::system().uiLanguages(), tarnix::RunOptions().Lang));
  if (!verify.empty()) return tarnix::Replay_VerifyMain(verify);
  if (!stats.empty()) return tarnix::Replay_StatsMain(stats, tarnix::RunOptions().Json);
  if (!video.empty()) {
    const tarnix::CommandLine& line = tarnix::RunOptions();
    return tarnix::Replay_ExportMain(line.ExportReplay, video,
                                     line.Scale > 0 ? line.Scale : tarnix::kExportScale, line.Mute);
  }
  QGuiApplication::setDesktopFileName(QStringLiteral("org.tarnix.Tarnix"));  // the launcher's icon
  tarnix::Signals_Install();
  tarnix::Form1Window form;
  // The theatre's E makes a video; the rules' library links no video library by itself.
  // The game's own executable makes it in a process of its own, so the game never waits:
  // named through /proc, which reaches it whatever bytes its folder's name holds.
  tarnix::Theatre_SetExporter([](const tarnix::ReplayRecord& record) {
    return tarnix::Export_Apart(record, "/proc/self/exe");
  });
  tarnix::Form_Load();
  return 0;
}
