// The replay's bounds: a recording that reaches one is cut there and still kept, and a file
// beyond them is refused; however a replay was made, watching it never holds the window.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "core/keys.h"
#include "replay/library.h"
#include "replay/replay.h"
#include "support/fixture.h"
#include "support/processes.h"
#include "support/table_games.h"

namespace tarnix::testing {
namespace {

const std::string kCutSaid = "記録はここで打ち切られています";

class BoundsTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    Replay_Reset();
    ASSERT_TRUE(folder_.isValid());
    Module1.AppPath = folder_.path().toStdString() + "/";
    Module1.KeyFlags = "000000";
  }
  void TearDown() override {
    Replay_Reset();
    GameTest::TearDown();
  }
  // Left pressed and released by turns, `calls` times between two passes: each call changes
  // the keys held, as a program that types does.
  static void Typing(std::size_t calls) {
    for (std::size_t i = 0; i < calls; ++i) {
      if (i % 2 == 0) {
        Picture1_KeyDown(37, 0);
      } else {
        Picture1_KeyUp(37, 0);
      }
    }
  }
  // Rows rising on every pass until the game is over.
  static void PlayOnToTheEnd() {
    for (int pass = 0; pass < 400 && Module1.GamePhase == kPlaying; ++pass) {
      Picture1_KeyDown(32, 0);
      Main_Prog();
    }
  }
  static int Verify(const std::string& path, std::string& out) {
    ::testing::internal::CaptureStdout();
    const int status = Replay_VerifyFile(path);
    out = ::testing::internal::GetCapturedStdout();
    return status;
  }

  QTemporaryDir folder_;
};

TEST_F(BoundsTest, ARecordingCutAtEitherBoundKeepsItsGameAndPlaysAsFarAsItGoes) {
  random.Randomize(7);
  StartFromTitle();
  for (int pass = 0; pass < 10; ++pass) Main_Prog();
  const Long score = Module1.Score;
  Typing(kReplayMaxEventsPerPass + 2);
  PlayOnToTheEnd();
  ASSERT_EQ(Module1.GamePhase, kGameOverView);
  ASSERT_FALSE(Replay_IsRecording());

  const ReplayReadResult kept = ReplayLibrary_Read(ReplayLibrary_LastPath());
  ASSERT_TRUE(kept.record) << "the game is kept, not the one before";
  EXPECT_EQ(kept.record->ending, ReplayEnding::kCut);
  EXPECT_EQ(kept.record->passes, 10u) << "ended where the bound was reached";
  EXPECT_EQ(kept.record->score, score);
  EXPECT_EQ(kept.record->events.size(), kReplayMaxEventsPerPass);
  std::string out;
  EXPECT_EQ(Verify(ReplayLibrary_LastPath(), out), kVerifyCut);
  EXPECT_TRUE(out.size() > 4 && out.substr(out.size() - 4) == "cut\n") << out;

  // The game-over screen's Z plays it as far as it goes, and says where it stops.
  Module1.GamePhase = kGameOverView;
  messages.shown.clear();
  Picture1_KeyDown(kKeyZ, 0);
  ASSERT_TRUE(Replay_IsPlaying());
  for (int pass = 0; pass < 100 && Replay_IsPlaying(); ++pass) Main_Prog();
  EXPECT_FALSE(Replay_IsPlaying());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].first.rfind(kCutSaid, 0), 0u) << messages.shown[0].first;
  EXPECT_EQ(Module1.GamePhase, kScoreView);

  // The whole game's bound: a million inputs, a pass's worth at a time. Enter pauses and
  // resumes; an odd count leaves the game paused, so that it lasts.
  form().mnuO1.SetChecked(false);
  StartFromTitle();
  for (std::size_t typed = 0; typed <= kReplayMaxEvents;) {
    const std::size_t presses = typed == 0 ? kReplayMaxEventsPerPass - 1 : kReplayMaxEventsPerPass;
    for (std::size_t i = 0; i < presses; ++i) Picture1_KeyDown(13, 0);
    typed += presses;
    Main_Prog();
  }
  ASSERT_EQ(Module1.GamePhase, kPaused);
  mnuG1_Click();
  ASSERT_EQ(Module1.GamePhase, kTitle);
  const ReplayReadResult million = ReplayLibrary_Read(ReplayLibrary_LastPath());
  ASSERT_TRUE(million.record) << Replay_ErrorText(million);
  EXPECT_EQ(million.record->ending, ReplayEnding::kCut) << "cut, not back to the title";
  EXPECT_EQ(million.record->events.size(), kReplayMaxEvents);
  EXPECT_EQ(Verify(ReplayLibrary_LastPath(), out), kVerifyCut) << out;
}

TEST_F(BoundsTest, FilesBeyondAnyGameAreRefusedAndAPassNeverFeedsMore) {
  ReplayRecord crowded;
  crowded.stamp = "20261207113000123";
  crowded.passes = 100;
  crowded.events.assign(kReplayMaxEventsPerPass, ReplayEvent{1, 'E'});
  ASSERT_TRUE(Replay_Parse(Replay_Format(crowded)).record) << "at the bound a file reads";
  crowded.events.assign(kReplayMaxEvents, ReplayEvent{1, 'E'});
  const ReplayReadResult refused = Replay_Parse(Replay_Format(crowded));
  EXPECT_EQ(refused.error, ReplayError::kCrowded);
  EXPECT_NE(Replay_ErrorText(refused).find(std::to_string(kReplayMaxEventsPerPass)),
            std::string::npos);

  // Handed over without the reader, the same game still gives the window back after each
  // pass's bound: each Enter pauses or resumes, with its sound.
  Module1.GamePhase = kScoreView;
  Replay_Watch(crowded, "crowded");
  ASSERT_TRUE(Replay_IsPlaying());
  sound.played.clear();
  for (int pass = 0; pass < 3; ++pass) Main_Prog();
  const std::vector<std::string> played = sound.Names();
  EXPECT_EQ(static_cast<std::size_t>(std::count(played.begin(), played.end(), "select")),
            kReplayMaxEventsPerPass);
}

TEST(Freeze, TheRealGameAnswersItsSignalsWhileACrowdedReplayPlays) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const std::string dir = folder.path().toStdString() + "/";
  ASSERT_TRUE(QFile::copy(QStringLiteral(TARNIX_GAME_DIR "/tarnix"), folder.filePath("tarnix")));
  // A thousand passes with as many inputs each as a file may hold.
  ReplayRecord crowded;
  crowded.stamp = "20261207113000123";
  crowded.passes = 5000;
  for (std::uint32_t pass = 1; pass <= 1000; ++pass) {
    crowded.events.insert(crowded.events.end(), kReplayMaxEventsPerPass, ReplayEvent{pass, 'E'});
  }
  PutBytes(dir + "crowded.tnr", Replay_Format(crowded));
  GameProcess game(dir + "tarnix", {"--replay", dir + "crowded.tnr"}, folder.path().toStdString(),
                   {{"QT_QPA_PLATFORM", "offscreen"}});
  ASSERT_TRUE(game.started());
  std::this_thread::sleep_for(std::chrono::seconds(2));
  ASSERT_TRUE(game.running()) << game.err();
  game.Signal(SIGTERM);
  ASSERT_TRUE(game.Wait(10000)) << "SIGTERM went unheard";
  EXPECT_EQ(game.status(), 0) << game.err();
  EXPECT_TRUE(QFile::exists(folder.filePath("Tarnix.ini"))) << "closed as the quit item does";
}

}  // namespace
}  // namespace tarnix::testing
