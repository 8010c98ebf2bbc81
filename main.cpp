#include <QApplication>

#include "playfield/form1.h"
#include "shell/command_line.h"
#include "shell/shell.h"
#include "shell/signals.h"

int main(int argc, char* argv[]) {
  QStringList args;
  for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  if (const std::optional<int> status = tarnix::CommandLine_Parse(args)) return *status;
  if (!tarnix::Display_Named()) {
    tarnix::Display_Report();
    return 1;
  }
  // Whole-number scaling keeps every game pixel an even block on a high-DPI desktop.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
      Qt::HighDpiScaleFactorRoundingPolicy::Round);
  tarnix::Signals_Install();
  tarnix::Display_GuardBegin();
  QApplication app(argc, argv);
  tarnix::Display_GuardEnd();
  QGuiApplication::setDesktopFileName(QStringLiteral("org.tarnix.Tarnix"));  // the launcher's icon
  tarnix::Signals_Install();
  tarnix::Form1Window form;
  tarnix::Form_Load();
  return 0;
}
