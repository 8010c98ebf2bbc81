// The settings and score file: what lands on disk, what a later start makes of it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "files/files.h"
#include "files/settings_format.h"
#include "shell/shell.h"
#include "support/fixture.h"
#include "support/settings_files.h"

namespace tarnix::testing {
namespace {

namespace fmt = settings_format;

const std::string kBrokenMessage = "設定ファイルが壊れているため\n初期状態にクリアして起動します";

std::string Bytes(std::initializer_list<unsigned char> list) {
  return std::string(list.begin(), list.end());
}

// Shift_JIS, written out here so that the test does not lean on the converter it checks.
const std::string kTitleSjis =
    Bytes({0x83, 0x5E, 0x81, 0x5B, 0x83, 0x8B, 0x83, 0x6A, 0x83, 0x62, 0x83, 0x4E, 0x83, 0x58});
const std::string kSettingsWordSjis =
    Bytes({0x90, 0xDD, 0x92, 0xE8, 0x83, 0x74, 0x83, 0x40, 0x83, 0x43, 0x83, 0x8B});
const std::string kTarouSjis = Bytes({0x83, 0x5E, 0x83, 0x8D, 0x83, 0x45});  // タロウ

std::string HeaderLine(const std::string& stamp) {
  return "\"" + kTitleSjis + " Ver1.01 " + kSettingsWordSjis + " [" + stamp + "]\"";
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// A well-formed file's 17 lines: sound on, wait 普通, five plain entries.
std::vector<std::string> GoodLines(const std::string& stamp) {
  std::vector<std::string> lines = {HeaderLine(stamp), "\"12\""};
  for (int i = 0; i < kHiScoreRanks; ++i) {
    lines.push_back("\"P" + std::to_string(i) + "\"");
    lines.push_back(std::to_string(i + 1));
    lines.push_back(std::to_string((5 - i) * 100));
  }
  return lines;
}

const QDateTime kMoment(QDate(2024, 3, 5), QTime(7, 9, 30));

class SettingsTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_TRUE(folder_.isValid() && config_.isValid());
    Module1.AppPath = folder_.path().toStdString() + "/";
    hadXdg_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    oldXdg_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
  }
  void TearDown() override {
    fmt::SettingsHooks() = fmt::Hooks{};
    if (hadXdg_) {
      qputenv("XDG_CONFIG_HOME", oldXdg_);
    } else {
      qunsetenv("XDG_CONFIG_HOME");
    }
    GameTest::TearDown();
  }

  QString Beside(const QString& name = "Tarnix.ini") const { return folder_.filePath(name); }
  QString UserCopy() const { return config_.path() + "/tarnix/Tarnix.ini"; }

  static void SetModified(const QString& path, const QDateTime& when) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
  }
  // A file whose modification time agrees with the stamp it carries.
  static void WriteStamped(const QString& path, const std::string& bytes,
                           const QDateTime& when = kMoment) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())),
              static_cast<qint64>(bytes.size()));
    file.close();
    SetModified(path, when);
  }

  // The menus as a fresh window has them, so that what the reader ticks shows.
  void FreshMenus() {
    for (MenuItem* item : {&form().mnuO1, &form().mnuO4, &form().mnuO5, &form().mnuO6,
                           &form().mnuO7}) {
      item->SetChecked(false);
    }
    Module1.WaitMs = -1;
  }
  // A table that no default equals.
  void FillTable() {
    for (int i = 0; i < kHiScoreRanks; ++i) {
      Module1.HiScore[i] = HiScoreEntry{"old" + std::to_string(i), 7, "777"};
    }
  }
  int TickedWait() {
    const MenuItem* items[] = {&form().mnuO4, &form().mnuO5, &form().mnuO6, &form().mnuO7};
    int ticked = -1;
    for (int i = 0; i < 4; ++i) {
      if (items[i]->Checked()) {
        if (ticked != -1) return -2;  // more than one
        ticked = i;
      }
    }
    return ticked;
  }
  void ExpectDefaults() {
    EXPECT_TRUE(form().mnuO1.Checked());
    EXPECT_EQ(TickedWait(), 2) << "普通 alone is ticked";
    EXPECT_EQ(Module1.WaitMs, 50);
    for (const HiScoreEntry& entry : Module1.HiScore) {
      EXPECT_EQ(entry.Name, "");
      EXPECT_EQ(entry.Level, 0);
      EXPECT_EQ(entry.Score, "0");
    }
  }

  QTemporaryDir folder_;
  QTemporaryDir config_;

 private:
  bool hadXdg_ = false;
  QByteArray oldXdg_;
};

