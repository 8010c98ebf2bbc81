// Watching replays: the high-score view's choice of an entry, the game-over screen's offer
// of the last game, and what the window shows while a replay plays.
#pragma once

#include "core/keys.h"
#include "core/module1.h"

namespace tarnix {

// The key that plays the chosen replay.
inline constexpr Long kWatchKey = kKeyZ;

// A key of the high-score view or the game-over screen; true when it was the watcher's.
bool Watch_Key(Long code);
// After a door: notices the high-score view opening or closing.
void Watch_AfterDoor();
// The high-score view has opened, as it always looked until Up or Down is pressed.
void Watch_Enter();
// A replay has ended: back to the high-score view.
void Watch_Leave();
// A replay whose recording was cut has played as far as it goes: says so.
void Watch_SayCut();
// On the game-over screen, where the last game can be watched.
void Watch_OfferLast();
void Watch_ShowPlaying(const std::string& title);
void Watch_ShowDemo();
void Watch_HideBanner();
// The highlighted rank, -1 for none.
int Watch_Highlighted();
void Watch_Reset();

}  // namespace tarnix
