// What a seek costs in the theatre: the nearest snapshot back, then the passes up to the
// target, unheard and undrawn. Two games: the longest the well-watching player lasts at
// wait 0 (4,620 passes), where a snapshot falls every 192 passes, the most a seek can replay;
// and a game of ten minutes and 41 seconds (8,208 passes at wait 75, a snapshot every 38).
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <memory>

#include "replay/replay.h"
#include "replay/stats.h"
#include "replay/theatre.h"
#include "scene.h"
#include "shell/shell.h"
#include "support/games.h"

namespace tarnix {
namespace {

enum class Game { kDensest, kTenMinutes };

struct Watched {
  std::unique_ptr<BenchScene> scene = std::make_unique<BenchScene>(5);
  QTemporaryDir folder;  // where the recorder keeps the game
  ReplayRecord record;
  explicit Watched(Game game = Game::kDensest) {
    Port_Reset();
    Form_HandDown();
    Module1.GamePhase = kTitle;
    Module1.KeyFlags = "000000";
    Module1.AppPath = folder.path().toStdString() + "/";
    if (game == Game::kDensest) {
      mnuO4_Click();  // wait 0: the most passes between two snapshots
      record = testing::PlayRecorded(5, testing::WellBot{}, 60000);
    } else {
      mnuO7_Click();  // wait 75: the most time a pass takes
      record = testing::PlayRecorded(354, testing::WellBot(28, 4), 60000);
    }
    Module1.GamePhase = kScoreView;
    Replay_Watch(record, "");
  }
  ~Watched() { Port_Reset(); }
};

// Seeks back and forth to passes spread over the whole game, once the turns of watching
// have played it ahead for its snapshots.
void BM_TheatreSeek(benchmark::State& state) {
  Watched w(static_cast<Game>(state.range(0)));
  while (Theatre_Snapshots() < 20 || Replay_Cursor().pass != 0) {
    const std::size_t kept = Theatre_Snapshots();
    Theatre_WorkAhead(200);
    if (Theatre_Snapshots() == kept) break;
  }
  std::uint32_t lcg = 12345;
  for (auto _ : state) {
    lcg = lcg * 1664525u + 1013904223u;
    Theatre_Seek((lcg >> 8) % (w.record.passes - 1));
  }
  state.counters["passes"] = w.record.passes;
  state.counters["seconds"] = Replay_SecondsAt(w.record, w.record.passes);
  state.counters["snapshots"] = static_cast<double>(Theatre_Snapshots());
}
BENCHMARK(BM_TheatreSeek)->ArgName("ten_minutes")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The first seek to the end before any turn played ahead: every pass is played.
void BM_TheatreSeekUnplayedToEnd(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto w = std::make_unique<Watched>();
    state.ResumeTiming();
    Theatre_Seek(Theatre_LastPass());
    state.PauseTiming();
    w.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_TheatreSeekUnplayedToEnd)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace tarnix