TEST_F(SettingsTest, FileMatchesTheFormatByteForByte) {
  fmt::SettingsHooks().now = [] { return kMoment; };
  form().mnuO1.SetChecked(true);
  mnuO7_Click();
  Module1.HiScore[0] = HiScoreEntry{"ABC", 12, "999999"};
  Module1.HiScore[1] = HiScoreEntry{"タロウ", 5, "4210"};
  Module1.HiScore[2] = HiScoreEntry{"", 0, "0"};
  Module1.HiScore[3] = HiScoreEntry{"a b", 3, "20"};
  Module1.HiScore[4] = HiScoreEntry{"", 0, "0"};
  ASSERT_TRUE(Settings_Save());

  const std::string expected =
      Joined({HeaderLine("2403050709"), "\"13\"", "\"ABC\"", "12", "999999",
              "\"" + kTarouSjis + "\"", "5", "4210", "\"\"", "0", "0", "\"a b\"", "3", "20",
              "\"\"", "0", "0"});
  EXPECT_EQ(ReadAll(Beside()), expected);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SettingsTest, OptionsLineFollowsTheTicks) {
  fmt::SettingsHooks().now = [] { return kMoment; };
  form().mnuO1.SetChecked(false);
  mnuO4_Click();
  ASSERT_TRUE(Settings_Save());
  EXPECT_EQ(ReadAll(Beside()).substr(HeaderLine("").size() + 12, 6), "\"00\"\r\n");

  FreshMenus();
  form().mnuO1.SetChecked(true);
  ASSERT_TRUE(Settings_Save());
  EXPECT_EQ(ReadAll(Beside()).substr(HeaderLine("").size() + 12, 5), "\"1\"\r\n")
      << "with no wait ticked the line holds the sound flag alone";
}

TEST_F(SettingsTest, RoundTripBringsBackOptionsAndTable) {
  for (int sound = 0; sound < 2; ++sound) {
    for (int wait = 0; wait < 4; ++wait) {
      SCOPED_TRACE("sound " + std::to_string(sound) + " wait " + std::to_string(wait));
      FreshMenus();
      form().mnuO1.SetChecked(sound == 1);
      void (*handlers[])() = {mnuO4_Click, mnuO5_Click, mnuO6_Click, mnuO7_Click};
      handlers[wait]();
      Module1.HiScore[0] = HiScoreEntry{"山田\"花子\"", 20, "999999"};
      Module1.HiScore[1] = HiScoreEntry{"\"", 11, "123456"};
      Module1.HiScore[2] = HiScoreEntry{"ｶﾀｶﾅ~\\", 9, "5000"};
      Module1.HiScore[3] = HiScoreEntry{"a,b \"c", 2, "70"};
      Module1.HiScore[4] = HiScoreEntry{"", 0, "0"};
      const auto saved = Module1.HiScore;
      ASSERT_TRUE(Settings_Save());

      FreshMenus();
      Module1.HiScore = {};
      Settings_Load();
      EXPECT_TRUE(messages.shown.empty());
      EXPECT_EQ(form().mnuO1.Checked(), sound == 1);
      EXPECT_EQ(TickedWait(), wait);
      EXPECT_EQ(Module1.WaitMs, 25 * wait) << "the wait comes back through its handler";
      for (int i = 0; i < kHiScoreRanks; ++i) {
        EXPECT_EQ(Module1.HiScore[i].Name, saved[i].Name) << "rank " << i;
        EXPECT_EQ(Module1.HiScore[i].Level, saved[i].Level) << "rank " << i;
        EXPECT_EQ(Module1.HiScore[i].Score, saved[i].Score) << "rank " << i;
      }
    }
  }
}

TEST_F(SettingsTest, NameWithQuoteFromAnOlderWriterIsReadWhole) {
  std::vector<std::string> lines = GoodLines("2403050709");
  lines[2] = "\"say \"hi\"\"";  // written unescaped, as the game always did
  lines[5] = "\"\"\"";
  WriteStamped(Beside(), Joined(lines));
  Settings_Load();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(Module1.HiScore[0].Name, "say \"hi\"");
  EXPECT_EQ(Module1.HiScore[1].Name, "\"");
  EXPECT_EQ(Module1.HiScore[1].Level, 2) << "the fields after the quote stay in step";
  EXPECT_EQ(Module1.HiScore[4].Score, "100");
}

