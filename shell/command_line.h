// This run's command line.
#pragma once

#include <optional>
#include <string>

#include <QStringList>

#include "core/run_options.h"

namespace tarnix {

// Parses `args` (the program's name first) into RunOptions(), and puts the run's language in
// force (--lang, or the desktop's) so that the help and the errors speak it. Returns the exit
// status when the program must end without opening a window (after --help, --version, or a
// bad option, whose message it has printed), nothing when the game should run.
std::optional<int> CommandLine_Parse(const QStringList& args);

}  // namespace tarnix

namespace tarnix {

// Whether the environment names a display the platform plugin could use: DISPLAY or
// WAYLAND_DISPLAY, or a QT_QPA_PLATFORM that needs none (offscreen, a frame buffer).
bool Display_Named();
// Prints the one line saying the game found no usable display.
void Display_Report();
// Between these two, Qt's messages are held back, and a platform plugin that cannot start
// ends the program with that line and status 1 instead of an abort.
void Display_GuardBegin();
void Display_GuardEnd();

}  // namespace tarnix
