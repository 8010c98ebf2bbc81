// Seams for running passes faster than the game's pace and without a sound: verifying a
// replay, and the theatre's seeking and stepping.
#pragma once

#include <string>

#include "core/platform.h"

namespace tarnix {

// Waits end at once: the counter jumps to each deadline, so a game replays as fast as its
// passes can be computed.
class JumpClock final : public TickClock {
 public:
  std::int32_t GetTickCount() override { return now_; }
  void WaitPast(std::int32_t t0, std::int32_t ms) override {
    if (!TickPassed(now_, t0, ms)) {
      now_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(t0) +
                                       static_cast<std::uint32_t>(ms) + 1u);
    }
  }

 private:
  std::int32_t now_ = 0;
};

class Silence final : public SoundOutput {
 public:
  void Play(const std::string&) override {}
};

}  // namespace tarnix
