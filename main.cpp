#include <QApplication>
#include <QLocale>

#include "window/form1.h"
#include "replay/replay.h"
#include "shell/command_line.h"
#include "files/language.h"
#include "shell/shell.h"
#include "shell/signals.h"

int main(int argc, char* argv[]) {
  QStringList args;
  for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  {
    // --help and the command line's errors speak the player's language too, and need no
    // display: an application object without windows carries the catalogs meanwhile.
    QCoreApplication commandLine(argc, argv);
    if (const std::optional<int> status = tarnix::CommandLine_Parse(args)) return *status;
  }
  const std::string verify = tarnix::RunOptions().Verify;
  const std::string stats = tarnix::RunOptions().Stats;
  // The rules read the canvas, so verifying needs the controls, but never a screen.
  if (!verify.empty() || !stats.empty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (!tarnix::Display_Named()) {
    tarnix::Display_Report();
    return 1;
  }
  // Whole-number scaling keeps every game pixel an even block on a high-DPI desktop.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
      Qt::HighDpiScaleFactorRoundingPolicy::Round);
  tarnix::Signals_Install();
  tarnix::Display_GuardBegin();
  tarnix::Main_BeforeApplication();
  QApplication app(argc, argv);
  tarnix::Display_GuardEnd();
  if (!verify.empty()) return tarnix::Replay_VerifyMain(verify);
  if (!stats.empty()) {
    tarnix::Language_Install(
        tarnix::Language_Choose(QLocale::system().uiLanguages(), tarnix::RunOptions().Lang));
    return tarnix::Replay_StatsMain(stats, tarnix::RunOptions().Json);
  }
  QGuiApplication::setDesktopFileName(QStringLiteral("org.tarnix.Tarnix"));  // the launcher's icon
  tarnix::Signals_Install();
  tarnix::Language_Install(
      tarnix::Language_Choose(QLocale::system().uiLanguages(), tarnix::RunOptions().Lang));
  tarnix::Form1Window form;
  tarnix::Form_Load();
  return 0;
}
