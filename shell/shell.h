// The game shell: main loop, key handlers, start-up and shutdown, menus.
#pragma once

#include <string>

#include "core/module1.h"

namespace tarnix {

// One pass of the game.
void Main_Prog();
// One turn of the main loop: the wait, a pass (unless a menu is open), the window's events.
void Main_LoopTurn();
// Turns until the window is unloaded.
void Main_Loop();
// An input source outside the window's events (a gamepad): `poll` runs once every turn of
// the loop and, while the game sleeps waiting for events, at least every `idleMs` (a
// negative `idleMs`: the poller's news wakes the loop by itself, through an event).
// Adding a poller again changes its `idleMs`.
void Main_AddPoller(void (*poll)(), int idleMs);
void Main_RemovePoller(void (*poll)());
void Main_ClearPollers();
// Dispatches every pending window event.
void DoEvents();

void Main_RemovePoller(void (*poll)());
// Every poller, once.
void Main_RunPollers();
// True while a pass would change nothing: outside play, or while a menu is open.
bool Main_Idle();
// Sleeps until a window event arrives (or a poller is due), dispatching it.
void Main_IdleWait();
// How long that sleep may last in ms, -1 for as long as no event comes.
int Main_IdleTimeout();

void Picture1_KeyDown(Long KeyCode, Long Shift);
void Picture1_KeyUp(Long KeyCode, Long Shift);
void Picture1_LostFocus();

// What must be settled before the application object exists.
void Main_BeforeApplication();

// Start-up: everything up to the main loop, then the loop itself.
void Form_Load();
// Start-up up to the main loop, without entering it. `folder` stands in for the
// executable's folder when it is not empty.
void Form_LoadSteps(const std::string& folder = std::string());
// Once the title is on screen: what the first frame need not wait for.
void Form_AfterFirstFrame();
void Form_Unload(Long& Cancel);
// The save of a normal closing, once and without message boxes, for a game that ends without
// its window's closing (the display gone). Nothing after the window was unloaded.
void Form_SaveBeforeExit();

void mnuG0_Click();
void mnuG1_Click();
void mnuG3_Click();
void mnuO1_Click();
void mnuO4_Click();
void mnuO5_Click();
void mnuO6_Click();
void mnuO7_Click();
void mnuPauseInactive_Click();
void mnuScale1_Click();
void mnuScale2_Click();
void mnuScale3_Click();
void mnuScale4_Click();
void mnuFullScreen_Click();

// The title picture with the menu cursor at (72, cursorY).
void Title_Draw(Long cursorY);
// The player box composed from the strip behind it and the sheet's figure at `column`.
void Player_Draw(Long column);

}  // namespace tarnix
