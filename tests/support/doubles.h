// Test doubles for the platform seams.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/platform.h"

namespace tarnix::testing {

// A tick counter that never waits: a wait jumps the counter straight past its deadline.
class FakeClock final : public TickClock {
 public:
  std::int32_t now = 0;
  std::vector<std::int32_t> waits;  // the `ms` of every wait, in order

  std::int32_t GetTickCount() override { return now; }
  void WaitPast(std::int32_t t0, std::int32_t ms) override {
    waits.push_back(ms);
    if (!TickPassed(now, t0, ms)) {
      now = static_cast<std::int32_t>(static_cast<std::uint32_t>(t0) +
                                      static_cast<std::uint32_t>(ms) + 1u);
    }
  }
};

class SoundRecorder final : public SoundOutput {
 public:
  std::vector<std::string> played;  // full paths
  void Play(const std::string& path) override { played.push_back(path); }
  // The effect names, without folder and ".wav".
  std::vector<std::string> Names() const;
};

class MessageRecorder final : public MessageBoxes {
 public:
  std::vector<std::pair<std::string, MessageIcon>> shown;
  void Show(const std::string& text, MessageIcon icon) override { shown.emplace_back(text, icon); }
};

class LauncherRecorder final : public Launcher {
 public:
  bool available = true;
  std::vector<std::string> opened;
  bool OpenerAvailable() override { return available; }
  bool Open(const std::string& path) override {
    opened.push_back(path);
    return true;
  }
};

// The window's events as a recording: each sleep of the idle loop delivers the next recorded
// event, if any. A sleep with nothing recorded returns at once (where the real queue would
// sleep on) and is kept, with its timeout, like every other.
class RecordedEvents final : public EventSource {
 public:
  std::deque<std::function<void()>> recorded;
  std::vector<int> sleeps;  // the timeout of every sleep, -1 for none
  int delivered = 0;

  void WaitForEvents(int timeoutMs) override {
    sleeps.push_back(timeoutMs);
    if (recorded.empty()) return;
    const std::function<void()> event = std::move(recorded.front());
    recorded.pop_front();
    ++delivered;
    event();
  }
};

// Hands out scripted values first, then a seeded sequence.
class ScriptedRandom final : public RandomSource {
 public:
  std::deque<double> script;
  void Randomize(std::uint64_t seed) override { seeded_.Randomize(seed); }
  double Rnd() override;
  // Known only once the script is used up.
  std::optional<std::uint64_t> State() const override {
    return script.empty() ? seeded_.State() : std::nullopt;
  }

 private:
  class Seeded final : public RandomSource {
   public:
    void Randomize(std::uint64_t seed) override { state_ = seed; }
    double Rnd() override;
    std::optional<std::uint64_t> State() const override { return state_; }

   private:
    std::uint64_t state_ = 1;
  } seeded_;
};

}  // namespace tarnix::testing
