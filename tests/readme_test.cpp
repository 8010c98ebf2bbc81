// The readme item of the help menu: the opener, the two messages and their order.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/doors.h"
#include "files/files.h"
#include "support/fixture.h"

namespace tarnix::testing {
namespace {

const char kNoOpener[] = "メモ帳が見つからないため参照できません。";
const char kNoReadme[] = "Readmeファイルが見つからないため参照できません。";

class ReadmeTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_TRUE(dir_.isValid());
    StartPlaying();
    Module1.Score = 1234;
    Module1.AppPath = dir_.path().toStdString() + "/";
  }

  void PutReadme(const std::string& folder) {
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    QFile file(QString::fromStdString(folder + "Readme.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("readme\r\n");
  }

  // The parts of the game a look at the readme must leave alone.
  static std::string GameState() {
    return std::to_string(Module1.GamePhase) + "|" + Module1.Board + "|" +
           std::to_string(Module1.Score) + "|" + std::to_string(Module1.WaitMs) + "|" +
           std::to_string(Module1.RiseCountdown) + "|" + Module1.KeyFlags;
  }

  QTemporaryDir dir_;
};

TEST_F(ReadmeTest, NoOpenerShowsOnlyTheFirstMessage) {
  PutReadme(Module1.AppPath);
  launcher.available = false;
  mnuH1_Click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].first, kNoOpener);
  EXPECT_EQ(messages.shown[0].second, MessageIcon::kNone) << "the readme's messages carry no icon";
  EXPECT_TRUE(launcher.opened.empty());
}

TEST_F(ReadmeTest, NoOpenerAndNoReadmeStillShowsOnlyTheFirstMessage) {
  launcher.available = false;
  mnuH1_Click();
  ASSERT_EQ(messages.shown.size(), 1u) << "the opener is tested first, and alone decides";
  EXPECT_EQ(messages.shown[0].first, kNoOpener);
  EXPECT_TRUE(launcher.opened.empty());
}

TEST_F(ReadmeTest, MissingReadmeShowsTheSecondMessage) {
  mnuH1_Click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].first, kNoReadme);
  EXPECT_EQ(messages.shown[0].second, MessageIcon::kNone);
  EXPECT_TRUE(launcher.opened.empty());
}

TEST_F(ReadmeTest, ReadmeInTheGamesFolderIsOpened) {
  PutReadme(Module1.AppPath);
  form().mnuH1.Action()->trigger();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(launcher.opened, std::vector<std::string>{Module1.AppPath + "Readme.txt"})
      << "the path beside the executable, whatever the current directory";
}

TEST_F(ReadmeTest, FolderWithSpacesIsPassedAsOneArgument) {
  Module1.AppPath = dir_.path().toStdString() + "/my games/タール 1/";
  PutReadme(Module1.AppPath);
  mnuH1_Click();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(launcher.opened, std::vector<std::string>{Module1.AppPath + "Readme.txt"})
      << "unquoted and unsplit";
}

TEST_F(ReadmeTest, TheGameGoesOnUnchanged) {
  const std::string before = GameState();
  mnuH1_Click();  // message
  PutReadme(Module1.AppPath);
  mnuH1_Click();  // opened
  launcher.available = false;
  mnuH1_Click();  // message
  EXPECT_EQ(GameState(), before);
  EXPECT_TRUE(sound.played.empty());
}

}  // namespace
}  // namespace tarnix::testing
