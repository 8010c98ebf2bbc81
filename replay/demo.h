// A replay on the title when nobody plays, as arcade machines did: the best table entry's
// game, or the one shipped beside the game, muted, under "DEMO". Any key or button ends it
// and goes no further. Nothing it plays is recorded or kept.
#pragma once

#include "replay/replay.h"

namespace tarnix {

inline constexpr int kDemoIdleMs = 30000;

// Every door: input on the title puts the demo off again; a pass on the title arms it.
void Demo_AfterDoor(ReplayDoor door);
// Starts the demo now, when the title is up and has something to play.
bool Demo_Start();
bool Demo_Armed();
void Demo_Reset();

}  // namespace tarnix
