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

// The program's arguments as text, every byte kept: a file name that is not UTF-8 (a folder
// named in Shift_JIS) comes back whole through CommandLine_Bytes.
QStringList CommandLine_Arguments(int argc, char** argv);
// An argument's bytes, as the program was given them.
std::string CommandLine_Bytes(const QString& arg);

}  // namespace tarnix

namespace tarnix {

// Whether the environment or Qt's own options name a display the platform plugin could use:
// DISPLAY, -display or WAYLAND_DISPLAY, or a platform (QT_QPA_PLATFORM, -platform) that
// needs none (offscreen, a frame buffer).
bool Display_Named();
// Prints the one line saying the game found no usable display, in the run's language.
void Display_Report();
// Between these two, Qt's messages are held back, and a platform plugin that cannot start
// ends the program with that line and status 1 instead of an abort.
void Display_GuardBegin();
void Display_GuardEnd();

}  // namespace tarnix
