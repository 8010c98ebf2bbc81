// Cost of the bombs' hot paths: one update of five bombs in flight, and chains of three and
// four generations with the pauses made instant. Run: build/bench/tarnix_bench --benchmark_filter=Bomb
#include <benchmark/benchmark.h>


#include "bombs/bombs.h"
#include "playfield/playfield.h"
#include "scene.h"

namespace tarnix {
namespace {

void Put(int r, int k, char digit) {
  Module1.Board[static_cast<std::size_t>(17 * r + k + 3)] = digit;
}

void BM_BombRefreshFiveInFlight(benchmark::State& state) {
  BenchScene scene(11);
  for (auto _ : state) {
    for (int i = 0; i < kBombSlots; ++i) {
      const Long vx = i % 2 ? 8 : -8;
      Module1.Bombs[i] = BombRecord{kBombFlying, 5, 20 + 50 * i, 60 + 8 * i, vx, 2, i % 2};
    }
    Bomb_Refresh();
  }
}
BENCHMARK(BM_BombRefreshFiveInFlight);

// A blue bomb sets off a crate, which sets off a second, which (with the argument 4) sets
// off a third; the bottom rows are full of blocks to break and let fall.
void BM_Chain(benchmark::State& state) {
  const auto generations = state.range(0);
  BenchScene scene(11);
  for (auto _ : state) {
    state.PauseTiming();
    Module1.Board.assign(kBoardLength, '0');
    for (int r = 8; r <= 10; ++r) {
      for (int k = 0; k <= 10; ++k) Put(r, k, r == 9 && k % 3 == 0 ? '3' : '1');
    }
    Put(6, 6, '4');
    Put(8, 8, '4');
    if (generations >= 4) Put(10, 10, '4');
    for (GiftRecord& gift : Module1.Gifts) gift = GiftRecord{};
    Module1.Bombs[0] = BombRecord{kBombDetonating, 40, 102, 216, 0, 0, 1};
    Block_Paint();
    scene.sound.played.clear();
    scene.clock.waits.clear();
    state.ResumeTiming();
    Bomb_Refresh();
  }
  // One pause per chain plus two per further generation.
  state.counters["generations"] = static_cast<double>(scene.clock.waits.size() + 1) / 2;
}
BENCHMARK(BM_Chain)->ArgName("generations")->Arg(3)->Arg(4);

}  // namespace
}  // namespace tarnix
