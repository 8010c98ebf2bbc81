// The replays kept in the settings folder's "replays/": the last game's, and one for each
// entry of the high-score table, linked to it by a file name made from the entry's fields
// and the moment its game ended. "Tarnix.ini" knows nothing of them.
#pragma once

#include <optional>
#include <string>

#include "replay/format.h"

namespace tarnix {

std::string ReplayLibrary_Folder();
std::string ReplayLibrary_LastPath();
// Keeps `record` as the last game's replay.
bool ReplayLibrary_SaveLast(const ReplayRecord& record);
// Keeps `record` for the table's entry at `rank` (which it produced), then removes every
// replay no entry of the table claims any more.
bool ReplayLibrary_Link(const ReplayRecord& record, int rank);
// The file of the replay of the table's entry at `rank`, empty when it has none.
std::string ReplayLibrary_PathFor(int rank);

// Reads a replay file; a missing, unreadable or bad file gives its error.
ReplayReadResult ReplayLibrary_Read(const std::string& path);

}  // namespace tarnix
