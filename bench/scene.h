// A game in play with doubles in every seam, for the benchmarks.
#pragma once

#include <memory>

#include "window/form1.h"
#include "playfield/playfield.h"
#include "core/platform.h"
#include "support/doubles.h"

namespace tarnix {

struct BenchScene {
  testing::FakeClock clock;  // every pause instant
  testing::SoundRecorder sound;
  testing::MessageRecorder messages;
  testing::LauncherRecorder launcher;
  testing::ScriptedRandom random;
  std::unique_ptr<Form1Window> window;

  explicit BenchScene(std::uint64_t seed) {
    Module1_Reset();
    Platform() = PlatformSeams{&clock, &sound, &messages, &launcher, &random};
    random.Randomize(seed);
    window = std::make_unique<Form1Window>();
    window->mnuO1.SetChecked(true);
    Module1.WaitMs = 50;
    Game_Start();
    Module1.GamePhase = kPlaying;
  }
  ~BenchScene() {
    window.reset();
    Platform() = PlatformSeams{};
  }
};

}  // namespace tarnix
