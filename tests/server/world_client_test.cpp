// The game's side of the world table against the real server on the loopback: a game kept
// while the server is down and sent once it is up; boards, the day's seed and a replay read
// back; a server answering garbage is a message, never a lost game.
#include <gtest/gtest.h>

#include <QTest>
#include <QTemporaryDir>

#include <thread>

#include "board_process.h"
#include "games.h"
#include "replay/format.h"
#include "replay/replay.h"
#include "replay/world.h"
#include "shell/shell.h"
#include "support/fixture.h"

namespace tarnix::board::testing {
namespace {

class WorldClientTest : public RecordingGameTest {
 protected:
  void SetUp() override {
    RecordingGameTest::SetUp();
    world = std::make_unique<WorldTable>(folder.path() + QStringLiteral("/outbox"));
    connect();
  }
  void TearDown() override {
    world.reset();
    server.Stop();
    RecordingGameTest::TearDown();
  }

  void connect() {
    QObject::connect(world.get(), &WorldTable::Failed, [this](const QString& m) { failures << m; });
    QObject::connect(world.get(), &WorldTable::Refused, [this](const QString& m) { refusals << m; });
    QObject::connect(world.get(), &WorldTable::Accepted,
                     [this](const WorldEntry& e, bool) { accepted.push_back(e); });
    QObject::connect(world.get(), &WorldTable::BoardArrived,
                     [this](WorldBoard, const std::vector<WorldEntry>& e) { board = e; ++boards; });
    QObject::connect(world.get(), &WorldTable::DailyArrived,
                     [this](const QString&, std::uint64_t seed, int rules) {
                       daySeed = seed;
                       dayRules = rules;
                     });
    QObject::connect(world.get(), &WorldTable::ReplayArrived,
                     [this](qint64, const QByteArray& file) { replay = file; });
  }

  BoardProcess server;
  std::unique_ptr<WorldTable> world;
  QStringList failures, refusals;
  std::vector<WorldEntry> accepted, board;
  int boards = 0;
  std::uint64_t daySeed = 0;
  int dayRules = -1;
  QByteArray replay;
};

TEST_F(WorldClientTest, AGameWaitsWhileTheServerIsDownAndArrivesOnceItIsUp) {
  const std::string game = RecordGame(random, 11, Play::kQuick, "Kai");
  ASSERT_FALSE(game.empty());
  EXPECT_FALSE(world->Submit(game)) << "no address: nothing is kept, nothing sent";
  EXPECT_EQ(world->Waiting(), 0);

  const int port = FreeLoopbackPort();
  world->SetAddress(QStringLiteral("http://127.0.0.1:%1/").arg(port));
  ASSERT_TRUE(world->Submit(game));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !failures.isEmpty(); }, 20000));
  EXPECT_TRUE(failures.front().contains(QStringLiteral("接続できません"))) << failures.front().toStdString();
  EXPECT_EQ(world->Waiting(), 1) << "kept for later";

  ASSERT_EQ(server.Start(folder.path().toStdString() + "/board.db",
                         {QStringLiteral("--port"), QString::number(port)}),
            "");
  world->SendWaiting();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !accepted.empty(); }, 60000));
  EXPECT_EQ(accepted.front().name, QStringLiteral("Kai"));
  EXPECT_EQ(world->Waiting(), 0);

  world->FetchBoard(WorldBoard::kAllTime);
  ASSERT_TRUE(QTest::qWaitFor([&] { return boards == 1; }, 20000));
  ASSERT_EQ(board.size(), 1u);
  EXPECT_EQ(board[0].rank, 1);
  world->FetchReplay(board[0].id);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !replay.isEmpty(); }, 20000));
  EXPECT_EQ(replay.toStdString(), game) << "the world entry can be watched as it was played";

  world->FetchDaily();
  ASSERT_TRUE(QTest::qWaitFor([&] { return daySeed != 0; }, 20000));
  Module1.GamePhase = kTitle;
  EXPECT_FALSE(World_StartChallenge(daySeed, dayRules + 1)) << "a day of other rules";
  ASSERT_TRUE(World_StartChallenge(daySeed, dayRules));
  for (int pass = 0; pass < 5000 && Module1.GamePhase == kPlaying; ++pass) {
    Picture1_KeyDown(32, 0);
    Main_Prog();
  }
  ReplayRecord challenge = Replay_Recording();
  EXPECT_EQ(challenge.seed, daySeed) << "the challenge is played and recorded with the day's seed";
  challenge.name = "Kai";
  ASSERT_TRUE(world->Submit(Replay_Format(challenge)));
  ASSERT_TRUE(QTest::qWaitFor([&] { return accepted.size() == 2; }, 60000));
  world->FetchBoard(WorldBoard::kToday);
  ASSERT_TRUE(QTest::qWaitFor([&] { return boards == 2; }, 20000));
  ASSERT_EQ(board.size(), 1u) << "today's board holds the challenge only";
  EXPECT_EQ(board[0].rank, 1);

  ReplayRecord forged = *Replay_Parse(game).record;
  forged.score += 5;
  ASSERT_TRUE(world->Submit(Replay_Format(forged)));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !refusals.isEmpty(); }, 60000));
  EXPECT_EQ(world->Waiting(), 0) << "a refused game is not sent again";
  EXPECT_EQ(QDir(folder.path() + QStringLiteral("/outbox/refused")).entryList(QDir::Files).size(), 1)
      << "but it is kept";
}

TEST_F(WorldClientTest, AServerAnsweringGarbageIsAClearMessageAndNoGameIsLost) {
  httplib::Server garbage;
  auto nonsense = [](const httplib::Request&, httplib::Response& res) {
    res.set_content("<html>not the world table</html>", "text/html");
  };
  garbage.set_keep_alive_max_count(1);
  garbage.Get(".*", nonsense);
  garbage.Post(".*", nonsense);
  const int port = garbage.bind_to_any_port("127.0.0.1");
  std::thread serving([&] { garbage.listen_after_bind(); });

  world->SetAddress(QStringLiteral("http://127.0.0.1:%1").arg(port));
  ASSERT_TRUE(world->Submit(RecordGame(random, 12, Play::kQuick, "Kai")));
  world->FetchBoard(WorldBoard::kAllTime);
  world->FetchDaily();
  ASSERT_TRUE(QTest::qWaitFor([&] { return failures.size() == 3; }, 20000));
  for (const QString& m : failures) {
    EXPECT_TRUE(m.contains(QStringLiteral("読めませんでした"))) << m.toStdString();
  }
  EXPECT_EQ(boards, 0);
  EXPECT_EQ(daySeed, 0u);
  EXPECT_EQ(world->Waiting(), 1) << "the game waits for a real world table";
  garbage.stop();
  serving.join();
}

}  // namespace
}  // namespace tarnix::board::testing
