// Every game recorded at the game's doors, kept beside the high-score table, and played
// back or verified exactly.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "files/files.h"
#include "playfield/playfield.h"
#include "replay/library.h"
#include "replay/replay.h"
#include "replay/watch.h"
#include "scores/scores.h"
#include "shell/shell.h"
#include "support/fixture.h"

namespace tarnix::testing {
namespace {

const std::string kDataDir = std::string(TARNIX_SOURCE_DIR) + "/tests/data/";

struct Key {
  int pass;
  bool down;
  Long code;
};

// The golden replay's key log: real play with chains, gifts and several levels.
std::vector<Key> GoldenKeys() {
  static const std::map<std::string, Long> codes = {
      {"Enter", 13}, {"Space", 32}, {"Left", 37}, {"Up", 38},
      {"Right", 39}, {"Down", 40},  {"Z", 90},    {"X", 88}};
  std::vector<Key> keys;
  std::ifstream in(kDataDir + "replay_keys.txt");
  for (std::string line; std::getline(in, line);) {
    std::istringstream f(line);
    std::string pass, dir, name;
    if (!(f >> pass >> dir >> name) || pass == "passes" || line[0] == '#') continue;
    keys.push_back({std::stoi(pass), dir == "down", codes.at(name)});
  }
  return keys;
}

std::string Snapshot() {
  std::ostringstream s;
  s << Module1.GamePhase << " " << Module1.Score << " " << Module1.Level << " "
    << Module1.WaitMs << " " << Form1->Picture2.Left() << " " << Module1.Board << " "
    << Module1.KeyFlags;
  for (const BombRecord& b : Module1.Bombs) s << " " << b.State << "," << b.X << "," << b.Y;
  return s.str();
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class RecordingTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    Replay_Reset();
    ASSERT_TRUE(folder.isValid());
    Module1.AppPath = folder.path().toStdString() + "/";
    Module1.GamePhase = kTitle;
    Module1.KeyFlags = "000000";
  }
  void TearDown() override {
    Replay_Reset();
    GameTest::TearDown();
  }

  // Starts a game from the title through the Enter key, as a player does.
  void StartFromTitle() {
    Module1.GamePhase = kTitle;
    Module1.MenuCursor = 0;
    Picture1_KeyDown(13, 0);
    Picture1_KeyUp(13, 0);
  }

  // A short game that ends with `score`: Space makes a row rise every pass.
  void QuickGame(Long score, const std::string& name) {
    StartFromTitle();
    Module1.Score = score;
    for (int pass = 0; pass < 400 && Module1.GamePhase == kPlaying; ++pass) {
      Picture1_KeyDown(32, 0);
      Main_Prog();
    }
    ASSERT_EQ(Module1.GamePhase, kNameEntry);
    form().Text1.SetText(name);
    Text1_KeyDown(13, 0);
  }

  int FilesInLibrary() {
    return static_cast<int>(
        QDir(QString::fromStdString(ReplayLibrary_Folder())).entryList(QDir::Files).size());
  }

