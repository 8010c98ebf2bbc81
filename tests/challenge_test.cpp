// Racing a recorded game: whatever the racer does, the rows rise as they rose in the entry;
// the lead shown is the racer's score less the entry's at the same pass; the race is recorded
// with the entry's name and its rows, and plays back to its own end; the title the race
// starts from, and the table, are left as they were by the entry's unseen play.
#include <gtest/gtest.h>

#include <map>

#include "replay/challenge.h"
#include "replay/format.h"
#include "replay/replay.h"
#include "replay/snapshot.h"
#include "replay/theatre.h"
#include "support/fixture.h"
#include "support/games.h"

namespace tarnix::testing {
namespace {

class ChallengeTest : public TitleGameTest {
 protected:
  // From the game-over screen or the name entry back to the title.
  void BackToTitle() {
    if (Module1.GamePhase == kNameEntry) {
      form().Text1.SetText("Ace");
      Text1_KeyDown(kEnter, 0);
    }
    for (int i = 0; i < 3 && Module1.GamePhase != kTitle; ++i) {
      Picture1_KeyDown(kEnter, 0);
      Picture1_KeyUp(kEnter, 0);
    }
    ASSERT_EQ(Module1.GamePhase, kTitle);
  }
};

TEST_F(ChallengeTest, TheRaceRisesTheEntrysRowsShowsItsLeadAndPlaysBackToItsOwnEnd) {
  for (int k = 0; k < kHiScoreRanks; ++k) {
    Module1.HiScore[k] = HiScoreEntry{"P" + std::to_string(k), 1, std::to_string(50 - 10 * k)};
  }
  const ReplayRecord entry = PlayRecorded(41, WellBot{}, 6000);
  ASSERT_EQ(entry.ending, ReplayEnding::kGameOver);
  BackToTitle();

  // The entry's rows and its score at every pass, counted here by playing it once more.
  const GameSnapshot title = Snapshot_Take();
  std::vector<Long> entryScore{0};
  std::vector<int> entryFigure{-1000};
  ASSERT_TRUE(Replay_Run(entry, [&] {
                entryScore.push_back(Module1.Score);
                entryFigure.push_back(form().Picture2.Visible() ? form().Picture2.Left() : -1000);
              }).matches);
  const std::string entryRows = Rows_Seen();
  Snapshot_Restore(title);
  ASSERT_GE(entryRows.size(), 20 * kRowCells);

  auto Table = [] {
    std::string t;
    for (const HiScoreEntry& e : Module1.HiScore) t += e.Name + " " + e.Score + ";";
    return t;
  };
  const std::string table = Table();
  ASSERT_TRUE(Challenge_Start(entry, "41-entry"));
  EXPECT_TRUE(Challenge_Active());
  EXPECT_EQ(Module1.GamePhase, kPlaying);
  EXPECT_EQ(Table(), table) << "the entry's unseen game entered no table";
  EXPECT_FALSE(form().Text1.Visible()) << "nor left its name box open";

  // Another player: its bombs and gifts draw other numbers than the entry's did.
  int wrongLeads = 0, wrongGhosts = 0, ghostsApart = 0;
  int pass = 0;
  while (Replay_IsRecording() && pass < 6000) {
    BotPass(++pass, 2);
    Main_Prog();
    if (!Challenge_Active()) break;
    const Long then = entryScore[std::min<std::size_t>(pass, entryScore.size() - 1)];
    if (Challenge_Lead() != Module1.Score - then) ++wrongLeads;
    // The entry's figure, faint, where it stood at this pass.
    const auto* ghost = form().Picture6.findChild<QWidget*>(QStringLiteral("raceGhost"));
    const int stood = entryFigure[std::min<std::size_t>(pass, entryFigure.size() - 1)];
    const bool shown = ghost != nullptr && !ghost->isHidden();
    if (shown != (stood > -1000 && form().Picture2.Visible()) ||
        (shown && ghost->x() != stood * form().Scale())) {
      ++wrongGhosts;
    }
    ghostsApart += shown && stood != form().Picture2.Left();
  }
  EXPECT_EQ(wrongLeads, 0);
  EXPECT_EQ(wrongGhosts, 0);
  EXPECT_GT(ghostsApart, 0) << "the two figures went their own ways";
  EXPECT_FALSE(Challenge_Active()) << "the race ends with its game";
  const std::string raceRows = Rows_Seen();
  const ReplayRecord race = Replay_Recording();
  ASSERT_GE(raceRows.size(), 5 * kRowCells);
  const std::size_t shared = std::min(raceRows.size(), entryRows.size());
  EXPECT_EQ(raceRows.substr(0, shared), entryRows.substr(0, shared));

  // Its record names the entry and keeps the rows it was given, in a file of its own format.
  EXPECT_EQ(race.challenge, "41-entry");
  EXPECT_EQ(race.rows, entryRows.substr(0, std::min(raceRows.size(), entryRows.size())));
  const std::string file = Replay_Format(race);
  EXPECT_EQ(file.substr(0, 16), "TARNIX-REPLAY 2\n");
  const ReplayReadResult read = Replay_Parse(file);
  ASSERT_TRUE(read.record);
  EXPECT_EQ(read.record->rows, race.rows);
  BackToTitle();
  EXPECT_TRUE(Replay_Run(*read.record).matches);

  // Watched, seeking back and forth lands where straight play does: which of the rows have
  // risen is part of the game's state.
  BackToTitle();
  const GameSnapshot before = Snapshot_Take();
  Module1.GamePhase = kScoreView;
  Replay_Watch(*read.record, "race");
  ASSERT_TRUE(Replay_IsPlaying());
  Picture1_KeyUp(kKeyZ, 0);
  const std::uint32_t early = race.passes / 3, late = race.passes - 1;
  std::map<std::uint32_t, GameSnapshot> straight;
  for (const std::uint32_t target : {early, late}) {
    while (Replay_Cursor().pass < target) Main_Prog();
    straight.emplace(target, Snapshot_Take());
  }
  for (const std::uint32_t target : {early, late, early}) {
    ASSERT_TRUE(Theatre_Seek(target));
    const auto diff = Snapshot_Differences(Snapshot_Take(), straight.at(target));
    EXPECT_TRUE(diff.empty()) << "pass " << target << ": " << diff.front();
  }
  Replay_Unload(true);
  Snapshot_Restore(before);

  // Without its rows the same inputs make another game: the seed alone does not give them.
  ReplayRecord plain = *read.record;
  plain.challenge.clear();
  plain.rows.clear();
  BackToTitle();
  const ReplayOutcome alone = Replay_Run(plain);
  EXPECT_FALSE(alone.matches);
  EXPECT_NE(Rows_Seen().substr(0, shared), entryRows.substr(0, shared));
}

TEST(ChallengeFormat, AnOrdinaryGameStaysInFormatOneAndARaceNeedsItsRows) {
  ReplayRecord r;
  r.stamp = "20261207000000000";
  EXPECT_EQ(Replay_Format(r).substr(0, 16), "TARNIX-REPLAY 1\n");
  r.challenge = "someone";
  r.rows = "13411111111";
  const std::string raced = Replay_Format(r);
  ASSERT_TRUE(Replay_Parse(raced).record);
  for (const auto& [from, to] : {std::pair{"rows 13411111111", "rows 1341111111"},
                                 std::pair{"rows 13411111111", "rows 13411111112"},
                                 std::pair{"TARNIX-REPLAY 2", "TARNIX-REPLAY 1"}}) {
    std::string bad = raced;
    bad.replace(bad.find(from), std::string(from).size(), to);
    EXPECT_FALSE(Replay_Parse(bad).record) << to;
  }
}

}  // namespace
}  // namespace tarnix::testing

