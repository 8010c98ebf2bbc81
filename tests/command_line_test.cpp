// The command line never hangs: empty values are bad values, a file that is no regular file is
// refused at once, SIGINT and SIGTERM end a run wherever it stands, a path need not be UTF-8,
// Qt's own -display is honoured, and every message speaks the run's language.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <chrono>
#include <string>
#include <thread>

#include "core/run_options.h"
#include "replay/library.h"
#include "replay/replay.h"
#include "shell/command_line.h"
#include "support/fixture.h"
#include "support/processes.h"
#include "support/table_games.h"

namespace tarnix::testing {
namespace {

const std::string kGame = TARNIX_GAME_DIR "/tarnix";

class CommandLineRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    dir_ = folder_.path().toStdString() + "/";
  }
  // The game copied into the test's folder, where it keeps its files.
  std::string OwnCopy() {
    const std::string copy = dir_ + "tarnix";
    if (!QFile::exists(QString::fromStdString(copy))) {
      EXPECT_TRUE(QFile::copy(QString::fromStdString(kGame), QString::fromStdString(copy)));
    }
    return copy;
  }
  // A file that holds a verification for seconds: one long pause.
  std::string LongReplay() {
    ReplayRecord rec;
    rec.stamp = "20261207113000123";
    rec.passes = 2147483600u;
    rec.events = {{1, 'E'}, {2147483000u, 'E'}};
    PutBytes(dir_ + "long.tnr", Replay_Format(rec));
    return dir_ + "long.tnr";
  }
  std::string Fifo() {
    const std::string fifo = dir_ + "fifo.tnr";
    EXPECT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    return fifo;
  }

  QTemporaryDir folder_;
  std::string dir_;
};

TEST_F(CommandLineRun, EmptyValuesAndPipesEndAtOnceAndSignalsEndAnyRun) {
  for (const char* option : {"--verify", "--replay", "--lang", "--scale"}) {
    GameProcess run(kGame, {option, ""}, folder_.path().toStdString(),
                    {{"QT_QPA_PLATFORM", "offscreen"}});
    ASSERT_TRUE(run.Wait(20000)) << option << " \"\" waits for nothing";
    EXPECT_EQ(run.status(), 2) << option;
    EXPECT_EQ(run.err().rfind("tarnix: " + std::string(option), 0), 0u) << run.err();
  }

  const std::string fifo = Fifo();
  GameProcess verify(kGame, {"--lang", "en", "--verify", fifo}, folder_.path().toStdString());
  ASSERT_TRUE(verify.Wait(20000)) << "a named pipe is refused, never opened for a writer";
  EXPECT_EQ(verify.status(), 1);
  EXPECT_NE(verify.err().find("named pipe"), std::string::npos) << verify.err();

  GameProcess watch(OwnCopy(), {"--replay", fifo}, folder_.path().toStdString(),
                    {{"QT_QPA_PLATFORM", "offscreen"}});
  std::this_thread::sleep_for(std::chrono::seconds(2));
  ASSERT_TRUE(watch.running()) << "the refusal waits in a message box: " << watch.err();
  watch.Signal(SIGTERM);
  ASSERT_TRUE(watch.Wait(10000)) << "SIGTERM closes the box and the game";
  EXPECT_EQ(watch.status(), 0);

  const std::string longReplay = LongReplay();
  for (const int signal : {SIGINT, SIGTERM}) {
    GameProcess run(kGame, {"--verify", longReplay}, folder_.path().toStdString());
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(run.running()) << "the file holds a long verification";
    run.Signal(signal);
    ASSERT_TRUE(run.Wait(5000)) << "signal " << signal << " went unheard";
    EXPECT_EQ(run.killedBy(), signal) << "ended as a command ends";
  }
}

