// The game with a world table, against the real server on the loopback: nothing is asked of
// the network without an address; a game sent from the game-over screen is accepted, listed
// and drawn in the world view, and watched there to its end; a game sent while the server is
// down waits in the outbox and goes once it is up; the view changes boards with the keys and
// with a pad.
#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <atomic>
#include <thread>

#include "board_process.h"
#include "core/keys.h"
#include "files/options.h"
#include "games.h"
#include "input/input.h"
#include "input/settings_screen.h"
#include "replay/challenge.h"
#include "replay/format.h"
#include "replay/replay.h"
#include "replay/watch.h"
#include "replay/world.h"
#include "replay/world_view.h"
#include "shell/shell.h"
#include "support/virtual_pad.h"

namespace tarnix::board::testing {
namespace {

class WorldGameTest : public RecordingGameTest {
 protected:
  void TearDown() override {
    pad.reset();
    Pad_Stop();
    World_Stop();
    server.Stop();
    RecordingGameTest::TearDown();
  }

  static void Press(Long code) {
    Input_KeyDown(kKeyboardSource, code);
    Input_KeyUp(kKeyboardSource, code);
  }
  QString Outbox() const { return folder.path() + QStringLiteral("/world-outbox"); }
  QString Address(int port) const { return QStringLiteral("http://127.0.0.1:%1").arg(port); }

  // A game played from the title with Space held, which ends it soon, to its game-over screen.
  void PlayToGameOver(std::uint64_t seed) {
    ASSERT_FALSE(RecordGame(random, seed, Play::kQuick, "").empty());
    ASSERT_EQ(Module1.GamePhase, kGameOverView);
  }
  void OpenScores() {
    Module1.GamePhase = kTitle;
    Module1.MenuCursor = 0;
    Press(kDown);
    Press(kEnter);
    ASSERT_EQ(Module1.GamePhase, kScoreView);
  }
  int BoardSize() {
    auto reply = server.Client()->Get("/api/v1/boards/all");
    if (!reply || reply->status != 200) return -1;
    return QJsonDocument::fromJson(QByteArray::fromStdString(reply->body))
        .object()
        .value(QStringLiteral("entries"))
        .toArray()
        .size();
  }
  bool Loaded(std::size_t entries) {
    return QTest::qWaitFor(
        [&] { return WorldView_Status().isEmpty() && WorldView_Entries().size() == entries; },
        30000);
  }
  // Pixels of the highlight's red, and of the lettering's yellow (its edges blended into what
  // lies under it), in a rectangle of the high-score panel.
  int Pixels(const QRect& area, QRgb colour) {
    const QImage& panel = form().Picture8.Image();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) {
        const QRgb c = panel.pixel(x, y);
        n += colour == kLettering ? qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) < 100
                                  : (c & 0xFFFFFF) == colour;
      }
    }
    return n;
  }
  static constexpr QRgb kLettering = 0xFFFF00;

  BoardProcess server;
  std::unique_ptr<tarnix::testing::VirtualPad> pad;
};

TEST_F(WorldGameTest, WithoutAnAddressNothingIsSentOrAsked) {
  ASSERT_EQ(server.Start(folder.path().toStdString() + "/board.db"), "");
  World_Start();
  ASSERT_NE(World_Table(), nullptr);
  PlayToGameOver(21);
  EXPECT_TRUE(WorldView_Note().isEmpty()) << "no offer to send where there is nowhere to send";
  Press(kWorldSendKey);
  EXPECT_TRUE(WorldView_Note().contains(QStringLiteral("アドレスがありません")))
      << WorldView_Note().toStdString();
  Press(kEnter);
  OpenScores();
  Press(kRight);
  EXPECT_EQ(WorldView_Board(), ScoreBoard::kAllTime);
  EXPECT_TRUE(WorldView_Status().contains(QStringLiteral("アドレスがありません")));
  EXPECT_FALSE(form().Label3[0].Visible()) << "the world view is drawn in place of the five";
  Press(kDown);
  Press(kWatchKey);
  Press(kWorldRaceKey);
  Press(kRight);
  EXPECT_EQ(WorldView_Board(), ScoreBoard::kToday);
  Press(kRight);
  EXPECT_EQ(WorldView_Board(), ScoreBoard::kLocal);
  Press(kEnter);
  WorldView_DailyChallenge();
  QTest::qWait(200);

  EXPECT_EQ(World_Table()->Requests(), 0);
  EXPECT_FALSE(World_Table()->RetryPending());
  EXPECT_FALSE(QDir(Outbox()).exists()) << "nothing kept either";
  EXPECT_EQ(BoardSize(), 0);
}

