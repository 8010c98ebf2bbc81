// The settings and score file, the sound effects, the readme viewer.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "core/module1.h"

namespace tarnix {

// Put beside the executable by an install: a folder holding it is an installed game's.
inline constexpr char kInstalledMarker[] = "installed";

// The folder (ending in "/", bytes as the file system has them) where the game keeps
// "Tarnix.ini"; the port's own files live there too: for an installed game always the per-user folder
// $XDG_CONFIG_HOME/tarnix/; otherwise AppPath, as the original did, unless AppPath takes no
// writes.
std::string Settings_Folder();
// The same folder as a UTF-8 path, for Qt's file classes: where the folder's name is not
// UTF-8 (a QString cannot hold it), a path that reaches it through an open descriptor.
std::string Settings_FolderUtf8();

// Reads "Tarnix.ini" (any letter case) from the settings folder: the sound tick, the wait
// (through its handler) and the table; the defaults, with a message, where the file is
// broken or cannot be read, silently where it is missing. An installed game first moves a
// table an older version left beside the executable into its folder.
void Settings_Load();
// Writes the file to the same place; false (after the message) when it could not be
// written, in which case the file on disk is as it was. Entries another copy of the game
// saved there meanwhile are kept.
bool Settings_Save();
// The same save without any message box, for a process that is ending: a failure goes to
// the standard error.
bool Settings_SaveSilently();

// The table as the settings file holds it at this moment, whatever its stamp; nothing when
// there is no readable file.
std::optional<std::array<HiScoreEntry, kHiScoreRanks>> Settings_TableOnDisk();

// Unticks and disables the sound item when one of the effects is missing.
void Sound_CheckFiles();
void Sound(const std::string& name);

// Opens Readme.txt with the desktop's opener, or says why it cannot.
void Readme_Open();

}  // namespace tarnix