  QTemporaryDir folder;
};

TEST_F(RecordingTest, RecordedGamePlaysBackIdenticallyAtEveryPass) {
  const std::vector<Key> keys = GoldenKeys();
  ASSERT_GT(keys.size(), 100u);
  random.Randomize(20240607);  // the golden replay's seed: a long game
  StartFromTitle();
  std::vector<std::string> recorded;
  std::size_t next = 0;
  for (int pass = 1; pass <= 6000 && (Module1.GamePhase == kPlaying ||
                                      Module1.GamePhase == kPaused); ++pass) {
    for (; next < keys.size() && keys[next].pass == pass; ++next) {
      if (keys[next].down) Picture1_KeyDown(keys[next].code, 0);
      else Picture1_KeyUp(keys[next].code, 0);
      // A second source (the pad's poller) presses through the same doors: a repeat of
      // a held key is dropped, a fresh press kept.
      if (keys[next].down) Picture1_KeyDown(keys[next].code, 0);
    }
    if (pass == 300) mnuO7_Click();  // the wait changed mid-game, twice
    if (pass == 900) mnuO5_Click();
    if (pass == 1200) Picture1_KeyDown(13, 0);  // a pause of 150 passes
    if (pass == 1350) Picture1_KeyDown(13, 0);
    Main_Prog();
    recorded.push_back(Snapshot());
  }
  ASSERT_FALSE(Replay_IsRecording()) << "the game ended and its recording with it";
  const ReplayRecord& rec = Replay_Recording();
  EXPECT_EQ(rec.passes, recorded.size());
  EXPECT_EQ(rec.score, Module1.Score);
  EXPECT_GT(rec.score, 0);

  const std::string file = ReadAll(ReplayLibrary_LastPath());
  EXPECT_LT(file.size(), 16u * 1024) << "a game of " << rec.passes << " passes";
  std::cout << "[ replay   ] " << rec.passes << " passes, " << rec.events.size()
            << " events, " << file.size() << " bytes\n";
  const ReplayReadResult read = Replay_Parse(file);
  ASSERT_TRUE(read.record);

  // Somewhere else entirely before playing back: another seed, another wait, the title.
  random.Randomize(1);
  mnuO4_Click();
  Module1.GamePhase = kTitle;
  std::vector<std::string> replayed;
  const ReplayOutcome out =
      Replay_Run(*read.record, [&] { replayed.push_back(Snapshot()); });
  ASSERT_EQ(replayed.size(), recorded.size());
  for (std::size_t i = 0; i < recorded.size(); ++i) {
    ASSERT_EQ(replayed[i], recorded[i]) << "first difference after pass " << i + 1;
  }
  EXPECT_TRUE(out.matches);
}

TEST_F(RecordingTest, VerifyPassesTheHonestFileAndFailsEditedOrBadOnes) {
  random.Randomize(99);
  StartFromTitle();
  for (int pass = 1; Module1.GamePhase == kPlaying && pass < 3000; ++pass) {
    if (pass % 40 == 1) Picture1_KeyDown(pass % 80 == 1 ? 37 : 39, 0);
    if (pass % 40 == 20) Picture1_KeyUp(pass % 80 == 20 ? 37 : 39, 0);
    if (pass % 90 == 5) Picture1_KeyDown(90, 0);
    if (pass % 90 == 9) Picture1_KeyUp(90, 0);
    if (pass % 90 == 12) Picture1_KeyDown(40, 0);
    if (pass % 90 == 14) Picture1_KeyUp(40, 0);
    Main_Prog();
  }
  const std::string honest = ReadAll(ReplayLibrary_LastPath());
  const std::string dir = folder.path().toStdString() + "/";
  auto write = [&](const std::string& name, const std::string& bytes) {
    std::ofstream(dir + name, std::ios::binary) << bytes;
    return dir + name;
  };
  EXPECT_EQ(Replay_VerifyFile(write("honest.tnr", honest)), 0);

  std::string claimed = honest;
  const std::size_t end = claimed.find("\nend ");
  const std::size_t eol = claimed.find('\n', end + 1);
  claimed.replace(eol - 1, 1, claimed[eol - 1] == '9' ? "8" : "9");  // the score's last digit
  EXPECT_EQ(Replay_VerifyFile(write("claimed.tnr", claimed)), 1);

  std::string rules = honest;
  rules.replace(rules.find("rules 1"), 7, "rules 7");
  const ReplayReadResult refused = Replay_Parse(rules);
  EXPECT_EQ(refused.error, ReplayError::kRulesVersion);
  EXPECT_NE(Replay_ErrorText(refused).find('7'), std::string::npos) << "says which rules";
  EXPECT_EQ(Replay_VerifyFile(write("rules.tnr", rules)), 1);

  // Every truncation is refused, never played as a shorter game.
  for (std::size_t n = 0; n < honest.size(); ++n) {
    ASSERT_FALSE(Replay_Parse(std::string_view(honest).substr(0, n)).record) << n << " bytes";
  }
  // Nothing changes when a bad file is asked for: no game, the table and screen as they were.
  Module1.GamePhase = kScoreView;
  const auto table = Module1.HiScore;
  messages.shown.clear();
  EXPECT_FALSE(Replay_WatchFile(write("garbled.tnr", honest.substr(0, 40) + "\x01\xff" +
                                                         honest.substr(42))));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].first.find("garbled.tnr"), std::string::npos);
  EXPECT_FALSE(Replay_IsPlaying());
  EXPECT_EQ(Module1.GamePhase, kScoreView);
  EXPECT_EQ(Module1.HiScore[0].Score, table[0].Score);
}

