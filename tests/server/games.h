// Real games for the board's tests and benchmarks: played through the doors with a seeded
// random source and recorded by the game's own recorder. Needs the window and the seams.
#pragma once

#include <cstdint>
#include <string>

#include <QTemporaryDir>

#include "support/doubles.h"
#include "support/fixture.h"

namespace tarnix::board::testing {

// The golden key log; the same log over and over until the game ends (games of three
// minutes and more); or Space held so that rows rise every pass and the game is short.
enum class Play { kGolden, kLong, kQuick };

// The replay file of the game, with `name` as the table's name.
std::string RecordGame(tarnix::testing::ScriptedRandom& random, std::uint64_t seed, Play play,
                       const std::string& name);

// The game's fixture with a folder of its own, where the recorder keeps its files.
class RecordingGameTest : public tarnix::testing::GameTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  QTemporaryDir folder;
};

}  // namespace tarnix::board::testing