TEST_F(WorldGameTest, AGameSentFromGameOverIsListedDrawnAndWatchedToItsEnd) {
  ASSERT_EQ(server.Start(folder.path().toStdString() + "/board.db"), "");
  Options().WorldTable = Address(server.port()).toStdString();
  World_Start();
  PlayToGameOver(22);
  EXPECT_TRUE(WorldView_Note().contains(QStringLiteral("ワールドランキングに送る")))
      << "the game-over screen offers it";
  Press(kWorldSendKey);
  ASSERT_TRUE(QTest::qWaitFor([] { return WorldView_Note().contains(QStringLiteral("1 位に入りました")); },
                              60000))
      << WorldView_Note().toStdString();
  EXPECT_EQ(BoardSize(), 1);

  Press(kEnter);
  OpenScores();
  Press(kRight);
  EXPECT_EQ(WorldView_Status(), QStringLiteral("読み込み中…")) << "while the board loads";
  ASSERT_TRUE(Loaded(1)) << WorldView_Status().toStdString();
  EXPECT_EQ(WorldView_Entries()[0].rank, 1);
  EXPECT_FALSE(form().Label3[0].Visible());
  EXPECT_GT(Pixels(QRect(8, 40, 248, 21), 0xC00000), 500) << "the first entry, highlighted";
  EXPECT_GT(Pixels(QRect(8, 40, 248, 21), 0xFFFF00), 40) << "its rank, name, level and score";

  Press(kWatchKey);
  ASSERT_TRUE(QTest::qWaitFor([] { return Replay_IsPlaying(); }, 20000)) << WorldView_Note().toStdString();
  EXPECT_FALSE(form().Picture8.Visible()) << "the game plays on the canvas";
  ASSERT_EQ(Replay_Cursor().pass, 0u);
  Press(kWatchKey);
  EXPECT_GT(Replay_Cursor().pass, 0u) << "the first Z while it plays jumps to the next mark";
  for (int pass = 0; pass < 100000 && Replay_IsPlaying(); ++pass) Main_Prog();
  ASSERT_FALSE(Replay_IsPlaying());
  EXPECT_EQ(Module1.GamePhase, kScoreView);
  EXPECT_EQ(WorldView_Board(), ScoreBoard::kAllTime) << "back to the world's board";
  EXPECT_TRUE(form().Picture8.Visible());
  EXPECT_FALSE(form().Label3[0].Visible());
  EXPECT_GT(Pixels(QRect(8, 40, 248, 21), 0xC00000), 500);

  Press(kWorldRaceKey);
  ASSERT_TRUE(QTest::qWaitFor([] { return Challenge_Active(); }, 20000)) << WorldView_Note().toStdString();
  EXPECT_EQ(Module1.GamePhase, kPlaying) << "a race against the world entry";
  EXPECT_TRUE(WorldView_Note().isEmpty()) << "play is never covered";
}

