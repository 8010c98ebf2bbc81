// The desktop's requests to end the game (SIGTERM at logout, SIGINT from Ctrl+C, SIGHUP when
// the terminal goes away) close it as the Game menu's quit item does: settings written,
// status 0.
#pragma once

namespace tarnix {

// Installs the handlers and tells SDL to leave them alone: before SDL starts, and again once
// the application object exists, so that the event loop hears them.
void Signals_Install();
// For a run without the game's window (--verify): SIGINT and SIGTERM end it where it stands,
// as they end any command, even where its starter left them ignored (a script's background
// job).
void Signals_EndAtOnce();
// Puts back the handlers that were in force before Signals_Install (for tests).
void Signals_Uninstall();
// Closes the game from any phase, over any open menu or message box. A request that comes
// before the window has finished loading is kept until it has.
void Quit_FromOutside();
// True when a request came while the window was still loading.
bool Quit_Pending();

}  // namespace tarnix
