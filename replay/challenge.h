// Racing a recorded game: a new game with the entry's seed in which the rows rise as they
// rose in the entry, with the entry's score at the same pass shown live as ahead or behind.
// The new game is an ordinary game: recorded, and entered in the table when good enough; its
// replay names the entry it raced.
#pragma once

#include <string>

#include "replay/format.h"

namespace tarnix {

// Starts, from the title, a game that races `entry`; `label` names the entry in the new
// game's replay (a table entry's file name, or a world entry's number). False, and nothing
// changes, when the title is not shown or the entry cannot be played by these rules.
bool Challenge_Start(const ReplayRecord& entry, const std::string& label);

// A challenge game is being played.
bool Challenge_Active();

void Challenge_Reset();

}  // namespace tarnix
