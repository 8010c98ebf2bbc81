// Cost of the game's hot paths. Run: build/bench/tarnix_bench
#include <benchmark/benchmark.h>

#include <string>

#include "bombs/bombs.h"
#include "playfield/playfield.h"
#include "shell/shell.h"
#include "scene.h"

namespace tarnix {
namespace {

// One pass while the player walks back and forth; no rise, no explosion.
void BM_MainProgWalking(benchmark::State& state) {
  BenchScene scene(7);
  int pass = 0;
  for (auto _ : state) {
    Module1.KeyFlags = (pass++ / 40) % 2 ? "100000" : "001000";
    Module1.RiseCountdown = 1000;
    Main_Prog();
    scene.sound.played.clear();
  }
}
BENCHMARK(BM_MainProgWalking);

void BM_BlockPaint(benchmark::State& state) {
  BenchScene scene(7);
  for (auto _ : state) Block_Paint();
}
BENCHMARK(BM_BlockPaint);

// One rise on a half-full well with a resting bomb, the board put back each time.
void BM_BlockUp(benchmark::State& state) {
  BenchScene scene(7);
  std::string board(kBoardLength, '0');
  for (int r = 5; r <= 10; ++r) {
    for (int c = 3; c <= 13; ++c) {
      board[static_cast<std::size_t>(kRowLength * r + c)] = "1234"[(r + c) % 4];
    }
  }
  const BombRecord resting{kBombResting, 0, 60, 168, 0, 2, 0};
  for (auto _ : state) {
    Module1.Board = board;
    Module1.Bombs[0] = resting;
    Module1.RowsToLevel = 20;
    Block_Up();
    scene.sound.played.clear();
  }
}
BENCHMARK(BM_BlockUp);

}  // namespace
}  // namespace tarnix
