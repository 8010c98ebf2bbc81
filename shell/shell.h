// The game shell: the main loop, start-up and shutdown, and the handlers behind the doors.
#pragma once

#include <string>

#include "core/doors.h"
#include "core/module1.h"
#include "core/pollers.h"

namespace tarnix {

// One turn of the main loop: the wait, a pass (unless a menu is open), the window's events.
void Main_LoopTurn();
// Turns until the window is unloaded.
void Main_Loop();
// Dispatches every pending window event.
void DoEvents();
// True while a pass would change nothing: outside play, or while a menu is open.
bool Main_Idle();
// Sleeps until a window event arrives (or a poller is due), dispatching it.
void Main_IdleWait();

class WorldTable;
// The game's one world table: built with its outbox in the settings folder, its address from
// the command line or tarnix.conf, and what waits in the outbox sent. Stopping forgets it.
void World_Start();
void World_Stop();
WorldTable* World_Table();

// What must be settled before the application object exists.
void Main_BeforeApplication();

// Hands the lower layers what they call upwards (the pads' title line and rumble) and installs
// the keyboard on the window. Start-up does it; so does anything that builds a window of its
// own to play in.
void Form_HandDown();
// Start-up: everything up to the main loop, then the loop itself.
void Form_Load();
// Start-up up to the main loop, without entering it. `folder` stands in for the
// executable's folder when it is not empty.
void Form_LoadSteps(const std::string& folder = std::string());
// Once the title is on screen: what the first frame need not wait for.
void Form_AfterFirstFrame();
// The save of a normal closing, once and without message boxes, for a game that ends without
// its window's closing (the display gone). Nothing after the window was unloaded.
void Form_SaveBeforeExit();

}  // namespace tarnix