TEST_F(SettingsTest, UntouchedFileIsAcceptedTouchedOneRejected) {
  Module1.HiScore[0] = HiScoreEntry{"ケン", 4, "3000"};
  ASSERT_TRUE(Settings_Save());
  Module1.HiScore = {};
  Settings_Load();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(Module1.HiScore[0].Name, "ケン");

  SetModified(Beside(), QFileInfo(Beside()).lastModified().addSecs(60));
  FreshMenus();
  FillTable();
  Settings_Load();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].first, kBrokenMessage);
  EXPECT_EQ(messages.shown[0].second, MessageIcon::kInformation);
  ExpectDefaults();
  EXPECT_TRUE(QFileInfo::exists(Beside())) << "the broken file stays until the next save";
}

TEST_F(SettingsTest, StampIsComparedAsCharactersAfterDecoding) {
  // The same ten digits at byte 25 instead of character 25 must not pass.
  std::vector<std::string> lines = GoodLines("2403050709");
  lines[0] = "\"" + std::string(24, 'x') + "2403050709]\"";
  WriteStamped(Beside(), Joined(lines));
  Settings_Load();
  EXPECT_TRUE(messages.shown.empty()) << "an ASCII header with the stamp at 25..34 passes";

  messages.shown.clear();
  lines[0] = "\"" + kTitleSjis + "Ver1.01 " + kSettingsWordSjis + " [2403050709]\"";
  WriteStamped(Beside(), Joined(lines));
  Settings_Load();
  EXPECT_EQ(messages.shown.size(), 1u) << "one character short: the stamp sits off by one";
}

TEST_F(SettingsTest, SaveAcrossAMinuteEdgeIsStillAccepted) {
  // The stamp was read at 04:05:59.9; the data reach the disk much later.
  const QDateTime stamped(QDate(2001, 2, 3), QTime(4, 5, 59, 900));
  fmt::SettingsHooks().now = [stamped] { return stamped; };
  Module1.HiScore[0] = HiScoreEntry{"edge", 3, "300"};
  ASSERT_TRUE(Settings_Save());
  EXPECT_EQ(QFileInfo(Beside()).lastModified().toString("yyMMddHHmm"), "0102030405")
      << "the file's time is the stamp's moment, not the moment of writing";
  EXPECT_NE(ReadAll(Beside()).find("[0102030405]"), std::string::npos);

  Module1.HiScore = {};
  Settings_Load();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(Module1.HiScore[0].Name, "edge");
}

TEST_F(SettingsTest, DamagedFilesWithAGoodStampFallBackToDefaults) {
  const std::string stamp = "2403050709";
  struct Case {
    const char* what;
    std::string bytes;
  };
  std::vector<Case> cases;
  auto with = [&](int line, const std::string& text) {
    std::vector<std::string> lines = GoodLines(stamp);
    lines[line] = text;
    return Joined(lines);
  };
  {
    std::vector<std::string> lines = GoodLines(stamp);
    lines.resize(10);
    cases.push_back({"ends after ten lines", Joined(lines)});
    lines = GoodLines(stamp);
    lines.resize(16);
    cases.push_back({"ends before the last score", Joined(lines)});
  }
  cases.push_back({"empty file", ""});
  cases.push_back({"text where a level belongs", with(6, "abc")});
  cases.push_back({"score with a trailing letter", with(16, "120x")});
  cases.push_back({"empty number line", with(3, "")});
  cases.push_back({"negative level", with(3, "-5")});
  cases.push_back({"score past the game's cap", with(4, "1000000")});
  cases.push_back({"number far past a Long", with(4, "99999999999999999999")});
  cases.push_back({"name without quotes", with(8, "P2")});
  cases.push_back({"name with one quote", with(8, "\"P2")});
  cases.push_back({"options without quotes", with(1, "12")});
  cases.push_back({"header without quotes", with(0, HeaderLine(stamp).substr(1))});
  cases.push_back({"undecodable name", with(2, "\"" + Bytes({0x81, 0x20}) + "\"")});
  cases.push_back({"undecodable byte", with(11, "\"" + Bytes({0xFF}) + "\"")});
  cases.push_back({"lead byte cut off at the end", with(14, "\"a" + Bytes({0x83}) + "\"")});
  cases.push_back({"zeroed block", with(5, std::string(40, '\0'))});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    messages.shown.clear();
    FreshMenus();
    FillTable();
    WriteStamped(Beside(), c.bytes);
    Settings_Load();
    ASSERT_EQ(messages.shown.size(), 1u) << "a damaged file is reported like a touched one";
    EXPECT_EQ(messages.shown[0].first, kBrokenMessage);
    ExpectDefaults();
  }
}