namespace tarnix::testing {
namespace {

// The lines laid over the canvas later than the window's own (a replay's banner, a race's
// lead) are drawn at the window's size, and follow it when it changes.
TEST_F(ChallengeTest, LinesOverTheCanvasFollowTheWindowsSize) {
  const ReplayRecord entry = PlayRecorded(41, WellBot{}, 600);
  BackToTitle();
  form().SetWindowScale(2);
  ASSERT_EQ(form().Scale(), 2);
  ASSERT_TRUE(Challenge_Start(entry, "41-entry"));
  Main_Prog();
  const auto lineAt = [this](const QRect& game, const char* text = "VS ", int size = 12) {
    for (const QLabel* l : form().Picture1.findChildren<QLabel*>()) {
      if (!l->isHidden() && l->text().startsWith(QString::fromUtf8(text)) &&
          l->geometry() == ScaledRect(game, form().Scale()) &&
          l->font().pixelSize() == size * form().Scale()) {
        return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(lineAt(QRect(4, 62, 256, 14)));
  form().SetWindowScale(3);
  EXPECT_TRUE(lineAt(QRect(4, 62, 256, 14))) << "after the window grew";

  mnuG1_Click();
  Module1.GamePhase = kScoreView;
  Replay_Watch(entry, "entry");
  EXPECT_TRUE(lineAt(QRect(0, 64, 264, 21), "REPLAY", 16));
  Replay_Unload(true);
}

}  // namespace
}  // namespace tarnix::testing