TEST_F(CommandLineRun, EveryMessageSpeaksTheRunsLanguage) {
  const std::string missing = dir_ + "missing.tnr";
  struct Case {
    std::vector<std::string> args;
    std::map<std::string, std::optional<std::string>> env;
    const char* expected;
  };
  const std::map<std::string, std::optional<std::string>> english{{"LANGUAGE", "en"}};
  const std::map<std::string, std::optional<std::string>> japanese{{"LANGUAGE", "ja"}};
  const std::map<std::string, std::optional<std::string>> noDisplay{
      {"LANGUAGE", "en"}, {"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt},
      {"QT_QPA_PLATFORM", std::nullopt}};
  const Case cases[] = {
      {{"--lang", "en", "--verify", missing}, japanese, "The replay file cannot be read."},
      {{"--verify", missing}, english, "The replay file cannot be read."},
      {{"--lang", "ja", "--verify", missing}, english, "リプレイファイルを読めません。"},
      {{"--lang", "ja"}, noDisplay, "tarnix: 使える画面がありません。"},
  };
  for (const Case& c : cases) {
    GameProcess run(kGame, c.args, folder_.path().toStdString(), c.env);
    ASSERT_TRUE(run.Wait(20000));
    EXPECT_EQ(run.status(), 1);
    EXPECT_NE(run.err().find(c.expected), std::string::npos) << run.err();
  }
}

TEST_F(CommandLineRun, QtsOwnDisplayOptionNamesTheDisplay) {
  const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
  if (xvfb.isEmpty()) GTEST_SKIP() << "Xvfb is not installed";
  ASSERT_EQ(mkdir((dir_ + "server").c_str(), 0755), 0);
  OwnXServer server(xvfb.toStdString(), dir_ + "server");
  ASSERT_FALSE(server.display().empty()) << "Xvfb did not start";

  GameProcess game(OwnCopy(), {"-display", server.display()}, folder_.path().toStdString(),
                   {{"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt},
                    {"QT_QPA_PLATFORM", std::nullopt}, {"SDL_AUDIODRIVER", "dummy"}});
  std::this_thread::sleep_for(std::chrono::seconds(3));
  EXPECT_TRUE(game.running()) << game.err();
  game.Signal(SIGTERM);
  ASSERT_TRUE(game.Wait(10000));
  EXPECT_EQ(game.status(), 0) << game.err();
}

TEST(CommandLineWorldTable, AnAddressIsMadeWholeAndNonsenseRefused) {
  EXPECT_EQ(CommandLine_Parse({"tarnix", "--lang", "ja", "--world-table", "127.0.0.1:8080"}),
            std::nullopt);
  EXPECT_EQ(RunOptions().WorldTable, "http://127.0.0.1:8080");
  for (const char* bad : {"ftp://127.0.0.1", "http://", "a b"}) {
    EXPECT_EQ(CommandLine_Parse({"tarnix", "--lang", "ja", "--world-table", bad}),
              std::optional<int>(2))
        << bad;
    EXPECT_EQ(RunOptions().WorldTable, "");
  }
  RunOptions() = CommandLine{};
}

TEST(CommandLineBytes, EveryArgumentComesBackByteForByte) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  const std::vector<std::string> given = {
      "/tmp/\x83\x5e\x81\x5b\x83\x8b/last.tnr",  // タール in Shift_JIS
      "Zoë 😀", all, "\xed\xa0\x80", "\xc0\xaf", "\xf4\x90\x80\x80", "tail\xe3\x81"};
  std::vector<std::string> storage = given;
  std::vector<char*> argv;
  for (std::string& s : storage) argv.push_back(s.data());
  const QStringList args = CommandLine_Arguments(static_cast<int>(argv.size()), argv.data());
  ASSERT_EQ(args.size(), static_cast<qsizetype>(given.size()));
  for (std::size_t i = 0; i < given.size(); ++i) {
    EXPECT_EQ(CommandLine_Bytes(args[static_cast<qsizetype>(i)]), given[i]) << i;
  }
  EXPECT_EQ(args[1], QStringLiteral("Zoë 😀")) << "UTF-8 reads as itself";
}

class CommandLineReplay : public GameTest {};

TEST_F(CommandLineReplay, AFolderNamedInShiftJisIsFound) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  Replay_Reset();
  Module1.AppPath = folder.path().toStdString() + "/";
  Module1.KeyFlags = "000000";
  ASSERT_TRUE(PlayToTheEnd(0));
  const std::string sjis = Module1.AppPath + "\x83\x5e\x81\x5b\x83\x8b/";
  ASSERT_EQ(mkdir(sjis.c_str(), 0755), 0);
  PutBytes(sjis + "game.tnr", FileBytes(ReplayLibrary_LastPath()));
  Replay_Reset();
  GameProcess run(kGame, {"--verify", sjis + "game.tnr"}, folder.path().toStdString());
  ASSERT_TRUE(run.Wait(20000));
  EXPECT_EQ(run.status(), 0) << run.err();
  EXPECT_TRUE(run.out().size() > 6 && run.out().substr(run.out().size() - 6) == "match\n")
      << run.out();
}

}  // namespace
}  // namespace tarnix::testing
