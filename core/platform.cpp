#include "core/platform.h"

#include <chrono>
#include <thread>

namespace tarnix {

namespace {

// The counter the game was tuned on advances 64 times a second, in steps of 15 or 16 ms.
// Counting those steps from start-up keeps every wait setting at the pace it had there.
class SteadyTickClock final : public TickClock {
 public:
  SteadyTickClock() : start_(std::chrono::steady_clock::now()) {}

  std::int32_t GetTickCount() override { return Truncate(CounterAt(Steps())); }

  void WaitPast(std::int32_t t0, std::int32_t ms) override {
    for (;;) {
      const std::int64_t steps = Steps();
      const std::int64_t now = CounterAt(steps);
      if (TickPassed(Truncate(now), t0, ms)) return;
      // Rebuild t0 on the unwrapped scale, then sleep until the first step whose counter
      // lies beyond the deadline, instead of spinning through the wait.
      const auto behind = static_cast<std::uint32_t>(Truncate(now)) - static_cast<std::uint32_t>(t0);
      const std::int64_t deadline = now - static_cast<std::int64_t>(behind) + ms + 1;
      const std::int64_t step = (deadline * 64 + 999) / 1000;
      std::this_thread::sleep_until(start_ + std::chrono::microseconds(step * 15625));
    }
  }

 private:
  std::int64_t Steps() const {
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start_).count();
    return us / 15625;
  }
  static std::int64_t CounterAt(std::int64_t steps) { return steps * 1000 / 64; }
  static std::int32_t Truncate(std::int64_t v) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)));
  }

  std::chrono::steady_clock::time_point start_;
};

// splitmix64: small, fast, and the same sequence for the same seed on every machine,
// which the recorded replays rely on.
class SplitMixRandom final : public RandomSource {
 public:
  void Randomize(std::uint64_t seed) override { state_ = seed; }
  std::optional<std::uint64_t> State() const override { return state_; }
  double Rnd() override {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * (1.0 / 9007199254740992.0);
  }

 private:
  std::uint64_t state_ = 0;
};

}  // namespace

PlatformSeams& Platform() {
  static PlatformSeams seams;
  return seams;
}

TickClock& RealClock() {
  static SteadyTickClock clock;
  return clock;
}

RandomSource& RealRandom() {
  static SplitMixRandom random;
  return random;
}

}  // namespace tarnix
