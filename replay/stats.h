// How a game was played, counted while it runs (played or replayed) from the doors and the
// rules' own events: the pass, the chain's generations, and what a pass changed in the
// rules' state. Nothing is read from a picture.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/module1.h"
#include "replay/format.h"

namespace tarnix {

struct GameStats {
  int thrown[2] = {0, 0};   // red, blue
  int dropped[2] = {0, 0};
  int gifts[2] = {0, 0};
  int blocksBroken = 0;
  std::vector<int> chains;  // the last generation each chain reached, in order
  std::vector<std::uint32_t> levelPasses;  // the pass each level from the second began
  std::vector<double> levelStarts;         // ... and the seconds of play until then
  std::uint32_t passes = 0;
  double seconds = 0;  // of play, from its passes at their waits, less the game's pauses
  Long score = 0;
  Long level = 0;
  // Where things happened, as passes completed before the pass they happened in.
  std::vector<std::uint32_t> chainMarks, levelMarks, giftMarks;

  int LongestChain() const;
  // How many chains reached exactly generation g, for g = 1 .. LongestChain().
  std::vector<int> ChainsByGeneration() const;
  double ScorePerMinute() const;
  // Seconds of play spent at each level reached.
  std::vector<double> LevelSeconds() const;
};

// The length of a pass at a wait, in ms: the loop waits for the counter's first step past it.
double Pass_Ms(Long waitMs);
// The game's time in seconds after `pass` passes of `record`, from its waits.
double Replay_SecondsAt(const ReplayRecord& record, std::uint32_t pass);

// The counting: a game begins, a pass begins (1-based), a pass has ended, a generation went
// off (before its blocks are scored).
void Stats_Begin();
void Stats_BeforePass(std::uint32_t pass);
void Stats_AfterPass();
void Stats_ChainGeneration(Long generation);
// The figures of the game counted last or being counted.
const GameStats& Stats_Current();
// Counting goes on from a snapshot's figures, after `pass` passes.
void Stats_Restore(const GameStats& stats, std::uint32_t pass);
void Stats_Stop();

// The figures for a person, label and value, in the language in force; as text, one a
// line; and as JSON, whose keys are always the same.
std::vector<std::pair<std::string, std::string>> Stats_Rows(const GameStats& stats);
std::string Stats_Text(const GameStats& stats);
std::string Stats_Json(const GameStats& stats);

}  // namespace tarnix
