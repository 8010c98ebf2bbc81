// The world table end to end: the real tarnix-board on a loopback port, fed replays that
// the game records here, against SQLite and against a throwaway PostgreSQL cluster.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "board_process.h"
#include "games.h"
#include "playfield/playfield.h"
#include "server/storage.h"
#include "replay/format.h"
#include "replay/replay.h"
#include "shell/shell.h"
#include "support/fixture.h"

namespace tarnix::board::testing {
namespace {

QJsonObject JsonOf(const httplib::Result& r) {
  return r ? QJsonDocument::fromJson(QByteArray::fromStdString(r->body)).object() : QJsonObject();
}

std::string ErrorCode(const httplib::Result& r) {
  return JsonOf(r)[QStringLiteral("error")][QStringLiteral("code")].toString().toStdString();
}

class BoardTest : public RecordingGameTest, public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    RecordingGameTest::SetUp();
    if (std::string(GetParam()) == "postgresql") {
      std::string why;
      database = PostgresCluster::Get().NewDatabaseUrl(why);
      if (database.empty()) GTEST_SKIP() << why;
    } else {
      database = folder.path().toStdString() + "/board.db";
    }
  }
  void TearDown() override {
    server.Stop();
    RecordingGameTest::TearDown();
  }

  // A game played here through the doors and recorded as the player's game would be.
  std::string Record(std::uint64_t seed, bool golden, const std::string& name = "Ann") {
    std::string file = RecordGame(random, seed, golden ? Play::kGolden : Play::kQuick, name);
    EXPECT_FALSE(file.empty()) << "the game ended";
    return file;
  }

  std::string StartServer(const QStringList& extra = {},
                          const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    return server.Start(database, extra, env);
  }

  httplib::Result Submit(const std::string& file) {
    return server.Client()->Post("/api/v1/entries", file, "application/octet-stream");
  }

  QJsonArray Board(const std::string& which = "all") {
    const httplib::Result r = server.Client()->Get("/api/v1/boards/" + which);
    EXPECT_TRUE(r && r->status == 200) << which;
    return JsonOf(r)[QStringLiteral("entries")].toArray();
  }

  std::string database;
  BoardProcess server;
};

ReplayRecord Parsed(const std::string& file) {
  const ReplayReadResult r = Replay_Parse(file);
  EXPECT_TRUE(r.record);
  return r.record.value_or(ReplayRecord{});
}

TEST_P(BoardTest, HonestGamesRankAndEveryForgeryIsRefusedWithItsReason) {
  const std::string golden = Record(20240607, /*golden=*/true);
  const ReplayRecord honest = Parsed(golden);
  ASSERT_GT(honest.score, 0);

  // One input moved by one pass, chosen so that the game really goes elsewhere.
  std::string moved;
  for (std::size_t i = 0; i + 1 < honest.events.size() && moved.empty(); ++i) {
    if (honest.events[i + 1].pass <= honest.events[i].pass + 1) continue;
    ReplayRecord m = honest;
    ++m.events[i].pass;
    if (!Replay_Run(m).matches) moved = Replay_Format(m);
  }
  ASSERT_FALSE(moved.empty());
  ReplayRecord claim = honest;
  claim.score += 10;
  ReplayRecord seed = honest;
  seed.seed ^= 1;
  // Easy rows of its own choosing, under the cover of a race.
  ReplayRecord raced = honest;
  raced.challenge = "someone";
  raced.rows = std::string(11 * 40, '1');
  std::string rules = golden;
  rules.replace(rules.find("rules 1"), 7, "rules 2");

  ASSERT_EQ(StartServer(), "");
  const httplib::Result accepted = Submit(golden);
  ASSERT_TRUE(accepted);
  ASSERT_EQ(accepted->status, 201) << accepted->body;
  const QJsonObject entry = JsonOf(accepted)[QStringLiteral("entry")].toObject();
  EXPECT_EQ(entry[QStringLiteral("score")].toInt(), honest.score);
  EXPECT_EQ(entry[QStringLiteral("level")].toInt(), honest.level);
  EXPECT_EQ(entry[QStringLiteral("rank")].toInt(), 1);
  EXPECT_EQ(entry[QStringLiteral("name")].toString(), QStringLiteral("Ann"));

  for (const auto& [file, code] : std::vector<std::pair<std::string, std::string>>{
           {moved, "mismatch"},
           {Replay_Format(claim), "mismatch"},
           {Replay_Format(seed), "mismatch"},
           {rules, "rules_version"},
           {Replay_Format(raced), "challenge"},
           {golden.substr(0, golden.size() / 2), "damaged"},
           {"GET / HTTP/1.1", "not_replay"}}) {
    const httplib::Result r = Submit(file);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 422) << code << ": " << r->body;
    EXPECT_EQ(ErrorCode(r), code) << r->body;
  }

  // The same file again, and the same game under another name, change nothing: nobody
  // takes someone else's game for their own.
  const httplib::Result again = Submit(golden);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->status, 200);
  EXPECT_FALSE(JsonOf(again)[QStringLiteral("created")].toBool());
  ReplayRecord renamed = honest;
  renamed.name = "Mallory";
  const httplib::Result stolen = Submit(Replay_Format(renamed));
  ASSERT_TRUE(stolen);
  EXPECT_EQ(stolen->status, 200);
  EXPECT_EQ(JsonOf(stolen)[QStringLiteral("entry")][QStringLiteral("name")].toString(),
            QStringLiteral("Ann"));

  const std::string quick = Record(7, false, "Bo");
  ASSERT_EQ(Submit(quick)->status, 201);
  const QJsonArray board = Board();
  ASSERT_EQ(board.size(), 2);
  EXPECT_EQ(board[0][QStringLiteral("name")].toString(), QStringLiteral("Ann"));
  EXPECT_EQ(board[1][QStringLiteral("rank")].toInt(), 2);
  const httplib::Result file = server.Client()->Get(
      board[0][QStringLiteral("replay")].toString().toStdString());
  ASSERT_TRUE(file);
  EXPECT_EQ(file->body, golden) << "the replay is served exactly as it was submitted";
  EXPECT_EQ(server.Client()->Get("/api/v1/entries/999999/replay")->status, 404);
}