TEST_F(SettingsTest, WellFormedHandMadeFileIsRead) {
  // Guards the damaged-file test: its base file on its own is good.
  WriteStamped(Beside(), Joined(GoodLines("2403050709")));
  FreshMenus();
  Settings_Load();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_TRUE(form().mnuO1.Checked());
  EXPECT_EQ(TickedWait(), 2);
  EXPECT_EQ(Module1.HiScore[3].Name, "P3");
  EXPECT_EQ(Module1.HiScore[3].Level, 4);
  EXPECT_EQ(Module1.HiScore[3].Score, "200");
}

TEST_F(SettingsTest, SoundFlagZeroLeavesTheItemAsItStarts) {
  std::vector<std::string> lines = GoodLines("2403050709");
  lines[1] = "\"03\"";
  WriteStamped(Beside(), Joined(lines));
  FreshMenus();
  Settings_Load();
  EXPECT_FALSE(form().mnuO1.Checked());
  EXPECT_EQ(TickedWait(), 3);
  EXPECT_EQ(Module1.WaitMs, 75);
}

TEST_F(SettingsTest, NoFileMeansDefaultsSilentlyAndShutdownCreatesIt) {
  FreshMenus();
  FillTable();
  Settings_Load();
  EXPECT_TRUE(messages.shown.empty()) << "a fresh installation is not an error";
  ExpectDefaults();
  EXPECT_FALSE(QFileInfo::exists(Beside()));

  Long cancel = 0;
  Form_Unload(cancel);
  ASSERT_TRUE(QFileInfo(Beside()).isFile()) << "closing the window creates the file";
  FillTable();
  FreshMenus();
  Settings_Load();
  EXPECT_TRUE(messages.shown.empty());
  ExpectDefaults();
}

TEST_F(SettingsTest, FileIsFoundInAnyLetterCaseExactNamePreferred) {
  std::vector<std::string> lines = GoodLines("2403050709");
  lines[2] = "\"upper\"";
  WriteStamped(Beside("TARNIX.INI"), Joined(lines));
  Settings_Load();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(Module1.HiScore[0].Name, "upper");

  lines[2] = "\"lower\"";
  WriteStamped(Beside("tarnix.ini"), Joined(lines));
  lines[2] = "\"exact\"";
  WriteStamped(Beside("Tarnix.ini"), Joined(lines));
  Settings_Load();
  EXPECT_EQ(Module1.HiScore[0].Name, "exact");

  QFile::remove(Beside("Tarnix.ini"));
  QFile::remove(Beside("tarnix.ini"));
  Module1.HiScore[0].Name = "saved";
  ASSERT_TRUE(Settings_Save());
  EXPECT_TRUE(QFileInfo(Beside("Tarnix.ini")).isFile()) << "the writer uses the one spelling";
  Settings_Load();
  EXPECT_EQ(Module1.HiScore[0].Name, "saved");
}

TEST_F(SettingsTest, NamesTheCodePageLacksBecomeQuestionMarks) {
  EXPECT_EQ(fmt::Cp932Encode("A😀B"), "A?B");
  EXPECT_EQ(fmt::Cp932Encode("Äé"), "??") << "one mark per character, not per byte";
  EXPECT_EQ(fmt::Cp932Encode("漢😀字"), Bytes({0x8A, 0xBF, '?', 0x8E, 0x9A}));
  EXPECT_EQ(fmt::Cp932Encode(std::string("a\xC3", 2)), "a?") << "a cut UTF-8 sequence";

  Module1.HiScore[0] = HiScoreEntry{"Zoë😀タ", 3, "300"};
  ASSERT_TRUE(Settings_Save());
  Module1.HiScore = {};
  Settings_Load();
  EXPECT_TRUE(messages.shown.empty()) << "such a name never damages the file";
  EXPECT_EQ(Module1.HiScore[0].Name, "Zo??タ");
  EXPECT_EQ(Module1.HiScore[1].Score, "0");
}

TEST_F(SettingsTest, WriterNeverWritesWhatTheReaderRejects) {
  Module1.HiScore[0] = HiScoreEntry{"line\nfeed", -3, "1234567"};
  Module1.HiScore[1] = HiScoreEntry{"x", 2, "abc"};
  ASSERT_TRUE(Settings_Save());
  Settings_Load();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(Module1.HiScore[0].Name, "line?feed");
  EXPECT_EQ(Module1.HiScore[0].Level, 0);
  EXPECT_EQ(Module1.HiScore[0].Score, "999999");
  EXPECT_EQ(Module1.HiScore[1].Score, "0");
}

