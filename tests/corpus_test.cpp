// Every recorded game under tests/data/replays is a test: it replays to its recorded end,
// and its figures are the ones stored beside it (NAME.stats.json). A game is added by
// dropping its two files in the folder; the writer below made the first ones.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "input/input.h"
#include "replay/challenge.h"
#include "replay/format.h"
#include "replay/library.h"
#include "replay/replay.h"
#include "replay/stats.h"
#include "support/fixture.h"
#include "support/games.h"

namespace tarnix::testing {
namespace {

const std::string kCorpus = std::string(TARNIX_SOURCE_DIR) + "/tests/data/replays/";

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(kCorpus, error)) {
    if (entry.path().extension() == ".tnr") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ReplayCorpus : public GameTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(ReplayCorpus, VerifiesAndCountsTheStoredFigures) {
  const std::string path = kCorpus + GetParam() + ".tnr";
  const ReplayReadResult read = Replay_Parse(ReadAll(path));
  ASSERT_TRUE(read.record) << Replay_ErrorText(read);
  const ReplayOutcome out = Replay_Run(*read.record);
  EXPECT_TRUE(out.matches) << "replayed to level " << out.level << ", score " << out.score
                           << " at pass " << out.passes;
  const std::string stored = ReadAll(kCorpus + GetParam() + ".stats.json");
  ASSERT_FALSE(stored.empty()) << "no figures stored beside " << path;
  EXPECT_EQ(Stats_Json(Stats_Current()), stored);
}

INSTANTIATE_TEST_SUITE_P(Games, ReplayCorpus, ::testing::ValuesIn(CorpusFiles()),
                         [](const auto& info) {
                           std::string name = info.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

TEST(ReplayCorpusFolder, HoldsAtLeastADozenGames) { EXPECT_GE(CorpusFiles().size(), 12u); }

// Writes the corpus's games anew: run with --gtest_also_run_disabled_tests and the filter
// CorpusWriter.*, then review and commit the folder.
class CorpusWriter : public GameTest {
 protected:
  void Write(const std::string& name, const ReplayRecord& record) {
    const std::string stats = Stats_Json(Stats_Current());
    QDir().mkpath(QString::fromStdString(kCorpus));
    std::ofstream(kCorpus + name + ".tnr", std::ios::binary) << Replay_Format(record);
    std::ofstream(kCorpus + name + ".stats.json", std::ios::binary) << stats;
  }
  void Reset(int waitItem) {
    Module1.GamePhase = kTitle;
    Module1.KeyFlags = "000000";
    void (*waits[])() = {mnuO4_Click, mnuO5_Click, mnuO6_Click, mnuO7_Click};
    waits[waitItem]();
  }
};

TEST_F(CorpusWriter, DISABLED_WriteCorpus) {
  // Short: a row rises at every press of Space until the well is full.
  Reset(2);
  Write("short-rising", PlayRecorded(11, [](int) { Picture1_KeyDown(kSpace, 0); }));
  // Long: the player who goes round the well.
  Reset(0);
  Write("long-round-the-well", PlayRecorded(5, WellBot{}, 60000));
  // At every wait.
  for (int w = 0; w < 4; ++w) {
    Reset(w);
    Write("wait" + std::to_string(w) + "-bot",
          PlayRecorded(100 + w, [w](int p) { BotPass(p, w); }));
  }
  // The wait changed twice in play.
  Reset(2);
  Write("wait-changes", PlayRecorded(7, [](int p) {
          if (p == 300) mnuO7_Click();
          if (p == 700) mnuO4_Click();
          BotPass(p, 0);
        }));
  // A pad's buttons, through the pad's source, held together with the keyboard's keys.
  Reset(2);
  Write("pad", PlayRecorded(31, [](int p) {
          static bool shadow = false;
          if (p % 50 == 5) Input_KeyDown(1, kKeyZ);
          if (p % 50 == 9) Input_KeyUp(1, kKeyZ);
          if (p % 50 == 12) Input_KeyDown(1, kDown);
          if (p % 50 == 14) Input_KeyUp(1, kDown);
          if (p % 100 == 20) { Input_KeyDown(1, kLeft); shadow = true; }
          if (p % 100 == 40 && shadow) Input_KeyUp(1, kLeft);
          if (p % 100 == 60) Input_KeyDown(kKeyboardSource, kRight);
          if (p % 100 == 80) Input_KeyUp(kKeyboardSource, kRight);
        }));
  // A pause of 300 passes.
  Reset(2);
  Write("paused", PlayRecorded(2024, [](int p) {
          if (p == 400 || p == 700) Picture1_KeyDown(kEnter, 0);
          if (p == 401 || p == 701) Picture1_KeyUp(kEnter, 0);
          if (p < 400 || p > 700) BotPass(p, 1);
        }));
  // Back to the title from the Game menu.
  Reset(1);
  Write("back-to-title", PlayRecorded(99, [](int p) { BotPass(p, 2); }, 900));
  // The window closed in play.
  Reset(2);
  ReplayRecord quit;
  {
    Platform().random->Randomize(123);
    Module1.GamePhase = kTitle;
    Module1.MenuCursor = 0;
    Picture1_KeyDown(kEnter, 0);
    Picture1_KeyUp(kEnter, 0);
    for (int p = 1; p <= 500; ++p) {
      BotPass(p, 0);
      Main_Prog();
    }
    Replay_Unload(true);
    quit = Replay_Recording();
  }
  Write("quit-in-play", quit);
  // A second long game at the light wait.
  Reset(1);
  Write("long-light-wait", PlayRecorded(2024, WellBot{}, 60000));
}

// A race against the corpus's game at the normal wait, by another player.
TEST_F(CorpusWriter, DISABLED_WriteChallenge) {
  const ReplayReadResult entry = Replay_Parse(ReadAll(kCorpus + "wait2-bot.tnr"));
  ASSERT_TRUE(entry.record);
  Reset(2);
  ASSERT_TRUE(Challenge_Start(*entry.record, "wait2-bot"));
  WellBot bot;
  for (int pass = 1; pass <= 60000 && Replay_IsRecording(); ++pass) {
    bot(pass);
    Main_Prog();
  }
  Write("challenge", Replay_Recording());
}

}  // namespace
}  // namespace tarnix::testing
