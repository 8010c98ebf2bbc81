// What the pad costs a pass: one poll with no pad, and with an open pad standing still.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include "input/pad.h"
#include "scene.h"

namespace tarnix {
namespace {

void BM_PadPoll(benchmark::State& state) {
  BenchScene scene(7);
  Pad_Start();
  int index = -1;
  if (state.range(0) > 0) {
    index = Pad_AttachVirtual();
  }
  Pad_PollNow();
  if (Pad_Count() != state.range(0)) state.SkipWithError("the virtual pad did not open");
  for (auto _ : state) Pad_Poll();
  if (index >= 0) SDL_JoystickDetachVirtual(index);
  Pad_Stop();
}
BENCHMARK(BM_PadPoll)->ArgName("pads")->Arg(0)->Arg(1);

}  // namespace
}  // namespace tarnix
