// Numbers in the label pairs, and the routing of sound effects to their files.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

#include <string>
#include <vector>

#include "files/files.h"
#include "files/mixer.h"
#include "playfield/playfield.h"
#include "support/fixture.h"

namespace tarnix::testing {
namespace {

class LabelsTest : public GameTest {};

TEST_F(LabelsTest, StatusNumbersArePlainDecimalInBothLabelsOfEachPair) {
  Module1.Score = 999999;
  Module1.Level = 20;
  Module1.RedStock = 0;
  Module1.BlueStock = 7;
  States_Refresh();
  const char* shown[] = {"999999", "20", "0", "7"};
  for (int f = 0; f < 4; ++f) {
    EXPECT_EQ(form().Label1[2 * f].Caption(), shown[f]) << "front label of field " << f;
    EXPECT_EQ(form().Label1[2 * f + 1].Caption(), shown[f]) << "shadow label of field " << f;
  }
  Module1.Score = 40;
  Module1.BlueStock = 123;
  States_Refresh();
  EXPECT_EQ(form().Label1[1].Caption(), "40") << "no leading zeros from the initial caption";
  EXPECT_EQ(form().Label1[7].Caption(), "123");
}

TEST_F(LabelsTest, ScoreRowsFillBothLabelsAndLeaveTheMessageLine) {
  Module1.HiScore[0] = HiScoreEntry{"たろう", 20, "999999"};
  Module1.HiScore[1] = HiScoreEntry{"Ann", 3, "1500"};
  Module1.HiScore[4] = HiScoreEntry{"", 0, "0"};
  form().Label3[15].SetCaption("keep");
  form().Label4[15].SetCaption("keep");
  Score_Refresh();
  for (auto* labels : {&form().Label3, &form().Label4}) {
    EXPECT_EQ((*labels)[0].Caption(), "たろう");
    EXPECT_EQ((*labels)[1].Caption(), "20");
    EXPECT_EQ((*labels)[2].Caption(), "999999");
    EXPECT_EQ((*labels)[3].Caption(), "Ann");
    EXPECT_EQ((*labels)[4].Caption(), "3");
    EXPECT_EQ((*labels)[5].Caption(), "1500");
    EXPECT_EQ((*labels)[12].Caption(), "") << "an empty entry shows no name";
    EXPECT_EQ((*labels)[13].Caption(), "0");
    EXPECT_EQ((*labels)[14].Caption(), "0");
    EXPECT_EQ((*labels)[15].Caption(), "keep") << "the message line is the callers' business";
  }
  EXPECT_FALSE(form().Picture8.Visible()) << "filling the rows does not open the panel";
}

class SoundTest : public GameTest {
 protected:
  void Touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  void WriteAllEffects() {
    for (const char* name : {"up", "bomb", "get", "over", "height", "cursor", "select"}) {
      Touch(dir.filePath(QString::fromLatin1(name) + ".wav"));
    }
    Module1.AppPath = dir.path().toStdString() + "/";
  }
  QTemporaryDir dir;
};

TEST_F(SoundTest, EffectIsTheFileBesideTheGame) {
  Module1.AppPath = "/opt/tarnix/";
  Sound("bomb");
  Sound("up");
  EXPECT_EQ(sound.played, (std::vector<std::string>{"/opt/tarnix/bomb.wav", "/opt/tarnix/up.wav"}));
}

TEST_F(SoundTest, UntickedEffectsPlayNothing) {
  Module1.AppPath = "/opt/tarnix/";
  form().mnuO1.SetChecked(false);
  for (const char* name : {"up", "bomb", "get", "over", "height", "cursor", "select"}) Sound(name);
  EXPECT_TRUE(sound.played.empty());
}

TEST_F(SoundTest, AllFilesPresentKeepTheEffectsOn) {
  ASSERT_TRUE(dir.isValid());
  WriteAllEffects();
  Sound_CheckFiles();
  EXPECT_TRUE(form().mnuO1.Checked());
  EXPECT_TRUE(form().mnuO1.Enabled());
}

TEST_F(SoundTest, AnyCheckedFileMissingSwitchesTheEffectsOffForGood) {
  ASSERT_TRUE(dir.isValid());
  for (const char* missing : {"bomb", "cursor", "get", "height", "over", "select"}) {
    WriteAllEffects();
    ASSERT_TRUE(QFile::remove(dir.filePath(QString::fromLatin1(missing) + ".wav")));
    form().mnuO1.SetChecked(true);
    form().mnuO1.SetEnabled(true);
    Sound_CheckFiles();
    EXPECT_FALSE(form().mnuO1.Checked()) << missing << ".wav missing";
    EXPECT_FALSE(form().mnuO1.Enabled()) << missing << ".wav missing";
  }
}

TEST_F(SoundTest, AMissingUpFileIsNotLookedFor) {
  ASSERT_TRUE(dir.isValid());
  WriteAllEffects();
  ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("up.wav"))));
  Sound_CheckFiles();
  EXPECT_TRUE(form().mnuO1.Checked());
  EXPECT_TRUE(form().mnuO1.Enabled());
  Sound("up");
  EXPECT_EQ(sound.Names(), (std::vector<std::string>{"up"})) << "it is still asked for";
}

// The machine's own back end on SDL's silent driver: a file that was missing when first
// asked for plays once it is there.
TEST_F(SoundTest, AMissingFileLeavesNothingBehind) {
  ASSERT_TRUE(dir.isValid());
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  const std::string path = dir.filePath(QStringLiteral("up.wav")).toStdString();
  MixerSound& real = RealMixer();
  real.Play(path);
  if (!real.Awake()) GTEST_SKIP() << "no audio back end at all";
  EXPECT_FALSE(real.Playing()) << "nothing to play";
  ASSERT_TRUE(QFile::copy(QStringLiteral(TARNIX_GAME_DIR "/up.wav"), QString::fromStdString(path)));
  real.Play(path);
  EXPECT_TRUE(real.Playing()) << "the file is looked for again";
}

}  // namespace
}  // namespace tarnix::testing
