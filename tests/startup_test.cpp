// Start-up from a folder and shutdown through the unload handler.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "shell/shell.h"
#include "support/fixture.h"
#include "support/screens.h"

namespace tarnix::testing {
namespace {

const char* const kEffects[] = {"up", "bomb", "get", "over", "height", "cursor", "select"};

class StartupTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_TRUE(dir_.isValid());
    folder_ = dir_.path().toStdString();
    for (const char* name : kEffects) {
      const QString file = QString::fromLatin1(name) + QStringLiteral(".wav");
      ASSERT_TRUE(QFile::copy(QStringLiteral(TARNIX_SOURCE_DIR "/assets/") + file,
                              dir_.filePath(file)))
          << name;
    }
    // What a previous run would have left in the window: none of it may survive start-up.
    form().mnuO1.SetChecked(false);
    Module1.GamePhase = kPlaying;
    Module1.MenuCursor = 1;
    Module1.WaitMs = 0;
    SmearCanvas(form());
  }

  void Remove(const char* name) {
    ASSERT_TRUE(QFile::remove(dir_.filePath(QString::fromLatin1(name) + ".wav")));
  }

  QTemporaryDir dir_;
  std::string folder_;
};

TEST_F(StartupTest, LeavesTheTitleScreenWithTheDefaults) {
  Form_LoadSteps(folder_);
  Form1Window& f = form();
  EXPECT_EQ(Module1.GamePhase, kTitle);
  EXPECT_EQ(Module1.MenuCursor, 0);
  EXPECT_FALSE(f.Picture6.Visible()) << "no status strip on the title screen";
  EXPECT_EQ(TitleMismatches(f, 204), 0) << "the title, cursor on the start item";
  EXPECT_TRUE(f.isVisible());
  EXPECT_TRUE(f.mnuO1.Checked()) << "all effects present: sound on";
  EXPECT_TRUE(f.mnuO1.Enabled());
  EXPECT_EQ(Module1.WaitMs, 50);
  EXPECT_TRUE(f.mnuO6.Checked());
  EXPECT_FALSE(f.mnuO4.Checked() || f.mnuO5.Checked() || f.mnuO7.Checked());
  for (const HiScoreEntry& e : Module1.HiScore) {
    EXPECT_EQ(e.Name, "");
    EXPECT_EQ(e.Level, 0);
    EXPECT_EQ(e.Score, "0") << "an empty slot holds the score \"0\"";
  }
  EXPECT_TRUE(sound.played.empty()) << "start-up is silent";
}

TEST_F(StartupTest, AppPathEndsInExactlyOneSlash) {
  Form_LoadSteps(folder_);
  EXPECT_EQ(Module1.AppPath, folder_ + "/");
  Form_LoadSteps(folder_ + "/");
  EXPECT_EQ(Module1.AppPath, folder_ + "/") << "a folder already ending in / gets no second one";
}

TEST_F(StartupTest, DefaultFolderIsTheExecutables) {
  Form_LoadSteps();
  ASSERT_FALSE(Module1.AppPath.empty());
  EXPECT_EQ(Module1.AppPath.back(), '/');
  EXPECT_NE(Module1.AppPath.substr(0, Module1.AppPath.size() - 1).back(), '/');
  EXPECT_TRUE(QDir(QString::fromStdString(Module1.AppPath)).exists());
}

TEST_F(StartupTest, AnyMissingCheckedEffectSwitchesTheSoundOffForTheRun) {
  for (const char* name : {"select", "bomb", "cursor", "get", "height", "over"}) {
    SCOPED_TRACE(name);
    Remove(name);
    form().mnuO1.SetEnabled(true);
    Form_LoadSteps(folder_);
    EXPECT_FALSE(form().mnuO1.Checked()) << "unticked although the settings say on";
    EXPECT_FALSE(form().mnuO1.Enabled()) << "and greyed, so it cannot be switched back on";
    form().mnuO1.Action()->trigger();
    EXPECT_FALSE(form().mnuO1.Checked());
    ASSERT_TRUE(QFile::copy(QStringLiteral(TARNIX_SOURCE_DIR "/assets/") + name + ".wav",
                            QString::fromStdString(folder_ + "/" + name + ".wav")));
  }
}

TEST_F(StartupTest, MissingUpEffectIsNotChecked) {
  Remove("up");
  Form_LoadSteps(folder_);
  EXPECT_TRUE(form().mnuO1.Checked()) << "only six of the seven effects are looked for";
  EXPECT_TRUE(form().mnuO1.Enabled());
}

TEST_F(StartupTest, UnloadEndsTheMainLoop) {
  Form_LoadSteps(folder_);
  EXPECT_FALSE(form().Unloaded());
  Long cancel = 0;
  Form_Unload(cancel);
  EXPECT_TRUE(form().Unloaded());
  EXPECT_EQ(cancel, 0);
  Main_Loop();  // returns at once: the window is gone as far as the game is concerned
  EXPECT_TRUE(clock.waits.empty()) << "no turn runs after the unload";
}

TEST_F(StartupTest, QuitFromTheMenuEndsTheRunningLoop) {
  Form_LoadSteps(folder_);
  bool watchdog = false;
  // The loop runs until the window is unloaded; a stuck loop is ended here and reported.
  QTimer::singleShot(5000, &form(), [&] {
    watchdog = true;
    form().MarkUnloaded();
  });
  QTimer::singleShot(0, &form(), [] { Form1->mnuG3.Action()->trigger(); });
  Main_Loop();
  EXPECT_FALSE(watchdog) << "the quit item unloads the window and the loop ends";
  EXPECT_TRUE(form().Unloaded());
  EXPECT_FALSE(form().isVisible());
}

TEST_F(StartupTest, ClosingTheWindowUnloadsIt) {
  Form_LoadSteps(folder_);
  form().close();
  EXPECT_TRUE(form().Unloaded()) << "the close box runs the same shutdown";
}

}  // namespace
}  // namespace tarnix::testing