TEST_P(BoardTest, CrashingEndlessAndGreedyReplaysAreRefusedWhileOthersAreServed) {
  const std::string crash = Record(0xC0FFEE, false);
  const std::string hang = Record(0xBAD, false);
  const std::string greedy = Record(0x9EED, false);
  std::vector<std::string> honest;
  for (std::uint64_t s = 1; s <= 3; ++s) honest.push_back(Record(s, false));
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("TARNIX_BOARD_TEST_CRASH_SEED"), QStringLiteral("c0ffee"));
  env.insert(QStringLiteral("TARNIX_BOARD_TEST_HANG_SEED"), QStringLiteral("bad"));
  env.insert(QStringLiteral("TARNIX_BOARD_TEST_GREEDY_SEED"), QStringLiteral("9eed"));
  ASSERT_EQ(StartServer({QStringLiteral("--workers"), QStringLiteral("2"),
                         QStringLiteral("--replay-ms"), QStringLiteral("3000"),
                         QStringLiteral("--replay-memory-mb"), QStringLiteral("96")},
                        env),
            "");
  std::string crashCode, hangCode;
  std::thread crasher([&] { crashCode = ErrorCode(Submit(crash)); });
  std::thread hanger([&] { hangCode = ErrorCode(Submit(hang)); });
  int accepted = 0;
  for (const std::string& file : honest) {
    const httplib::Result r = Submit(file);
    if (r && r->status == 201) ++accepted;
  }
  crasher.join();
  hanger.join();
  EXPECT_EQ(crashCode, "crashed");
  EXPECT_EQ(hangCode, "timeout");
#if !defined(__SANITIZE_ADDRESS__)
  // A re-play that grows past its memory stops there (the sanitizer's build can set no limit).
  EXPECT_EQ(ErrorCode(Submit(greedy)), "crashed");
#endif
  EXPECT_EQ(accepted, 3) << "the pool kept serving";
  EXPECT_EQ(Board().size(), 3);

  // Each worker runs under its network filter, which nothing can lift.
  const std::vector<int> workers = server.Workers();
  for (int pid : workers) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::map<std::string, std::string> fields;
    for (std::string line; std::getline(status, line);) {
      const std::size_t colon = line.find(':');
      const std::size_t value = line.find_first_not_of(" \t", colon + 1);
      if (colon != std::string::npos && value != std::string::npos) {
        fields[line.substr(0, colon)] = line.substr(value);
      }
    }
    EXPECT_EQ(fields["Seccomp"], "2") << "worker " << pid;
    EXPECT_EQ(fields["NoNewPrivs"], "1") << "worker " << pid;
  }
  EXPECT_EQ(workers.size(), 2u);
}

