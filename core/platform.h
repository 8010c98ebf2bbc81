// The seams between the game and the machine. The game reaches the machine only
// through these; tests put doubles in their place.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tarnix {

// A millisecond counter in the steps of the platform the game was tuned on.
class TickClock {
 public:
  virtual ~TickClock() = default;
  virtual std::int32_t GetTickCount() = 0;
  // Returns once GetTickCount() has passed t0 + ms (strictly greater, wrap-safe).
  // Never processes window events.
  virtual void WaitPast(std::int32_t t0, std::int32_t ms) = 0;
};

class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  // Starts the effect in `path` and returns at once; whatever still sounds is cut off.
  // A missing or unreadable file, or no audio device, is silence.
  virtual void Play(const std::string& path) = 0;
};

enum class MessageIcon { kNone, kInformation, kCritical };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows a message with one OK button and the game's title as caption; waits until closed.
  virtual void Show(const std::string& text, MessageIcon icon) = 0;
};

class Launcher {
 public:
  virtual ~Launcher() = default;
  virtual bool OpenerAvailable() = 0;
  // Opens `path` with the desktop's opener without waiting for it.
  virtual bool Open(const std::string& path) = 0;
};

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual void Randomize(std::uint64_t seed) = 0;
  // Uniform in [0, 1).
  virtual double Rnd() = 0;
  // The seed that would continue the sequence from here, when the source can tell; a replay
  // records it at the start of a game.
  virtual std::optional<std::uint64_t> State() const { return std::nullopt; }
};

// The window system's event queue, for the loop's sleep while nothing moves.
class EventSource {
 public:
  virtual ~EventSource() = default;
  // Sleeps until at least one event arrives, or `timeoutMs` passes (-1: no limit), then
  // dispatches what has arrived. Nothing else wakes it.
  virtual void WaitForEvents(int timeoutMs) = 0;
};

struct PlatformSeams {
  TickClock* clock = nullptr;
  SoundOutput* sound = nullptr;
  MessageBoxes* messages = nullptr;
  Launcher* launcher = nullptr;
  RandomSource* random = nullptr;
  EventSource* events = nullptr;
};

// The seams in force. Start-up installs the real ones; tests install doubles.
PlatformSeams& Platform();

// Wrap-safe "t is later than t0 by more than ms".
inline bool TickPassed(std::int32_t t, std::int32_t t0, std::int32_t ms) {
  const auto elapsed = static_cast<std::int32_t>(static_cast<std::uint32_t>(t) -
                                                 static_cast<std::uint32_t>(t0));
  return elapsed > ms;
}

inline std::int32_t GetTickCount() { return Platform().clock->GetTickCount(); }

// The busy wait of the original: t0 now, then until the counter passes t0 + ms.
inline void WaitMsFromNow(std::int32_t ms) {
  const std::int32_t t0 = GetTickCount();
  Platform().clock->WaitPast(t0, ms);
}

inline double Rnd() { return Platform().random->Rnd(); }

// Int(Rnd * n): an integer 0 .. n-1.
inline std::int32_t RndInt(std::int32_t n) { return static_cast<std::int32_t>(Rnd() * n); }

// The machine's own implementations.
TickClock& RealClock();
RandomSource& RealRandom();
MessageBoxes& RealMessageBoxes();
Launcher& RealLauncher();
SoundOutput& RealSound();
EventSource& RealEvents();

}  // namespace tarnix
