// The replays kept in the settings folder's "replays/": the last game's, and one for each
// entry of the high-score table, linked to it by a file name made from the entry's fields
// as Tarnix.ini holds them and the moment its game ended. "Tarnix.ini" knows nothing of them.
#pragma once

#include <optional>
#include <string>

#include "replay/format.h"

namespace tarnix {

// The folder, bytes as the file system has them, ending in "/".
std::string ReplayLibrary_Folder();
std::string ReplayLibrary_LastPath();
// Keeps `record` as the last game's replay.
bool ReplayLibrary_SaveLast(const ReplayRecord& record);
// Keeps `record` for the table's entry at `rank` (which it produced), then removes every
// replay that no entry claims any more: neither of this game's table, nor of the table on
// disk read again now, nor of another copy of the game running in the same folder.
bool ReplayLibrary_Link(const ReplayRecord& record, int rank);
// The file of the replay of the table's entry at `rank`, empty when it has none.
std::string ReplayLibrary_PathFor(int rank);
// Marks the replays this game's table claims as claimed for as long as the game runs, so
// that another copy in the same folder leaves them. Each link does it again.
void ReplayLibrary_Hold();

// Reads a replay file; a missing, unreadable or bad file gives its error. Only a regular file
// is opened, and never in a way that waits.
ReplayReadResult ReplayLibrary_Read(const std::string& path);

}  // namespace tarnix
