// A recorded game as data, and its file form (replay/FORMAT.md). No Qt here: the fuzzer
// builds this file alone.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnix {

inline constexpr int kReplayFormatVersion = 1;
// A race against a recorded game is written in this format: the header also names the game
// raced and the rows that rose in it. Every other game stays in format 1, byte for byte.
inline constexpr int kReplayChallengeFormatVersion = 2;
// A row of the well as the rules make it: 11 cells, each '1' (brown), '3' or '4'.
inline constexpr std::size_t kRowCells = 11;
// Raised whenever a rule of play changes, so that an old replay is refused instead of
// being played into a different game. The golden replay's dump changing is the sign.
inline constexpr int kRulesVersion = 1;

// A hostile file must not make the reader or the playback hold or run without bound.
inline constexpr std::size_t kReplayMaxBytes = 4u << 20;
inline constexpr std::size_t kReplayMaxEvents = 1u << 20;
// No game takes more inputs between two passes: the recorder ends its recording there, the
// reader refuses a file with more, and a replay being watched never holds the window longer.
inline constexpr std::size_t kReplayMaxEventsPerPass = 1024;
inline constexpr std::uint32_t kReplayMaxPasses = 0x7FFFFFFFu;

// What arrived at one of the game's doors, by the letter the file gives it:
// key downs L U R D Z X E S (Left, Up, Right, Down, Z, X, Enter, Space), key ups the same
// letters in lower case, T for the return to the title, 0..3 for the four wait items.
struct ReplayEvent {
  std::uint32_t pass = 0;  // passes of the game completed when it arrived
  char code = 0;
};

// kCut: the recorder reached one of its bounds and the recording ends there, while the game
// went on; `passes`, `level` and `score` are those of that moment.
enum class ReplayEnding : char { kGameOver = 'O', kTitle = 'T', kQuit = 'Q', kCut = 'C' };

struct ReplayRecord {
  std::string game = "1.01";  // the game's version that recorded it
  std::uint64_t seed = 0;
  std::int32_t wait = 0;      // the wait in ms at the start: 0, 25, 50 or 75
  std::int32_t facing = 0;    // what the previous game left behind that the rules read
  std::int32_t anim = 0;
  std::int32_t broken = 0;
  std::string name;           // UTF-8; empty when the game did not enter the table
  std::string stamp;          // yyyyMMddhhmmsszzz, when the game ended
  std::uint32_t passes = 0;   // passes from the start to the end
  ReplayEnding ending = ReplayEnding::kGameOver;
  std::int32_t level = 0;
  std::int32_t score = 0;
  std::vector<ReplayEvent> events;
  // A race against a recorded game: which game (a table entry's file name, a world entry's
  // number), and the rows that rose in it, in order, kRowCells each. The race's rows rise as
  // these did, as long as they last. Both empty for an ordinary game.
  std::string challenge;
  std::string rows;
};

enum class ReplayError {
  kNone,
  kNotReplay,      // does not start like a replay file
  kFormatVersion,  // a replay of another format version
  kRulesVersion,   // recorded under other rules
  kDamaged,        // truncated or garbled
  kTooLarge,
  kCrowded,        // more inputs between two passes than a game can make
  kUnreadable,     // missing, or could not be read
};

struct ReplayReadResult {
  std::optional<ReplayRecord> record;
  ReplayError error = ReplayError::kNone;
  int version = 0;  // the format or rules version found, for kFormatVersion / kRulesVersion
  std::string detail;  // why a file could not be read (kUnreadable), in the run's language
};

std::string Replay_Format(const ReplayRecord& record);
ReplayReadResult Replay_Parse(std::string_view bytes);
// Whether `bytes` start like a replay file.
bool Replay_IsFile(std::string_view bytes);

// The event letter for a virtual-key code going down or up, 0 for a key the rules ignore.
char Replay_KeyLetter(std::int32_t keyCode, bool down);
// The virtual-key code of a key letter, 0 for a letter that is no key.
std::int32_t Replay_LetterKey(char letter);

}  // namespace tarnix
