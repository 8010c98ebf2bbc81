// Input sources outside the window's events (a gamepad) are polled by the main loop. They
// register here, at the bottom, so that a source never needs the loop above it.
#pragma once

namespace tarnix {

// `poll` runs once every turn of the loop and, while the game sleeps waiting for events, at
// least every `idleMs` (a negative `idleMs`: the poller's news wakes the loop by itself,
// through an event). Adding a poller again changes its `idleMs`.
void Main_AddPoller(void (*poll)(), int idleMs);
void Main_RemovePoller(void (*poll)());
void Main_ClearPollers();
// Every poller, once.
void Main_RunPollers();
// How long the loop's sleep may last in ms, -1 for as long as no event comes.
int Main_IdleTimeout();

}  // namespace tarnix