TEST_F(WorldGameTest, AGameSentWhileTheServerIsDownIsKeptAndGoesOnceItIsUp) {
  const int port = FreeLoopbackPort();
  Options().WorldTable = Address(port).toStdString();
  World_Start();
  PlayToGameOver(23);
  Press(kWorldSendKey);
  ASSERT_TRUE(QTest::qWaitFor([] { return WorldView_Note().contains(QStringLiteral("あとで送ります")); },
                              20000))
      << WorldView_Note().toStdString();
  EXPECT_EQ(World_Table()->Waiting(), 1);
  EXPECT_TRUE(World_Table()->RetryPending());
  Press(kEnter);

  // Up now: the table's own timer sends it, with nobody pressing anything.
  ASSERT_EQ(server.Start(folder.path().toStdString() + "/board.db",
                         {QStringLiteral("--port"), QString::number(port)}),
            "");
  ASSERT_TRUE(QTest::qWaitFor([&] { return World_Table()->Waiting() == 0; }, 60000));
  EXPECT_EQ(BoardSize(), 1);
  EXPECT_TRUE(WorldView_Note().contains(QStringLiteral("取っておいたゲーム"))) << WorldView_Note().toStdString();
  EXPECT_FALSE(World_Table()->RetryPending()) << "nothing waits: no timer wakes the title";

  // Down again: the next game waits for the next start of the game.
  server.Stop();
  PlayToGameOver(24);
  Press(kWorldSendKey);
  ASSERT_TRUE(QTest::qWaitFor([] { return WorldView_Note().contains(QStringLiteral("あとで送ります")); },
                              20000));
  World_Stop();
  EXPECT_EQ(QDir(Outbox()).entryList({QStringLiteral("*.tnr")}, QDir::Files).size(), 1)
      << "kept across the end of the game";
  ASSERT_EQ(server.Start(folder.path().toStdString() + "/board.db",
                         {QStringLiteral("--port"), QString::number(port)}),
            "");
  World_Start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return World_Table()->Waiting() == 0; }, 60000));
  EXPECT_EQ(BoardSize(), 2);
}

