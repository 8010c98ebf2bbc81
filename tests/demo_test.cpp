// The title's demo: the best entry's game plays muted under "DEMO" once the title has stood
// thirty seconds untouched; any key ends it and goes no further; the title, the table, the
// settings and every file are as they were.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>

#include "files/files.h"
#include "files/options.h"
#include "playfield/playfield.h"
#include "replay/demo.h"
#include "replay/library.h"
#include "replay/replay.h"
#include "replay/snapshot.h"
#include "support/fixture.h"
#include "support/games.h"

namespace tarnix::testing {
namespace {

class DemoTest : public TitleGameTest {
 protected:
  void SetUp() override {
    TitleGameTest::SetUp();
    for (int k = 0; k < kHiScoreRanks; ++k) {
      Module1.HiScore[k] = HiScoreEntry{"P" + std::to_string(k), 1, std::to_string(50 - 10 * k)};
    }
  }

  // A game good enough for the table, its name taken, and back to the title.
  void EnterTheTable() {
    PlayRecorded(7, [](int p) { BotPass(p, 0); });
    ASSERT_EQ(Module1.GamePhase, kNameEntry);
    form().Text1.SetText("Ace");
    Text1_KeyDown(kEnter, 0);
    ASSERT_EQ(Module1.GamePhase, kScoreView);
    Picture1_KeyDown(kEnter, 0);
    Picture1_KeyUp(kEnter, 0);
    ASSERT_EQ(Module1.GamePhase, kTitle);
  }

  QByteArray Bytes(const std::string& path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
  }

  std::vector<QByteArray> Files() {
    std::vector<QByteArray> files = {Bytes(Module1.AppPath + "Tarnix.ini"),
                                     Bytes(Module1.AppPath + "tarnix.conf")};
    const QDir library(QString::fromStdString(ReplayLibrary_Folder()));
    for (const QString& name : library.entryList(QDir::Files, QDir::Name)) {
      files.push_back(name.toUtf8());
      files.push_back(Bytes(library.filePath(name).toStdString()));
    }
    return files;
  }

  QImage Shown() { return form().Picture1.parentWidget()->grab().toImage(); }

  bool DemoShown() {
    for (const QLabel* l : form().Picture1.findChildren<QLabel*>()) {
      if (!l->isHidden() && l->text() == QStringLiteral("DEMO")) return true;
    }
    return false;
  }
};

TEST_F(DemoTest, PlaysTheBestEntryMutedAndLeavesTheTitleAndEveryFileAsTheyWere) {
  EnterTheTable();
  ASSERT_FALSE(ReplayLibrary_PathFor(0).empty()) << "the best entry has its replay";
  ASSERT_TRUE(Settings_Save());
  ASSERT_TRUE(Options_Save());
  const std::vector<QByteArray> files = Files();
  const GameSnapshot title = Snapshot_Take();
  const QImage picture = Shown();

  Main_Prog();
  EXPECT_TRUE(Demo_Armed()) << "the title counts its thirty seconds";
  mnuDemo_Click();
  Main_Prog();
  EXPECT_FALSE(Demo_Armed()) << "the option turned off";
  EXPECT_FALSE(Demo_Start());
  mnuDemo_Click();
  Main_Prog();
  EXPECT_TRUE(Demo_Armed());
  ASSERT_TRUE(Options_Save());

  for (int round = 0; round < 2; ++round) {
    sound.played.clear();
    ASSERT_TRUE(Demo_Start());
    EXPECT_TRUE(Replay_IsDemo());
    EXPECT_FALSE(Demo_Armed());
    EXPECT_TRUE(DemoShown());
    EXPECT_EQ(Module1.GamePhase, kPlaying);
    if (round == 0) {
      for (int pass = 0; pass < 400; ++pass) Main_Prog();
      EXPECT_TRUE(Replay_IsDemo());
      // Enter would start a game on the title: it ends the demo and nothing else.
      Picture1_KeyDown(kEnter, 0);
      Picture1_KeyUp(kEnter, 0);
    } else {
      for (int pass = 0; pass < 20000 && Replay_IsPlaying(); ++pass) Main_Prog();
    }
    EXPECT_FALSE(Replay_IsPlaying());
    EXPECT_FALSE(Replay_IsRecording()) << "the key went no further";
    EXPECT_TRUE(sound.played.empty()) << "a demo is muted";
    EXPECT_FALSE(DemoShown());
    const std::vector<std::string> diff = Snapshot_Differences(Snapshot_Take(), title);
    EXPECT_TRUE(diff.empty()) << diff.front();
    EXPECT_TRUE(Shown() == picture) << "the title as it was";
    Main_Prog();
    EXPECT_TRUE(Demo_Armed()) << "and its thirty seconds start again";
  }
  ASSERT_TRUE(Settings_Save());
  ASSERT_TRUE(Options_Save());
  // Which file changed, and how it reads now and before, should this ever fail.
  const std::vector<QByteArray> after = Files();
  std::string changed;
  for (std::size_t i = 0; i < std::max(after.size(), files.size()); ++i) {
    if (i < after.size() && i < files.size() && after[i] == files[i]) continue;
    changed += "\n#" + std::to_string(i) + " before: " +
               (i < files.size() ? files[i].left(300).toStdString() : "-") + "\n   after: " +
               (i < after.size() ? after[i].left(300).toStdString() : "-");
  }
  EXPECT_TRUE(after == files) << "the table, the settings, the options and the replays" << changed;
}

TEST_F(DemoTest, NoReplayNoDemo) {
  Module1.GamePhase = kTitle;
  Title_Draw(204);
  EXPECT_FALSE(Demo_Start());
  EXPECT_EQ(Module1.GamePhase, kTitle);

  // A table without replays falls back on the demo shipped beside the game.
  ASSERT_TRUE(QFile::copy(QStringLiteral(TARNIX_SOURCE_DIR "/tests/data/replays/wait2-bot.tnr"),
                          QString::fromStdString(Module1.AppPath + "demo.tnr")));
  EXPECT_TRUE(Demo_Start());
  EXPECT_TRUE(Replay_IsDemo());
  EXPECT_TRUE(DemoShown());
  Picture1_KeyDown(kKeyZ, 0);
  EXPECT_FALSE(Replay_IsPlaying());
  EXPECT_EQ(Module1.GamePhase, kTitle);
}

}  // namespace
}  // namespace tarnix::testing