TEST_F(RecordingTest, TableKeepsTheReplaysOfItsEntriesAcrossARestart) {
  for (int k = 0; k < kHiScoreRanks; ++k) {
    Module1.HiScore[k] = HiScoreEntry{"P" + std::to_string(k), 1, std::to_string(500 - 100 * k)};
  }
  QuickGame(150, "First");
  const std::string first = ReplayLibrary_PathFor(4);
  ASSERT_FALSE(first.empty()) << "the game that entered the table keeps its replay";
  EXPECT_EQ(ReplayLibrary_Read(first).record->name, "First");
  QuickGame(160, "Second");
  EXPECT_FALSE(QFile::exists(QString::fromStdString(first))) << "pushed out, replay gone";
  EXPECT_EQ(FilesInLibrary(), 2) << "the entry's replay and the last game's";
  const std::string second = ReplayLibrary_PathFor(4);
  ASSERT_FALSE(second.empty());

  // A restart: the table is read back from Tarnix.ini, the link from the file name.
  ASSERT_TRUE(Settings_Save());
  Module1_Reset();
  Replay_Reset();
  Module1.AppPath = folder.path().toStdString() + "/";
  Settings_Load();
  ASSERT_EQ(Module1.HiScore[4].Name, "Second");
  EXPECT_EQ(ReplayLibrary_PathFor(4), second);
  for (int k = 0; k < 4; ++k) EXPECT_TRUE(ReplayLibrary_PathFor(k).empty());

  // Watching it from the high-score view, and coming back to it.
  Module1.GamePhase = kTitle;
  Module1.MenuCursor = 1;
  Picture1_KeyDown(13, 0);
  ASSERT_EQ(Module1.GamePhase, kScoreView);
  EXPECT_EQ(Watch_Highlighted(), -1) << "the view opens as it always did";
  EXPECT_EQ(form().Label3[15].Caption(), "Push Enter Key");
  Picture1_KeyDown(40, 0);
  EXPECT_EQ(Watch_Highlighted(), 4) << "Down goes to the one entry with a replay";
  EXPECT_EQ(form().Label3[15].Caption(), "Z Key : Replay");
  const auto table = Module1.HiScore;
  Picture1_KeyDown(90, 0);
  ASSERT_TRUE(Replay_IsPlaying());
  EXPECT_EQ(Module1.GamePhase, kPlaying);
  Picture1_KeyDown(38, 0);
  EXPECT_EQ(Replay_PassesThisTurn(), 2) << "Up doubles the speed";
  Picture1_KeyDown(40, 0);
  EXPECT_EQ(Replay_PassesThisTurn(), 1);
  for (int pass = 0; pass < 1000 && Replay_IsPlaying(); ++pass) Main_Prog();
  EXPECT_FALSE(Replay_IsPlaying()) << "the end returns";
  EXPECT_EQ(Module1.GamePhase, kScoreView);
  EXPECT_TRUE(form().Picture8.Visible());
  EXPECT_EQ(Module1.HiScore[4].Name, table[4].Name) << "the replay's game changed no entry";
  // Escape stops it at once.
  Picture1_KeyDown(90, 0);
  Picture1_KeyUp(90, 0);
  ASSERT_TRUE(Replay_IsPlaying());
  Main_Prog();
  Picture1_KeyDown(27, 0);
  EXPECT_FALSE(Replay_IsPlaying());
  EXPECT_EQ(Module1.GamePhase, kScoreView);
  EXPECT_EQ(Watch_Highlighted(), 4);

  // A game that scores nothing ends on the game-over screen, which offers it at once.
  StartFromTitle();
  for (int pass = 0; pass < 400 && Module1.GamePhase == kPlaying; ++pass) {
    Picture1_KeyDown(32, 0);
    Main_Prog();
  }
  ASSERT_EQ(Module1.GamePhase, kGameOverView);
  Picture1_KeyDown(90, 0);
  EXPECT_TRUE(Replay_IsPlaying());
  EXPECT_EQ(Replay_Recording().score, 0);
}

TEST_F(RecordingTest, VerifyFromTheCommandLine) {
  random.Randomize(5);
  StartFromTitle();
  for (int pass = 1; Module1.GamePhase == kPlaying && pass < 3000; ++pass) {
    if (pass % 50 == 1) Picture1_KeyDown(90, 0);
    if (pass % 50 == 3) Picture1_KeyUp(90, 0);
    if (pass % 50 == 8) Picture1_KeyDown(40, 0);
    if (pass % 50 == 10) Picture1_KeyUp(40, 0);
    Main_Prog();
  }
  QProcess tarnix;
  tarnix.start(QStringLiteral(TARNIX_GAME_DIR "/tarnix"),
               {QStringLiteral("--verify"), QString::fromStdString(ReplayLibrary_LastPath())});
  ASSERT_TRUE(tarnix.waitForFinished(20000));
  const QString out = QString::fromUtf8(tarnix.readAllStandardOutput());
  EXPECT_EQ(tarnix.exitCode(), 0) << out.toStdString() << tarnix.readAllStandardError().toStdString();
  EXPECT_TRUE(out.contains(QStringLiteral("score %1").arg(Module1.Score))) << out.toStdString();
  EXPECT_TRUE(out.endsWith(QStringLiteral("match\n")));
}

}  // namespace
}  // namespace tarnix::testing
