// The theatre: what a watcher of a replay can do while it plays. Pause, one pass forward or
// back, speeds from a quarter to eight times, seeking to any pass through snapshots of the
// whole game, and jumps to the next or previous chain, level-up or gift; a thin bar over the
// canvas says where the replay stands, and the game's figures are shown on a key and at the
// end.
#pragma once

#include <cstdint>
#include <functional>

#include "core/keys.h"
#include "core/module1.h"
#include "replay/format.h"
#include "replay/replay.h"

namespace tarnix {

// The watcher's keys (the pad's buttons bring the same codes).
inline constexpr Long kTheatrePause = 13;      // Enter, the pad's Start
inline constexpr Long kTheatreStats = kKeyS;   // S, the pad's west button
inline constexpr Long kTheatreStop = 27;       // Escape (the pad's Back returns to the title)
inline constexpr Long kTheatreMarkKind = 32;   // Space, the pad's shoulder: chain, level, gift
inline constexpr Long kTheatreNextMark = 90;   // Z, the pad's A
inline constexpr Long kTheatreGoTo = 71;       // G, then the pass's number and Enter
inline constexpr Long kTheatrePrevMark = 88;   // X, the pad's B
inline constexpr Long kTheatreExport = kKeyE;  // E, the pad's left shoulder: the video

enum class TheatreMark { kChain, kLevel, kGift };

// Speeds as quarters of the game's pace: 1/4 1/2 1 2 4 8.
inline constexpr int kTheatreSpeeds[] = {1, 2, 4, 8, 16, 32};
inline constexpr int kTheatreNormalSpeed = 2;
// Snapshots every this many seconds of the game's time.
inline constexpr double kSnapshotSeconds = 3.0;

// Called by the playback: a replay begins or ends being watched, a pass of it ran.
void Theatre_Begin(const ReplayRecord& record);
void Theatre_End(bool reachedEnd);
void Theatre_AfterPass();
// A key or key release of the watcher: true when it was the theatre's.
bool Theatre_Key(ReplayDoor door, Long code);
// A key while no replay plays takes away the figures shown at the end, and goes on to
// do what it does.
void Theatre_KeyAfterwards(ReplayDoor door);
int Theatre_PassesThisTurn();
bool Theatre_Paused();

// The controls themselves, for the keys and for tests.
void Theatre_SetPaused(bool paused);
void Theatre_SetSpeed(int index);
int Theatre_Speed();
// Seeks to `pass` (passes completed), forward or back; false when no replay plays.
bool Theatre_Seek(std::uint32_t pass);
void Theatre_Step(int direction);
bool Theatre_Jump(TheatreMark kind, int direction);
// What E does with the replay watched: start-up hands down the video's maker, so that a
// program on the rules alone (the board's server) links no video library. None: E does nothing.
using TheatreExporter = std::function<bool(const ReplayRecord& record)>;
void Theatre_SetExporter(TheatreExporter exporter);
// E: the exporter with the replay watched, which then goes on as it stood; false when none
// plays, there is no exporter, or the exporter neither wrote a video nor began one.
bool Theatre_Export();
// Plays up to `passes` beyond the furthest pass played, unseen, for their snapshots, and
// comes back to where the replay stands.
void Theatre_WorkAhead(int passes);
std::uint32_t Theatre_Pass();
std::uint32_t Theatre_LastPass();
std::size_t Theatre_Snapshots();
bool Theatre_BarVisible();
bool Theatre_StatsVisible();
bool Theatre_Muted();
void Theatre_Reset();

}  // namespace tarnix
