// What recording costs a pass: the same walking pass with and without a game being
// recorded, each with a key going down or up at its door, as in busy play.
#include <benchmark/benchmark.h>

#include "core/keys.h"
#include "replay/replay.h"
#include "scene.h"
#include "shell/shell.h"

namespace tarnix {
namespace {

void WalkWithKeys(benchmark::State& state, bool recorded) {
  BenchScene scene(7);
  Replay_Reset();
  if (recorded) {
    // A game started from the title, as the player starts one: the recorder is running.
    Module1.GamePhase = kTitle;
    Module1.MenuCursor = 0;
    Picture1_KeyDown(kEnter, 0);
  }
  int pass = 0;
  for (auto _ : state) {
    const Long key = (pass / 40) % 2 ? 37 : 39;
    if (pass % 40 == 0) Picture1_KeyDown(key, 0);
    if (pass % 40 == 39) Picture1_KeyUp(key, 0);
    Module1.RiseCountdown = 1000;
    Main_Prog();
    scene.sound.played.clear();
    ++pass;
  }
  state.counters["recording"] = Replay_IsRecording() ? 1 : 0;
  Replay_Reset();
}

void BM_PassUnrecorded(benchmark::State& state) { WalkWithKeys(state, false); }
void BM_PassRecorded(benchmark::State& state) { WalkWithKeys(state, true); }
BENCHMARK(BM_PassUnrecorded);
BENCHMARK(BM_PassRecorded);

}  // namespace
}  // namespace tarnix
