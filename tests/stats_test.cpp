// The figures of a game, counted from the doors and the rules' events, against what a
// seeded game's own observer counts another way: the sounds the rules play, the actions
// the figure starts, the level on the board.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <algorithm>
#include <numeric>

#include "replay/library.h"
#include "replay/replay.h"
#include "replay/stats.h"
#include "support/fixture.h"
#include "support/games.h"

namespace tarnix::testing {
namespace {

class StatsTest : public TitleGameTest {};

struct Observed {
  int thrown[2] = {0, 0};
  int dropped[2] = {0, 0};
  std::vector<std::uint32_t> levelPasses;
  std::uint32_t passes = 0;
};

TEST_F(StatsTest, FiguresMatchAnIndependentCountAndTheCommandLine) {
  Observed seen;
  Long level = 1;
  Long action = kIdle;
  int pass = 0;
  const ReplayRecord record = PlayRecorded(5, [&](int p) {
    // What the pass before did, seen from outside the counting.
    if (p > 1) {
      if (action == kHolding && Module1.ActionState == kThrowing) {
        seen.thrown[DigitAt(Module1.HeldBomb, 2)] += 1;
      } else if (action == kHolding && Module1.ActionState == kDropping) {
        seen.dropped[DigitAt(Module1.HeldBomb, 2)] += 1;
      }
      if (Module1.Level != level) seen.levelPasses.push_back(static_cast<std::uint32_t>(p - 1));
    }
    action = Module1.ActionState;
    level = Module1.Level;
    pass = p;
    BotPass(p, 1);
  });
  const GameStats live = Stats_Current();
  const std::vector<std::string> names = sound.Names();
  const auto count = [&](const char* name) {
    return static_cast<int>(std::count(names.begin(), names.end(), name));
  };

  EXPECT_EQ(live.passes, record.passes);
  EXPECT_EQ(live.score, record.score);
  EXPECT_EQ(live.thrown[0], seen.thrown[0]);
  EXPECT_EQ(live.thrown[1], seen.thrown[1]);
  EXPECT_EQ(live.dropped[0], seen.dropped[0]);
  EXPECT_EQ(live.dropped[1], seen.dropped[1]);
  EXPECT_GT(live.thrown[0] + live.thrown[1], 0);
  EXPECT_GT(live.dropped[0] + live.dropped[1], 0);
  // Every gift taken sounds once, and every generation of a chain once.
  EXPECT_EQ(live.gifts[0] + live.gifts[1], count("get"));
  EXPECT_GT(count("get"), 0);
  EXPECT_EQ(std::accumulate(live.chains.begin(), live.chains.end(), 0), count("bomb"));
  EXPECT_GT(live.LongestChain(), 1) << "the game had a chain of two or more";
  const std::vector<int> by = live.ChainsByGeneration();
  EXPECT_EQ(std::accumulate(by.begin(), by.end(), 0), static_cast<int>(live.chains.size()));
  EXPECT_EQ(live.levelPasses, seen.levelPasses);
  EXPECT_FALSE(live.levelPasses.empty());
  EXPECT_GT(live.blocksBroken, 0);
  // At the normal wait a pass lasts 62.5 ms.
  EXPECT_DOUBLE_EQ(live.seconds, record.passes * 0.0625);
  EXPECT_DOUBLE_EQ(live.ScorePerMinute(), record.score * 60.0 / live.seconds);
  const std::vector<double> levels = live.LevelSeconds();
  EXPECT_EQ(levels.size(), live.levelPasses.size() + 1);
  EXPECT_DOUBLE_EQ(std::accumulate(levels.begin(), levels.end(), 0.0), live.seconds);

  // Replayed, the same figures.
  const ReplayOutcome out = Replay_Run(record);
  ASSERT_TRUE(out.matches);
  EXPECT_EQ(Stats_Json(Stats_Current()), Stats_Json(live));

  // And from the command line, as text and as JSON.
  const QString file = QString::fromStdString(ReplayLibrary_LastPath());
  QProcess text;
  text.start(QStringLiteral(TARNIX_GAME_DIR "/tarnix"),
             {QStringLiteral("--lang"), QStringLiteral("ja"), QStringLiteral("--stats"), file});
  ASSERT_TRUE(text.waitForFinished(30000));
  EXPECT_EQ(text.exitCode(), 0) << text.readAllStandardError().toStdString();
  EXPECT_EQ(text.readAllStandardOutput().toStdString(), Stats_Text(live));
  QProcess json;
  json.start(QStringLiteral(TARNIX_GAME_DIR "/tarnix"),
             {QStringLiteral("--stats"), file, QStringLiteral("--json")});
  ASSERT_TRUE(json.waitForFinished(30000));
  const QJsonObject o = QJsonDocument::fromJson(json.readAllStandardOutput()).object();
  EXPECT_EQ(o.value(QStringLiteral("score")).toInt(), record.score);
  EXPECT_EQ(o.value(QStringLiteral("longest_chain")).toInt(), live.LongestChain());
  EXPECT_EQ(o.value(QStringLiteral("thrown")).toObject().value(QStringLiteral("red")).toInt(),
            seen.thrown[0]);
  EXPECT_EQ(o.value(QStringLiteral("level_seconds")).toArray().size(),
            static_cast<qsizetype>(levels.size()));
}

}  // namespace
}  // namespace tarnix::testing