TEST_F(SettingsTest, FailedSaveKeepsTheOldFileAndSaysSo) {
  Module1.HiScore[0] = HiScoreEntry{"kept", 9, "9000"};
  ASSERT_TRUE(Settings_Save());
  const std::string before = ReadAll(Beside());

  Module1.HiScore[0] = HiScoreEntry{"lost", 1, "10"};
  bool saved = true;
  {
    FileSizeLimit limit(16);
    saved = Settings_Save();
  }
  EXPECT_FALSE(saved);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].first, kSaveFailedMessage);
  EXPECT_EQ(messages.shown[0].second, MessageIcon::kCritical);
  EXPECT_EQ(ReadAll(Beside()), before) << "a failed save must not eat the table on disk";
  EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files).size(), 1)
      << "no half-written file is left beside it";
  EXPECT_FALSE(QFileInfo::exists(UserCopy()))
      << "a folder that takes writes gets no per-user copy";
}

TEST_F(SettingsTest, ReadOnlyFolderAtShutdownGoesToTheUserFolder) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "running as root: a mode of 555 does not stop root's writes; the "
                    "fallback itself is covered through the writability check below";
  }
  Module1.HiScore[0] = HiScoreEntry{"kept", 9, "9000"};
  ASSERT_TRUE(Settings_Save());
  const std::string before = ReadAll(Beside());
  ASSERT_TRUE(QFile::setPermissions(folder_.path(), QFile::ReadOwner | QFile::ExeOwner |
                                                        QFile::ReadGroup | QFile::ExeGroup |
                                                        QFile::ReadOther | QFile::ExeOther));
  Module1.HiScore[0] = HiScoreEntry{"new", 2, "20"};
  const bool saved = Settings_Save();
  QFile::setPermissions(folder_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  EXPECT_TRUE(saved);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(ReadAll(Beside()), before);
  EXPECT_TRUE(QFileInfo(UserCopy()).isFile());
}

TEST_F(SettingsTest, UnwritableGameFolderUsesThePerUserFolder) {
  const QString app = folder_.path() + "/";
  fmt::SettingsHooks().folderWritable = [app](const QString& folder) { return folder != app; };
  Module1.HiScore[0] = HiScoreEntry{"user", 6, "600"};
  ASSERT_TRUE(Settings_Save());
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_FALSE(QFileInfo::exists(Beside()));
  ASSERT_TRUE(QFileInfo(UserCopy()).isFile()) << "the folder is created when needed";

  Module1.HiScore = {};
  Settings_Load();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(Module1.HiScore[0].Name, "user");

  // A file shipped beside the executable seeds the table until a per-user copy exists, and
  // loses to that copy afterwards.
  std::vector<std::string> lines = GoodLines("2403050709");
  lines[2] = "\"shipped\"";
  WriteStamped(Beside(), Joined(lines));
  Settings_Load();
  EXPECT_EQ(Module1.HiScore[0].Name, "user");
  QFile::remove(UserCopy());
  Settings_Load();
  EXPECT_EQ(Module1.HiScore[0].Name, "shipped");
}

TEST_F(SettingsTest, WritableGameFolderIgnoresThePerUserCopy) {
  std::vector<std::string> lines = GoodLines("2403050709");
  lines[2] = "\"user\"";
  ASSERT_TRUE(QDir().mkpath(config_.path() + "/tarnix"));
  WriteStamped(UserCopy(), Joined(lines));
  FillTable();
  Settings_Load();
  EXPECT_EQ(Module1.HiScore[0].Name, "") << "a fresh copy of the game starts empty";

  lines[2] = "\"beside\"";
  WriteStamped(Beside(), Joined(lines));
  Settings_Load();
  EXPECT_EQ(Module1.HiScore[0].Name, "beside");
}

TEST_F(SettingsTest, MessageOnlyWhenNeitherPlaceTakesTheFile) {
  // Folders that are really files: no write gets through, whoever runs the test.
  QFile blockerA(folder_.filePath("not-a-folder"));
  QFile blockerB(folder_.filePath("not-a-config"));
  ASSERT_TRUE(blockerA.open(QIODevice::WriteOnly) && blockerB.open(QIODevice::WriteOnly));
  blockerA.close();
  blockerB.close();
  Module1.AppPath = blockerA.fileName().toStdString() + "/";
  qputenv("XDG_CONFIG_HOME", blockerB.fileName().toUtf8());

  EXPECT_FALSE(Settings_Save());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].first, kSaveFailedMessage);
  EXPECT_EQ(messages.shown[0].second, MessageIcon::kCritical);
}

