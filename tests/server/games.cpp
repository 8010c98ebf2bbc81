#include "games.h"

#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "playfield/playfield.h"
#include "replay/format.h"
#include "replay/replay.h"
#include "shell/shell.h"

namespace tarnix::board::testing {

namespace {

struct Key {
  int pass;
  bool down;
  Long code;
};

const std::vector<Key>& GoldenKeys() {
  static const std::vector<Key> keys = [] {
    static const std::map<std::string, Long> codes = {
        {"Enter", 13}, {"Space", 32}, {"Left", 37}, {"Up", 38},
        {"Right", 39}, {"Down", 40},  {"Z", 90},    {"X", 88}};
    std::vector<Key> k;
    std::ifstream in(std::string(TARNIX_SOURCE_DIR) + "/tests/data/replay_keys.txt");
    for (std::string line; std::getline(in, line);) {
      std::istringstream f(line);
      std::string pass, dir, name;
      if (!(f >> pass >> dir >> name) || pass == "passes" || line[0] == '#') continue;
      k.push_back({std::stoi(pass), dir == "down", codes.at(name)});
    }
    return k;
  }();
  return keys;
}

}  // namespace

std::string RecordGame(tarnix::testing::ScriptedRandom& random, std::uint64_t seed, Play play,
                       const std::string& name) {
  static const std::vector<Key> none;
  const std::vector<Key>& keys = play == Play::kQuick ? none : GoldenKeys();
  constexpr int kLogPasses = 2600;
  random.Randomize(seed);
  Module1.GamePhase = kTitle;
  Module1.MenuCursor = 0;
  Picture1_KeyDown(13, 0);
  Picture1_KeyUp(13, 0);
  std::size_t next = 0;
  for (int pass = 1; pass <= 40000 && (Module1.GamePhase == kPlaying ||
                                       Module1.GamePhase == kPaused);
       ++pass) {
    if (play == Play::kLong && pass % kLogPasses == 1) next = 0;
    const int logPass = play == Play::kLong ? (pass - 1) % kLogPasses + 1 : pass;
    for (; next < keys.size() && keys[next].pass == logPass; ++next) {
      if (keys[next].down) Picture1_KeyDown(keys[next].code, 0);
      else Picture1_KeyUp(keys[next].code, 0);
    }
    if (play == Play::kQuick) Picture1_KeyDown(32, 0);
    Main_Prog();
  }
  if (Replay_IsRecording()) return {};
  ReplayRecord r = Replay_Recording();
  r.name = name;
  return Replay_Format(r);
}

void RecordingGameTest::SetUp() {
  GameTest::SetUp();
  Replay_Reset();
  ASSERT_TRUE(folder.isValid());
  Module1.AppPath = folder.path().toStdString() + "/";
}

void RecordingGameTest::TearDown() {
  Replay_Reset();
  GameTest::TearDown();
}

}  // namespace tarnix::board::testing