TEST_P(BoardTest, EveryAcceptedEntrySurvivesKillAndRestart) {
  std::vector<std::string> games;
  for (std::uint64_t s = 100; s < 112; ++s) games.push_back(Record(s, false));
  ASSERT_EQ(StartServer({QStringLiteral("--workers"), QStringLiteral("2")}), "");
  std::mutex mutex;
  std::map<std::int64_t, std::string> acceptedFiles;
  std::atomic<std::size_t> next{0};
  auto submitter = [&] {
    for (std::size_t i; (i = next++) < games.size();) {
      const httplib::Result r = Submit(games[i]);
      if (!r || r->status != 201) return;  // the server is gone
      std::lock_guard lock(mutex);
      acceptedFiles[JsonOf(r)[QStringLiteral("entry")][QStringLiteral("id")].toInteger()] = games[i];
    }
  };
  std::thread a(submitter), b(submitter);
  for (;;) {
    {
      std::lock_guard lock(mutex);
      if (acceptedFiles.size() >= 4) break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  const std::vector<int> workers = server.Workers();
  ASSERT_EQ(workers.size(), 2u);
  server.Kill();  // in the middle of submissions
  a.join();
  b.join();
  for (int pid : workers) EXPECT_TRUE(Ended(pid, 5000)) << "worker " << pid << " outlived the server";
  ASSERT_GE(acceptedFiles.size(), 4u);

  for (int life = 0; life < 2; ++life) {
    ASSERT_EQ(StartServer(), "");
    std::set<std::int64_t> onBoard;
    for (const QJsonValue e : Board()) onBoard.insert(e[QStringLiteral("id")].toInteger());
    for (const auto& [id, file] : acceptedFiles) {
      EXPECT_TRUE(onBoard.count(id)) << "entry " << id << " was answered 201 and then lost";
      EXPECT_EQ(server.Client()->Get("/api/v1/entries/" + std::to_string(id) + "/replay")->body,
                file);
    }
    server.Stop();  // the second life ends the ordinary way
  }
}

TEST_P(BoardTest, TodaysSeedRanksOnTheDayAndOnTheAllTimeBoard) {
  ASSERT_EQ(StartServer(), "");
  const QJsonObject daily = JsonOf(server.Client()->Get("/api/v1/daily"));
  const std::string seedText = daily[QStringLiteral("seed")].toString().toStdString();
  ASSERT_EQ(seedText.size(), 16u);
  EXPECT_EQ(daily[QStringLiteral("rules")].toInt(), kRulesVersion);
  EXPECT_EQ(JsonOf(server.Client()->Get("/api/v1/daily"))[QStringLiteral("seed")].toString(),
            daily[QStringLiteral("seed")].toString())
      << "one seed a day";
  const std::string today = daily[QStringLiteral("date")].toString().toStdString();

  ASSERT_EQ(Submit(Record(5, false, "Other"))->status, 201);
  const httplib::Result r = Submit(Record(std::stoull(seedText, nullptr, 16), false, "Daily"));
  ASSERT_TRUE(r);
  ASSERT_EQ(r->status, 201) << r->body;
  const QJsonObject entry = JsonOf(r)[QStringLiteral("entry")].toObject();
  EXPECT_EQ(entry[QStringLiteral("day")].toString().toStdString(), today);
  EXPECT_EQ(entry[QStringLiteral("day_rank")].toInt(), 1);

  const QJsonArray day = Board("daily");
  ASSERT_EQ(day.size(), 1) << "only the game played with the day's seed";
  EXPECT_EQ(day[0][QStringLiteral("name")].toString(), QStringLiteral("Daily"));
  EXPECT_EQ(Board("daily?date=" + today).size(), 1);
  EXPECT_EQ(Board("daily?date=2001-02-03").size(), 0);
  EXPECT_EQ(Board("all").size(), 2);
  EXPECT_EQ(server.Client()->Get("/api/v1/boards/daily?date=yesterday")->status, 400);
}

TEST_P(BoardTest, FloodsAndOversizedBodiesAreTurnedAwayAndTheServerServesOn) {
  ASSERT_EQ(StartServer({QStringLiteral("--rate"), QStringLiteral("2"),
                         QStringLiteral("--max-body"), QStringLiteral("4096")}),
            "");
  const httplib::Result big = Submit(std::string(8192, 'x'));
  ASSERT_TRUE(big);
  EXPECT_EQ(big->status, 413);
  EXPECT_EQ(ErrorCode(big), "too_large");
  int limited = 0;
  for (int i = 0; i < 20; ++i) {
    const httplib::Result r = server.Client()->Get("/api/v1/boards/all");
    ASSERT_TRUE(r);
    if (r->status == 429) {
      ++limited;
      EXPECT_TRUE(r->has_header("Retry-After"));
      EXPECT_EQ(ErrorCode(r), "rate_limited");
    }
  }
  EXPECT_GE(limited, 10) << "two a second, bursts of six";
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  EXPECT_EQ(server.Client()->Get("/api/v1/boards/all")->status, 200) << "and then again";
}

// Servers that start together against one database migrate it once, and each finds it ready.
TEST_P(BoardTest, ServersStartingTogetherMigrateTheDatabaseOnce) {
  std::string errors[3];
  int versions[3] = {};
  std::vector<std::thread> starting;
  for (int i = 0; i < 3; ++i) {
    starting.emplace_back([&, i] {
      const std::unique_ptr<Storage> s = Storage::Open(database, errors[i]);
      if (s) versions[i] = s->SchemaVersion();
    });
  }
  for (std::thread& t : starting) t.join();
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(errors[i], "") << i;
    EXPECT_EQ(versions[i], 2) << i;
  }
}

// The page as a browser builds it: Debian's Chromium, headless, reads it from the server.
using BoardPageTest = BoardTest;

TEST_P(BoardPageTest, ChromiumShowsBothBoardsWithAHostileNameAsText) {
  const char* chromium = "/usr/bin/chromium";
  if (!QFile::exists(QString::fromLatin1(chromium))) {
    GTEST_SKIP() << "Chromium is not installed (scripts/setup.sh --test installs chromium)";
  }
  const std::string hostile = "<script>document.title='x'</script><img src=x onerror=alert(1)>";
  ASSERT_EQ(StartServer(), "");
  const QJsonObject daily = JsonOf(server.Client()->Get("/api/v1/daily"));
  const std::uint64_t daySeed =
      std::stoull(daily[QStringLiteral("seed")].toString().toStdString(), nullptr, 16);
  ASSERT_EQ(Submit(Record(daySeed, false, hostile))->status, 201);
  ASSERT_EQ(Submit(Record(3, false, "タール&ニックス"))->status, 201);

  QTemporaryDir profile;
  QProcess browser;
  browser.setProcessChannelMode(QProcess::SeparateChannels);
  browser.setProcessEnvironment(HomeIn(QProcessEnvironment::systemEnvironment(), profile.path()));
  browser.start(QString::fromLatin1(chromium),
                {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
                 QStringLiteral("--disable-gpu"), QStringLiteral("--disable-quic"),
                 QStringLiteral("--no-first-run"), QStringLiteral("--disable-background-networking"),
                 QStringLiteral("--disable-component-update"), QStringLiteral("--disable-sync"),
                 QStringLiteral("--user-data-dir=") + profile.path(), QStringLiteral("--dump-dom"),
                 QStringLiteral("http://127.0.0.1:%1/").arg(server.port())});
  const bool finished = browser.waitForFinished(120000);
  if (!finished) browser.kill();
  ASSERT_TRUE(finished) << "Chromium did not finish";
  const std::string dom = browser.readAllStandardOutput().toStdString();
  ASSERT_NE(dom.find("<title>Tarnix world table</title>"), std::string::npos)
      << "the script in the name never ran\n" << dom;
  EXPECT_EQ(dom.find("<script"), std::string::npos) << dom;
  EXPECT_EQ(dom.find("<img"), std::string::npos) << dom;
  const std::string shown =
      "&lt;script&gt;document.title='x'&lt;/script&gt;&lt;img src=x onerror=alert(1)&gt;";
  std::size_t first = dom.find(shown);
  ASSERT_NE(first, std::string::npos) << "the name is shown as it was typed\n" << dom;
  EXPECT_NE(dom.find(shown, first + 1), std::string::npos) << "on the day's board and all time";
  EXPECT_NE(dom.find("タール&amp;ニックス"), std::string::npos);
  EXPECT_NE(dom.find("Today's challenge"), std::string::npos);
  EXPECT_NE(dom.find("href=\"/api/v1/entries/1/replay\""), std::string::npos);
  EXPECT_NE(dom.find("href=\"/api/v1/entries/2/replay\""), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Browser, BoardPageTest, ::testing::Values("sqlite"),
                         [](const auto& info) { return std::string(info.param); });

INSTANTIATE_TEST_SUITE_P(Storage, BoardTest, ::testing::Values("sqlite", "postgresql"),
                         [](const auto& info) { return std::string(info.param); });

class StopCluster : public ::testing::Environment {
 public:
  void TearDown() override { PostgresCluster::Get().Stop(); }
};
const auto* const kStopCluster = ::testing::AddGlobalTestEnvironment(new StopCluster);

}  // namespace
}  // namespace tarnix::board::testing