TEST_F(SettingsTest, UserFolderFollowsXdgConfigHome) {
  qputenv("XDG_CONFIG_HOME", "/some/where");
  EXPECT_EQ(fmt::UserFolder(), "/some/where/tarnix/");
  const QByteArray home = qgetenv("HOME");
  qputenv("HOME", config_.path().toUtf8());
  qunsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(fmt::UserFolder(), config_.path() + "/.config/tarnix/");
  qputenv("XDG_CONFIG_HOME", "relative/path");
  EXPECT_EQ(fmt::UserFolder(), config_.path() + "/.config/tarnix/")
      << "a relative path is not a valid setting and is ignored";
  qputenv("HOME", home);
}

TEST(SettingsFormat, StampAndHeader) {
  EXPECT_EQ(fmt::Stamp(QDateTime(QDate(2009, 1, 2), QTime(13, 4, 59))), "0901021304");
  EXPECT_EQ(fmt::Stamp(QDateTime(QDate(2100, 12, 31), QTime(0, 0))), "0012310000");
  const QString header = QString::fromStdString(fmt::Header("0901021304"));
  EXPECT_EQ(header.size(), 35);
  EXPECT_EQ(header.mid(24, 10), "0901021304");
  EXPECT_EQ(header, QStringLiteral("タールニックス Ver1.01 設定ファイル [0901021304]"));
}

TEST(SettingsFormat, DecodingRefusesWhatIsNotCodePage932) {
  EXPECT_EQ(fmt::Cp932Decode(kTarouSjis + "1"), "タロウ1");
  EXPECT_EQ(fmt::Cp932Decode(Bytes({0xB1})), "ｱ") << "half-width katakana are single bytes";
  EXPECT_FALSE(fmt::Cp932Decode(Bytes({'a', 0x81, 0x20})));
  EXPECT_FALSE(fmt::Cp932Decode(Bytes({0x83})));
  EXPECT_FALSE(fmt::Cp932Decode(Bytes({0xA0})));
}

TEST(SettingsFormat, FuzzEntryParsesAnyBytesAndKeepsTheTableSane) {
  fmt::SettingsData data;
  data.HiScore[0] = HiScoreEntry{"名前", 20, "999999"};
  const std::string good = fmt::BuildFile(data, "9912312359");
  EXPECT_TRUE(Settings_ParseForFuzz(good)) << "any stamp passes here";
  EXPECT_FALSE(Settings_ParseForFuzz(good.substr(0, good.size() / 2)));

  std::mt19937 gen(7);
  int parsed = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = good;
    const int edits = 1 + static_cast<int>(gen() % 4);
    for (int e = 0; e < edits; ++e) {
      const std::size_t at = gen() % bytes.size();
      switch (gen() % 3) {
        case 0: bytes[at] = static_cast<char>(gen()); break;
        case 1: bytes.erase(at, 1 + gen() % 8); break;
        default: bytes.insert(at, 1, static_cast<char>(gen())); break;
      }
      if (bytes.empty()) bytes = "x";
    }
    const std::optional<fmt::SettingsData> result = fmt::ParseFile(bytes, std::nullopt);
    ASSERT_EQ(result.has_value(), Settings_ParseForFuzz(bytes));
    if (!result) continue;
    ++parsed;
    for (const HiScoreEntry& entry : result->HiScore) {
      ASSERT_GE(entry.Level, 0);
      ASSERT_LE(entry.Level, fmt::kNumberMax);
      ASSERT_FALSE(entry.Score.empty());
      ASSERT_LE(std::stoll(entry.Score), fmt::kNumberMax);
    }
    // What was read is written back so that it reads the same.
    const std::optional<fmt::SettingsData> again =
        fmt::ParseFile(fmt::BuildFile(*result, "9912312359"), std::nullopt);
    ASSERT_TRUE(again);
    for (int i = 0; i < kHiScoreRanks; ++i) {
      ASSERT_EQ(again->HiScore[i].Name, result->HiScore[i].Name);
      ASSERT_EQ(again->HiScore[i].Score, result->HiScore[i].Score);
    }
  }
  EXPECT_GT(parsed, 0) << "some edits (inside a name) leave the file readable";
}

}  // namespace
}  // namespace tarnix::testing
