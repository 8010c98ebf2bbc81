// This run's command line.
#pragma once

#include <optional>
#include <string>

#include <QStringList>

namespace tarnix {

struct CommandLine {
  bool FullScreen = false;
  bool Windowed = false;
  int Scale = 0;        // 1..4 for this run, 0 for the remembered size
  std::string Lang;     // "ja", "en", or empty for the desktop's language
  std::string Replay;   // a replay file to play
  std::string Verify;   // a replay file to verify without a window
};

CommandLine& RunOptions();

// Parses `args` (the program's name first) into RunOptions(), and puts the run's language in
// force (--lang, or the desktop's) so that the help and the errors speak it. Returns the exit
// status when the program must end without opening a window (after --help, --version, or a
// bad option, whose message it has printed), nothing when the game should run.
std::optional<int> CommandLine_Parse(const QStringList& args);

}  // namespace tarnix
