// Recording every game at the game's doors, and playing a recorded game back through the
// same doors between the same passes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "replay/format.h"
#include "core/module1.h"

namespace tarnix {

// The doors, as the tap in front of them tells the replay: the canvas's keys, the Game
// menu's return to the title, the wait items, the name box, the pass, and the window's own
// items (sound, size, readme...), which no game depends on.
enum class ReplayDoor { kKeyDown, kKeyUp, kTitleMenu, kWaitMenu, kNameBox, kPass, kWindow };

// The tap calls this before each door's handler; true when the call belongs to the watcher
// of a replay and the handler must not run.
bool Replay_BeforeDoor(ReplayDoor door, Long code);
// And this after the handler ran.
void Replay_AfterDoor(ReplayDoor door, Long code);
// How many passes the main loop runs this turn: more while a replay is fast-forwarded.
int Replay_PassesThisTurn();
// The window is closing: a replay being watched gives the game its state back, a game
// still being recorded is kept as the last game. `quietly` when nothing may be shown.
void Replay_Unload(bool quietly = false);
// Forgets every recording and playback; for tests.
void Replay_Reset();

// The game being recorded, or the last one finished (empty before the first).
const ReplayRecord& Replay_Recording();
bool Replay_IsRecording();
bool Replay_IsPlaying();

// Where the replay being played stands: passes completed and the next input to feed.
struct ReplayCursor {
  std::uint32_t pass = 0;
  std::size_t next = 0;
};
ReplayCursor Replay_Cursor();
// Puts the playback where a snapshot of the game was taken.
void Replay_SetCursor(ReplayCursor cursor);
// The watcher has paused the replay: the loop may sleep.
bool Replay_Paused();

// Starts playing `record` in the window under the theatre's controls; its end shows the
// game's figures and returns to the high-score view. `title` is shown beside "REPLAY".
// `byKey`: the watcher's Z started it and is still down; its release is not a theatre key.
void Replay_Watch(const ReplayRecord& record, const std::string& title, bool byKey = true);

// Plays `record` as the title's demo: muted, under "DEMO", ended by any key; then the title
// is back exactly as it was.
void Replay_Demo(const ReplayRecord& record);
bool Replay_IsDemo();

struct ReplayOutcome {
  bool ended = false;  // the game reached its recorded end
  std::uint32_t passes = 0;
  Long level = 0;
  Long score = 0;
  bool matches = false;  // same end, at the same pass, with the same level and score
};

// Plays `record` through to its end with no watcher, as fast as the clock in force allows.
// `afterPass` runs after each of its passes.
ReplayOutcome Replay_Run(const ReplayRecord& record,
                         const std::function<void()>& afterPass = nullptr);

// The same beside whatever plays or is watched now, which is put back afterwards as it
// stood: the rules' state, the canvas, the playback and its figures.
ReplayOutcome Replay_RunAside(const ReplayRecord& record,
                              const std::function<void()>& afterPass = nullptr);

// --verify's exit status: the game ends as recorded; it does not, or the file cannot be
// read; it agrees as far as a recording goes that was cut.
inline constexpr int kVerifyMatch = 0;
inline constexpr int kVerifyMismatch = 1;
inline constexpr int kVerifyCut = 3;

// The whole of --verify: reads `path`, replays it without a window, prints the outcome.
// Needs the window's controls (the rules read the canvas) but never shows them.
int Replay_VerifyFile(const std::string& path);
// --verify from start to end, once the application object exists: quiet doubles in the
// seams, a window that is never shown, the exit status.
int Replay_VerifyMain(const std::string& path);
// The seams a re-play without a player needs: waits that end at once, silence, messages to
// stderr. For --verify, --stats and the board server's workers.
void Replay_QuietSeams();
// The whole of --stats: replays `path` without a window and prints the game's figures, as
// text or JSON; 1 when the file cannot be read or does not replay to its recorded end.
int Replay_StatsFile(const std::string& path, bool json);
int Replay_StatsMain(const std::string& path, bool json);
// The whole of --replay: plays `path` in the window once it is up; false (after a
// message) when the file cannot be played.
bool Replay_WatchFile(const std::string& path);

// A message for a file that could not be read, in the players' language.
std::string Replay_ErrorText(const ReplayReadResult& result);

}  // namespace tarnix
