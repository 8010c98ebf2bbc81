// The game's side of the world table: the high-score view's world boards, a finished game sent
// when the player asks, a world entry watched or raced, today's challenge, and a short note on
// the canvas for each answer. Everything waits on the network without holding a pass, and
// nothing shows during play.
#pragma once

#include <QString>

#include <string>
#include <vector>

#include "core/keys.h"
#include "core/module1.h"

namespace tarnix {

class WorldTable;
struct WorldEntry;

// The boards of the high-score view, in the order Right goes through them.
enum class ScoreBoard { kLocal, kAllTime, kToday };

// On the game-over screen and in the high-score view: send the game to the world table (the
// pad's B); in the high-score view: race the highlighted entry (the pad's right shoulder).
inline constexpr Long kWorldSendKey = kKeyX;
inline constexpr Long kWorldRaceKey = kSpace;
// World entries shown at once; Up and Down scroll through the rest.
inline constexpr int kWorldRowsShown = 10;

// The game's one world table, or none; the shell attaches it at start-up.
void WorldView_Attach(WorldTable* table);
// A key of the high-score view or the game-over screen, before the watcher's: true when it
// was the world view's.
bool WorldView_Key(Long code);
// After a door and after a name is entered: the view opening or closing.
void WorldView_AfterDoor();
// A replay has ended and the high-score view is back: a world entry's returns to its board.
void WorldView_Return();
// The game is over: says how to send it, when there is somewhere to send it.
void WorldView_OfferLast();
// Fetches today's seed and starts the game with it from the title.
void WorldView_DailyChallenge();
void WorldView_HideNote();

ScoreBoard WorldView_Board();
// The highlighted world entry (its place in the board) and the first one shown.
int WorldView_Highlighted();
int WorldView_Top();
// The board shown as it arrived, empty while it loads.
const std::vector<WorldEntry>& WorldView_Entries();
// The line shown instead of the entries: loading, the failure, no address; empty when the
// entries are shown.
QString WorldView_Status();
// The note on the canvas, empty when none shows.
QString WorldView_Note();
void WorldView_Reset();

}  // namespace tarnix
