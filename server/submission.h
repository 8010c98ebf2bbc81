// What an upload must be before a worker spends time on it. No Qt beyond QtCore: the
// fuzzer builds this file with the replay reader alone.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "replay/format.h"

namespace tarnix::board {

// Longer than any game a player can play, far shorter than the file format allows.
inline constexpr std::size_t kNameMaxBytes = 64;

struct Submission {
  ReplayRecord record;
  // The game itself (seed, start, inputs and claimed end), without the name or the time it
  // was saved: a copy of someone's game under another name is the same game.
  std::string game;
};

struct SubmissionRead {
  std::optional<Submission> submission;
  std::string code;    // why it was refused, a stable word for programs
  std::string reason;  // the same for people
};

SubmissionRead Submission_Read(std::string_view body);

// The seed as the replay file writes it: 16 hex digits.
std::string Submission_SeedText(std::uint64_t seed);

}  // namespace tarnix::board