TEST_F(WorldGameTest, TheViewChangesBoardsWithTheKeysAndWithAPad) {
  ASSERT_EQ(server.Start(folder.path().toStdString() + "/board.db"), "");
  for (std::uint64_t seed = 31; seed < 31 + kWorldRowsShown + 2; ++seed) {
    auto reply = server.Client()->Post("/api/v1/entries", RecordGame(random, seed, Play::kQuick, "Kai"),
                                       "application/octet-stream");
    ASSERT_TRUE(reply && reply->status == 201);
  }
  Options().WorldTable = Address(server.port()).toStdString();
  World_Start();
  OpenScores();
  EXPECT_TRUE(form().Label3[0].Visible());

  const std::size_t games = kWorldRowsShown + 2;
  Press(kRight);
  ASSERT_TRUE(Loaded(games));
  EXPECT_EQ(WorldView_Top(), 0);
  Press(kUp);
  EXPECT_EQ(WorldView_Highlighted(), kWorldRowsShown + 1) << "Up from the first goes round to the last";
  EXPECT_EQ(WorldView_Top(), 2) << "scrolled so that the last is the lowest line shown";
  Press(kDown);
  EXPECT_EQ(WorldView_Highlighted(), 0);
  EXPECT_EQ(WorldView_Top(), 0);
  Press(kRight);
  EXPECT_EQ(WorldView_Board(), ScoreBoard::kToday);
  ASSERT_TRUE(QTest::qWaitFor([] { return WorldView_Status() == QStringLiteral("まだ誰もいません。"); },
                              20000))
      << "none of those games was played with today's seed";
  Press(kLeft);
  Press(kLeft);
  EXPECT_EQ(WorldView_Board(), ScoreBoard::kLocal);
  EXPECT_TRUE(form().Label3[0].Visible()) << "the local five as they were";

  Pad_Start();
  pad = std::make_unique<tarnix::testing::VirtualPad>();
  pad->Click(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
  EXPECT_EQ(WorldView_Board(), ScoreBoard::kToday);
  pad->Click(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
  EXPECT_EQ(WorldView_Board(), ScoreBoard::kLocal);
  pad->Click(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
  ASSERT_TRUE(Loaded(games));
  pad->Click(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  pad->Click(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  EXPECT_EQ(WorldView_Highlighted(), 2);
  pad->Click(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
  ASSERT_TRUE(QTest::qWaitFor([] { return Challenge_Active(); }, 20000))
      << "the shoulder races the highlighted entry: " << WorldView_Note().toStdString();
  EXPECT_EQ(Module1.GamePhase, kPlaying);
}

TEST_F(WorldGameTest, AHighlightedLocalEntryIsSentAndRaced) {
  ASSERT_EQ(server.Start(folder.path().toStdString() + "/board.db"), "");
  Options().WorldTable = Address(server.port()).toStdString();
  World_Start();
  ASSERT_FALSE(RecordGame(random, 41, Play::kGolden, "").empty());
  ASSERT_EQ(Module1.GamePhase, kNameEntry) << "a game good enough for the table";
  form().Text1.setText(QStringLiteral("Ann"));
  Text1_KeyDown(kEnter, 0);
  ASSERT_EQ(Module1.GamePhase, kScoreView);

  Press(kWorldSendKey);
  EXPECT_TRUE(WorldView_Note().contains(QStringLiteral("選んでください"))) << "no entry chosen yet";
  Press(kDown);
  ASSERT_EQ(Watch_Highlighted(), 0);
  Press(kWorldSendKey);
  ASSERT_TRUE(QTest::qWaitFor([] { return WorldView_Note().contains(QStringLiteral("1 位に入りました")); },
                              60000))
      << WorldView_Note().toStdString();
  Press(kRight);
  ASSERT_TRUE(Loaded(1));
  EXPECT_EQ(WorldView_Entries()[0].name, QStringLiteral("Ann")) << "the entry's file, named as entered";
  Press(kLeft);
  Press(kDown);
  Press(kWorldRaceKey);
  EXPECT_TRUE(Challenge_Active()) << "a race against the table's own entry";
  EXPECT_EQ(Module1.GamePhase, kPlaying);
}

// Today's challenge from the settings screen, against a server that runs other rules, one
// that is gone, and one that answers nonsense for its boards: a clear note or line each time,
// and the title or the view stays as it was.
TEST_F(WorldGameTest, TodaysChallengeStartsFromTheSettingsScreenOrSaysWhyNot) {
  httplib::Server fake;
  std::atomic<int> rules = kRulesVersion;
  fake.Get("/api/v1/daily", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content("{\"date\":\"2026-12-08\",\"seed\":\"00000000075bcd15\",\"rules\":" +
                        std::to_string(rules.load()) + "}",
                    "application/json");
  });
  fake.Get("/api/v1/boards/all", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("<html>not a board</html>", "text/html");
  });
  const int port = fake.bind_to_any_port("127.0.0.1");
  std::thread serving([&] { fake.listen_after_bind(); });
  Options().WorldTable = Address(port).toStdString();
  World_Start();
  const auto daily = [] {
    Module1.GamePhase = kTitle;
    Module1.MenuCursor = 0;
    Press(kEscape);
    ASSERT_TRUE(Settings_IsOpen());
    for (int i = 0; i < 10; ++i) Press(kDown);
    Press(kKeyZ);
    EXPECT_FALSE(Settings_IsOpen());
  };

  rules = kRulesVersion + 1;
  daily();
  ASSERT_TRUE(QTest::qWaitFor([] { return WorldView_Note().contains(QStringLiteral("ルール")); }, 20000))
      << WorldView_Note().toStdString();
  EXPECT_EQ(Module1.GamePhase, kTitle);

  rules = kRulesVersion;
  daily();
  ASSERT_TRUE(QTest::qWaitFor([] { return Module1.GamePhase == kPlaying; }, 20000))
      << WorldView_Note().toStdString();
  EXPECT_TRUE(Replay_IsRecording());
  for (int pass = 0; pass < 5000 && Module1.GamePhase == kPlaying; ++pass) {
    Picture1_KeyDown(kSpace, 0);
    Main_Prog();
  }
  EXPECT_EQ(Replay_Recording().seed, 0x75bcd15u) << "played and recorded with the day's seed";

  OpenScores();
  Press(kRight);
  ASSERT_TRUE(QTest::qWaitFor([] { return WorldView_Status().contains(QStringLiteral("読めませんでした")); },
                              20000))
      << "a board that is no board: " << WorldView_Status().toStdString();
  Press(kEnter);

  fake.stop();
  serving.join();
  daily();
  ASSERT_TRUE(QTest::qWaitFor([] { return WorldView_Note().contains(QStringLiteral("受け取れませんでした")); },
                              20000))
      << WorldView_Note().toStdString();
  EXPECT_EQ(Module1.GamePhase, kTitle);
}

}  // namespace
}  // namespace tarnix::board::testing
