// A video of a replay: one frame a pass, each shown for as long as the pass lasts at the
// game's pace, with the sound effects the game played, cut off by the next as the game cuts
// them. VP9 and Opus in WebM, made with FFmpeg's libraries, faster than real time and
// without showing the window.
#pragma once

#include <cstdint>
#include <string>

#include "replay/format.h"

namespace tarnix {

inline constexpr int kExportScale = 2;  // each game pixel as 2 x 2, unless asked otherwise
inline constexpr int kExportSampleRate = 48000;

struct ExportResult {
  bool ok = false;
  std::string error;      // why there is no video, in the run's language
  std::uint32_t frames = 0;
  std::int64_t ms = 0;    // the video's length
};

// Plays `record` aside (a replay being watched is put back as it stood) and writes its video
// at `path`, each game pixel `scale` x `scale`, with no sound track when `mute`. The file is
// there whole, or not at all. Needs the window's controls, never shows them.
ExportResult Export_Video(const ReplayRecord& record, const std::string& path, int scale,
                          bool mute);

// The whole of --export: reads `replay`, writes the video at `path`, says what went wrong on
// stderr; 0, or 1 when there is no video.
int Replay_ExportFile(const std::string& replay, const std::string& path, int scale, bool mute);
// --export from start to end once the application object exists: the quiet seams and a
// window that is never shown.
int Replay_ExportMain(const std::string& replay, const std::string& path, int scale, bool mute);

// The theatre's E: writes the video of `record` (being watched) to a free name in
// Export_Folder(), then says where, or why not, in a message; true when it is written.
bool Export_Watched(const ReplayRecord& record);

// The theatre's E without a pause: `program` (the game's own executable) makes the video with
// --export in a process of its own, from a copy of `record` in a temporary folder, while a
// line over the canvas says so and the game goes on. When it ends, the same message as
// Export_Watched's, or the line it left on stderr. True when it has started; a second E
// meanwhile only says it is under way. No program: Export_Watched. The process goes with the
// window, or with the game.
bool Export_Apart(const ReplayRecord& record, const std::string& program);
// True while a process started by Export_Apart works.
bool Export_Busy();

// Where the theatre's key puts a video: the player's videos folder, else the game's folder;
// and a name there that is free, from the game's stamp.
std::string Export_Folder();
std::string Export_FreeName(const ReplayRecord& record);

}  // namespace tarnix
