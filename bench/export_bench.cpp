// How fast a replay becomes a video, as a multiple of the game's own time: a corpus game of
// about half a minute at the normal wait, x2 with its sound, written to a temporary folder.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <chrono>

#include "replay/export.h"
#include "replay/library.h"
#include "replay/replay.h"
#include "scene.h"

namespace tarnix {
namespace {

void BM_ExportSpeed(benchmark::State& state) {
  BenchScene scene(7);
  Replay_Reset();
  const ReplayReadResult r =
      ReplayLibrary_Read(TARNIX_SOURCE_DIR "/tests/data/replays/quit-in-play.tnr");
  QTemporaryDir dir;
  if (!r.record || !dir.isValid()) {
    state.SkipWithError("no corpus replay or no temporary folder");
    return;
  }
  Module1.AppPath = TARNIX_SOURCE_DIR "/assets/";
  const std::string path = QFile::encodeName(dir.path()).toStdString() + "/bench.webm";
  double gameSeconds = 0;
  double wallSeconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const ExportResult out = Export_Video(*r.record, path, kExportScale, false);
    wallSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!out.ok) {
      state.SkipWithError(out.error.c_str());
      return;
    }
    gameSeconds += static_cast<double>(out.ms) / 1000;
  }
  state.counters["x_real_time"] = gameSeconds / wallSeconds;
  state.counters["game_s"] = gameSeconds / static_cast<double>(state.iterations());
  Replay_Reset();
}
BENCHMARK(BM_ExportSpeed)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace tarnix
