// The port's own options: what the original did not have. They live in "tarnix.conf"
// beside "Tarnix.ini", so that the original's file never changes.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "files/files.h"

namespace tarnix {

struct PortOptions {
  bool PauseWhenInactive = true;  // [Window] PauseWhenInactive
  int Scale = 0;                  // [Window] Scale: 1..4, 0 until the first start chooses one
  bool FullScreen = false;        // [Window] FullScreen
  bool Rumble = true;             // [Pad] Rumble
  bool Demo = true;               // [Title] Demo: a replay plays after 30 s on the title
  bool BombMarks = true;          // [View] BombMarks: red and blue bombs told apart by shape
  bool GentleFlashes = false;     // [View] GentleFlashes: fewer, softer explosion flashes
  std::string Language;           // [View] Language: "ja", "en"...; empty for the desktop's
  // [World] Address: the world table's http(s) address; empty, nothing is ever sent.
  std::string WorldTable;
  // [Keys] and [PadButtons]: the player's bindings as the input layer writes them, by
  // "Keys/WalkLeft" and the like; empty for the defaults.
  std::map<std::string, std::string> Bindings;
};

PortOptions& Options();
inline void Options_Reset() { Options() = PortOptions{}; }

// A world table's address as the player typed it, made whole: "http://" when no scheme is
// given. Empty stays empty (no world table); nothing when it is no http(s) address of a host.
std::optional<std::string> Options_WorldAddress(const std::string& typed);

// Reads tarnix.conf from `folder` (ending in "/"; the settings folder unless told); a missing,
// unreadable or garbled file, or a value out of range, leaves the default, silently. A file
// that is no regular file is refused with a line on the standard error.
void Options_Load(const std::string& folder = Settings_Folder());
// Writes tarnix.conf into `folder` through the game's one writer; false when it could not be
// written. Keys this version does not know are kept as they were.
bool Options_Save(const std::string& folder = Settings_Folder());

}  // namespace tarnix
