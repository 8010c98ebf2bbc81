// Racing a recorded game: a new game with the entry's seed in which the rows rise as they
// rose in the entry, with the entry's score at the same pass shown live as ahead or behind.
// The new game is an ordinary game: recorded, and entered in the table when good enough; its
// replay names the entry it raced and keeps the rows it was given.
#pragma once

#include <cstddef>
#include <string>

#include "core/module1.h"
#include "replay/format.h"

namespace tarnix {

// Starts, from the title, a game that races `entry`; `label` names the entry in the new
// game's replay (a table entry's file name, or a world entry's number). False, and nothing
// changes, when the title is not shown or the entry cannot be played by these rules.
bool Challenge_Start(const ReplayRecord& entry, const std::string& label);

// A race is being played.
bool Challenge_Active();
// How far ahead of the entry (negative: behind) the race stands at this pass.
Long Challenge_Lead();

// For the recorder and the playback. A game begins: `rows` (kRowCells each) rise in place of
// the drawn ones while they last; every row that rises is noted.
void Rows_Begin(const std::string& rows);
std::size_t Rows_Risen();
// Back to where `risen` rows had risen, for the theatre's snapshots.
void Rows_Rewind(std::size_t risen);
// Every row that rose since the game began, as the rules got it.
const std::string& Rows_Seen();

// The recorder's game is starting, going on, ending: the race, if one was asked for, takes
// its place in the game's record and on the canvas.
void Challenge_GameBegins(ReplayRecord& record);
void Challenge_AfterPass(std::uint32_t pass);
void Challenge_GameEnds(ReplayRecord& record);

void Challenge_Reset();

}  // namespace tarnix
