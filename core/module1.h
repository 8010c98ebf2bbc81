// The whole game state: every variable the procedures share, in one home.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tarnix {

using Long = std::int32_t;

enum Phase : Long {
  kTitle = 0,
  kScoreView = 1,
  kPlaying = 2,
  kPaused = 3,
  kGameOverView = 4,
  kNameEntry = 5,
};

enum Action : Long {
  kIdle = 0,
  kHolding = 1,
  kDropping = 2,
  kThrowing = 3,
};

enum BombState : Long {
  kBombFree = 0,
  kBombHeld = 1,
  kBombFlying = 2,
  kBombResting = 3,
  kBombDetonating = 4,
};

struct BombRecord {
  Long State = 0;
  Long Age = 0;
  Long X = 0;
  Long Y = 0;
  Long VX = 0;
  Long VY = 0;
  Long Kind = 0;
};

struct GiftRecord {
  Long Active = 0;
  Long Kind = 0;
  Long Timer = 0;
};

struct HiScoreEntry {
  std::string Name;   // UTF-8, as typed
  Long Level = 0;
  std::string Score;  // decimal text
};

inline constexpr int kBombSlots = 5;
inline constexpr int kGiftSlots = 22;
inline constexpr int kHiScoreRanks = 5;
inline constexpr int kBoardLength = 238;
inline constexpr int kRowLength = 17;

struct Module1State {
  std::string AppPath;  // bytes as the file system has them (mostly UTF-8), always ends in "/"
  Long GamePhase = 0;
  Long MenuCursor = 0;
  Long Score = 0;
  Long Level = 0;
  Long RiseCountdown = 0;
  Long RowsToLevel = 0;
  Long RedStock = 0;
  Long BlueStock = 0;
  std::string Board;
  Long BlocksBroken = 0;
  Long WaitMs = 0;
  Long Facing = 0;
  Long AnimFrame = 0;
  Long ActionState = 0;
  Long ActionFrame = 0;
  std::string HeldBomb;
  std::string KeyFlags;
  std::array<BombRecord, kBombSlots> Bombs{};
  std::array<GiftRecord, kGiftSlots> Gifts{};
  std::array<HiScoreEntry, kHiScoreRanks> HiScore{};
};

extern Module1State Module1;

// Back to the state before start-up: numbers 0, texts empty.
inline void Module1_Reset() { Module1 = Module1State{}; }
// The same for everything the port added around the original's state: the recorder and the
// replay being played, what each input source holds, the key bindings, the pollers, the
// options, the command line and what was handed down. Defined at the top, where all of it is
// in reach.
void Port_Reset();

// Numeric value of the one character at 1-based position `pos` of a digit string.
inline Long DigitAt(const std::string& s, int pos) {
  return static_cast<Long>(s[static_cast<std::size_t>(pos - 1)] - '0');
}

inline void SetDigitAt(std::string& s, int pos, Long digit) {
  s[static_cast<std::size_t>(pos - 1)] = static_cast<char>('0' + digit);
}

}  // namespace tarnix
