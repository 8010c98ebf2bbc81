// A recorded game played again through the key handlers and the main pass, with a fixed
// seed, and compared with the dump it gave when it was recorded. It guards every rule of
// play at once against accidental change.
//
// When a rule changes on purpose, rewrite the expected dump with
//   TARNIX_UPDATE_GOLDEN=1 build/tests/tarnix_tests --gtest_filter='Replay*'
// and say so in the commit that carries the new tests/data/replay_expected.txt.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "files/options.h"
#include "playfield/playfield.h"
#include "window/form1.h"
#include "shell/shell.h"
#include "support/fixture.h"

namespace tarnix::testing {
namespace {

constexpr std::uint64_t kSeed = 20240607;
const std::string kDataDir = std::string(TARNIX_SOURCE_DIR) + "/tests/data/";

struct KeyEvent {
  int pass = 0;
  bool down = false;
  Long code = 0;
};

Long KeyCode(const std::string& name) {
  static const std::map<std::string, Long> codes = {
      {"Enter", 13}, {"Space", 32}, {"Left", 37}, {"Up", 38},
      {"Right", 39}, {"Down", 40},  {"Z", 90},    {"X", 88}};
  const auto found = codes.find(name);
  return found == codes.end() ? 0 : found->second;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class ReplayTest : public GameTest {
 protected:
  // Reads the recorded keys; false (with a failure) when the file is unusable.
  bool LoadKeys(int& passes, std::vector<KeyEvent>& events) {
    std::ifstream in(kDataDir + "replay_keys.txt");
    if (!in) {
      ADD_FAILURE() << "missing " << kDataDir << "replay_keys.txt";
      return false;
    }
    passes = 0;
    for (std::string line; std::getline(in, line);) {
      if (line.empty() || line[0] == '#') continue;
      std::istringstream fields(line);
      std::string first, direction, key;
      fields >> first;
      if (first == "passes") {
        fields >> passes;
        continue;
      }
      fields >> direction >> key;
      const KeyEvent event{std::atoi(first.c_str()), direction == "down", KeyCode(key)};
      if (event.pass < 1 || event.code == 0 || (direction != "down" && direction != "up")) {
        ADD_FAILURE() << "bad key line: " << line;
        return false;
      }
      events.push_back(event);
    }
    return passes > 0;
  }

  void Checkpoint(std::ostream& out, int pass) {
    out << "pass " << pass << " phase " << Module1.GamePhase << " score " << Module1.Score
        << " level " << Module1.Level << " red " << Module1.RedStock << " blue "
        << Module1.BlueStock << " rows-to-level " << Module1.RowsToLevel << " player "
        << form().Picture2.Left() << "\n";
    std::map<std::string, int> sounds;
    for (const std::string& name : sound.Names()) sounds[name] += 1;
    out << "sounds";
    for (const auto& [name, count] : sounds) out << " " << name << "=" << count;
    out << "\nbombs";
    for (const BombRecord& b : Module1.Bombs) {
      out << " " << b.State << ":" << b.Kind << "@" << b.X << "," << b.Y << "/" << b.Age;
    }
    out << "\ngifts";
    for (int k = 0; k < kGiftSlots; ++k) {
      const GiftRecord& g = Module1.Gifts[k];
      if (g.Active) out << " " << k << ":" << g.Kind << "/" << g.Timer;
    }
    out << "\n";
    for (int r = 0; r < 14; ++r) out << "  " << Module1.Board.substr(17 * r + 3, 11) << "\n";
  }

  // Plays the recorded keys from a fresh game; the dump of checkpoints it gives.
  std::string Play(int passes, const std::vector<KeyEvent>& events, std::size_t& next,
                   int& giftsSpawned) {
    std::ostringstream dump;
    random.Randomize(kSeed);
    Module1.WaitMs = 0;
    Game_Start();
    Module1.GamePhase = kPlaying;

    for (int pass = 1; pass <= passes; ++pass) {
      for (; next < events.size() && events[next].pass == pass; ++next) {
        if (events[next].down) {
          Picture1_KeyDown(events[next].code, 0);
        } else {
          Picture1_KeyUp(events[next].code, 0);
        }
      }
      const std::size_t waits = clock.waits.size();
      Main_Prog();
      // With no game over, pauses come only from chains: one for a single generation, two
      // more for each further one.
      if (Module1.GamePhase == kPlaying && clock.waits.size() - waits >= 3) ++chains;
      // The gift step runs before the bombs, so a timer still at 60 is a gift of this pass.
      for (const GiftRecord& g : Module1.Gifts) giftsSpawned += g.Active == 1 && g.Timer == 60;
      if (pass % 100 == 0) Checkpoint(dump, pass);
    }
    return dump.str();
  }

  int chains = 0;  // passes in which a chain of two or more generations was resolved
};

TEST_F(ReplayTest, RecordedGameEndsAsRecorded) {
  int passes = 0;
  std::vector<KeyEvent> events;
  ASSERT_TRUE(LoadKeys(passes, events));

  std::size_t next = 0;
  int giftsSpawned = 0;
  std::ostringstream dump;
  dump << Play(passes, events, next, giftsSpawned);
  ASSERT_EQ(next, events.size()) << "key events after the last pass";
  dump << "end\n";
  Checkpoint(dump, passes);

  int bombSounds = 0;
  int getSounds = 0;
  for (const std::string& name : sound.Names()) {
    bombSounds += name == "bomb";
    getSounds += name == "get";
  }
  // What makes the replay worth guarding: real play happened.
  EXPECT_GE(bombSounds, 20) << "bombs went off";
  EXPECT_GE(chains, 3) << "chains of several generations";
  EXPECT_GE(giftsSpawned, 3) << "gifts were dropped";
  EXPECT_GE(getSounds, 1) << "and collected";
  EXPECT_GE(Module1.Level, 2) << "rows rose past a level";
  EXPECT_NE(Module1.GamePhase, kPlaying) << "the game ended";
  std::cout << "[ replay   ] bomb sounds " << bombSounds << ", chains " << chains
            << ", gifts dropped " << giftsSpawned << ", taken " << getSounds << ", level "
            << Module1.Level << ", score " << Module1.Score << "\n";

  const std::string expectedPath = kDataDir + "replay_expected.txt";
  const char* update = std::getenv("TARNIX_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    std::ofstream(expectedPath) << dump.str();
    std::cout << "[ replay   ] rewrote " << expectedPath << "\n";
    return;
  }
  std::ifstream in(expectedPath);
  ASSERT_TRUE(in) << "missing " << expectedPath << "; TARNIX_UPDATE_GOLDEN=1 writes it";
  std::stringstream expected;
  expected << in.rdbuf();
  const std::vector<std::string> want = Lines(expected.str());
  const std::vector<std::string> got = Lines(dump.str());
  for (std::size_t i = 0; i < std::min(want.size(), got.size()); ++i) {
    ASSERT_EQ(got[i], want[i]) << "first difference at line " << i + 1 << " of " << expectedPath;
  }
  ASSERT_EQ(got.size(), want.size()) << "the dump has a different length";
}

// The marks recolour sprites and the gentle flashes change what a flash looks like, never a
// pixel the rules read: the recorded game ends exactly as without them.
TEST_F(ReplayTest, MarksAndGentleFlashesLeaveTheGameAsRecorded) {
  int passes = 0;
  std::vector<KeyEvent> events;
  ASSERT_TRUE(LoadKeys(passes, events));
  Options().BombMarks = true;
  Options().GentleFlashes = true;
  BombMarks_Apply(true);
  std::size_t next = 0;
  int giftsSpawned = 0;
  std::ostringstream dump;
  dump << Play(passes, events, next, giftsSpawned) << "end\n";
  Checkpoint(dump, passes);

  std::ifstream in(kDataDir + "replay_expected.txt");
  ASSERT_TRUE(in);
  std::stringstream expected;
  expected << in.rdbuf();
  EXPECT_EQ(dump.str(), expected.str());
  EXPECT_GE(chains, 3) << "the flashes were put to the test";
}

}  // namespace
}  // namespace tarnix::testing
