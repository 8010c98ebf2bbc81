// tarnix.conf: the port's own options beside Tarnix.ini, read leniently, written whole.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "files/files.h"
#include "files/options.h"
#include "shell/shell.h"
#include "support/fixture.h"

namespace tarnix::testing {
namespace {

class OptionsFileTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_TRUE(dir_.isValid());
    Module1.AppPath = dir_.path().toStdString() + "/";
  }
  QString Path() const { return dir_.filePath(QStringLiteral("tarnix.conf")); }
  void Write(const QByteArray& bytes) {
    QFile file(Path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  static void ExpectDefaults() {
    EXPECT_TRUE(Options().PauseWhenInactive);
    EXPECT_EQ(Options().Scale, 0);
    EXPECT_FALSE(Options().FullScreen);
  }
  QTemporaryDir dir_;
};

TEST_F(OptionsFileTest, MissingOrGarbledMeansDefaultsSilently) {
  Options().Scale = 3;
  Options_Load();
  ExpectDefaults();

  Write(QByteArray("\x00\xff\xfe[Window\nPauseWhenInactive=maybe\nScale=9\nFullScreen=\x01\x02",
                   40));
  Options_Load();
  ExpectDefaults();
  Write("[Window]\nScale=two\nFullScreen=yes please\n");
  Options_Load();
  ExpectDefaults();
  ASSERT_TRUE(QFile::remove(Path()));
  ASSERT_TRUE(QDir().mkpath(Path())) << "a folder where the file should be";
  Options_Load();
  ExpectDefaults();
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(OptionsFileTest, WrittenWholeAndReadBack) {
  Write("[Window]\nScale=2\n[Future]\nKnob=7\n");
  Options().PauseWhenInactive = false;
  Options().Scale = 4;
  Options().FullScreen = true;
  Options().BombMarks = false;
  Options().GentleFlashes = true;
  Options().Language = "en";
  Options().Bindings["Keys/RedBomb"] = "44,0";
  ASSERT_TRUE(Options_Save());
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
            QStringList{QStringLiteral("tarnix.conf")}) << "no temporary or lock file left";
  QFile file(Path());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  EXPECT_TRUE(text.contains("PauseWhenInactive=false")) << text.constData();
  EXPECT_TRUE(text.contains("Scale=4"));
  EXPECT_TRUE(text.contains("Knob=7")) << "a newer version's keys are kept";
  Options_Reset();
  Options_Load();
  EXPECT_FALSE(Options().PauseWhenInactive);
  EXPECT_EQ(Options().Scale, 4);
  EXPECT_TRUE(Options().FullScreen);
  EXPECT_FALSE(Options().BombMarks);
  EXPECT_TRUE(Options().GentleFlashes);
  EXPECT_EQ(Options().Language, "en");
  EXPECT_EQ(Options().Bindings["Keys/RedBomb"], "44,0") << "the pair survives QSettings' lists";
}

TEST_F(OptionsFileTest, AFailedWriteIsNoMessageAndTarnixIniStillSaved) {
  ASSERT_TRUE(QDir().mkpath(dir_.filePath(QStringLiteral("tarnix.conf/x"))));
  EXPECT_FALSE(Options_Save());
  Long cancel = 0;
  Form_Unload(cancel);
  EXPECT_TRUE(messages.shown.empty()) << "the port's options are not worth a dialog";
  EXPECT_TRUE(QFile::exists(dir_.filePath(QStringLiteral("Tarnix.ini"))));
}

}  // namespace
}  // namespace tarnix::testing
