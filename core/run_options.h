// What this run's command line asked for: read by the window's start and by start-up, parsed
// by the shell.
#pragma once

#include <string>

namespace tarnix {

struct CommandLine {
  bool FullScreen = false;
  bool Windowed = false;
  int Scale = 0;        // 1..4 for this run, 0 for the remembered size
  std::string Lang;     // "ja", "en", or empty for the desktop's language
  std::string Replay;   // a replay file to play
  std::string Verify;   // a replay file to verify without a window
  std::string Stats;    // a replay file whose figures are printed
  bool Json = false;    // ... as JSON
  std::string Export;        // the video to write of ...
  std::string ExportReplay;  // ... this replay file, without a window
  bool Mute = false;         // ... without its sound
  std::string WorldTable;  // the world table's address for this run, over tarnix.conf's
};

inline CommandLine& RunOptions() {
  static CommandLine line;
  return line;
}

}  // namespace tarnix
