// The settings file against what players' machines do to it: two copies of the game, files
// that cannot or must not be read, a rejected table, an installed game, an ending without the
// window's closing. The display lost and a folder named in another encoding are in
// lost_display_test.sh, on the real executable.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
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
namespace fs = std::filesystem;

const std::string kBrokenMessage = "設定ファイルが壊れているため\n初期状態にクリアして起動します";
const std::string kCannotRead = "設定ファイルを読み込めないため\n初期状態で起動します。";
const QDateTime kMoment(QDate(2024, 3, 5), QTime(7, 9, 30));

fmt::SettingsData Table(std::initializer_list<std::pair<const char*, int>> entries) {
  fmt::SettingsData data;
  int i = 0;
  for (const auto& [name, score] : entries) data.HiScore[i++] = {name, 3, std::to_string(score)};
  for (; i < kHiScoreRanks; ++i) data.HiScore[i] = {"", 0, "0"};
  return data;
}

// The file's bytes; empty when there is none.
std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void SetTime(const std::string& path, const QDateTime& when) {
  const timespec times[2] = {{0, UTIME_OMIT}, {when.toSecsSinceEpoch(), 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

void Stamped(const std::string& path, const fmt::SettingsData& data, const QDateTime& when) {
  std::ofstream(path, std::ios::binary) << fmt::BuildFile(data, fmt::Stamp(when));
  SetTime(path, when);
}

std::vector<std::string> Names() {
  std::vector<std::string> names;
  for (const HiScoreEntry& e : Module1.HiScore) names.push_back(e.Name);
  return names;
}

class RobustnessTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_TRUE(folder_.isValid() && config_.isValid());
    app_ = folder_.path().toStdString() + "/";
    Module1.AppPath = app_;
    oldXdg_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
  }
  void TearDown() override {
    fmt::SettingsHooks() = fmt::Hooks{};
    qputenv("XDG_CONFIG_HOME", oldXdg_);
    GameTest::TearDown();
  }
  std::string Beside(const std::string& name = "Tarnix.ini") const { return app_ + name; }
  int TickedWait() {
    const MenuItem* items[] = {&form().mnuO4, &form().mnuO5, &form().mnuO6, &form().mnuO7};
    int ticked = -1;
    for (int i = 0; i < 4; ++i) {
      if (items[i]->Checked()) ticked = ticked == -1 ? i : -2;
    }
    return ticked;
  }
  bool Defaults() {
    for (const HiScoreEntry& e : Module1.HiScore) {
      if (e.Name != "" || e.Score != "0") return false;
    }
    return form().mnuO1.Checked() && TickedWait() == 2 && Module1.WaitMs == 50;
  }

  QTemporaryDir folder_;
  QTemporaryDir config_;
  std::string app_;

 private:
  QByteArray oldXdg_;
};

TEST_F(RobustnessTest, TwoCopiesKeepEachOthersEntries) {
  const fmt::SettingsData start = Table({{"P0", 500}, {"P1", 400}, {"P2", 300}});
  Stamped(Beside(), start, kMoment);
  Settings_Load();
  Module1.HiScore[4] = Module1.HiScore[3];
  Module1.HiScore[3] = Module1.HiScore[2];
  Module1.HiScore[2] = Module1.HiScore[1];
  Module1.HiScore[1] = {"mine", 9, "450"};
  mnuO7_Click();

  // The other copy, started from the same table, closes first, within the same minute.
  fmt::SettingsData other = Table({{"P0", 500}, {"P1", 400}, {"theirs", 400}, {"P2", 300}});
  other.WaitItem = 0;
  Stamped(Beside(), other, kMoment.addSecs(20));
  fmt::SettingsHooks().now = [] { return kMoment.addSecs(40); };
  ASSERT_TRUE(Settings_Save());

  Module1.HiScore = {};
  Settings_Load();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(Names(), (std::vector<std::string>{"P0", "mine", "theirs", "P1", "P2"}))
      << "both new entries by the ranking rule: the other's 400 above the older one";
  EXPECT_EQ(TickedWait(), 3) << "the options are those of the copy that saved last";

  // Its own earlier save is no other copy: a second save duplicates nothing.
  ASSERT_TRUE(Settings_Save());
  Settings_Load();
  EXPECT_EQ(Names(), (std::vector<std::string>{"P0", "mine", "theirs", "P1", "P2"}));
}

TEST_F(RobustnessTest, UnreadableFileIsReportedAndNeverOverwritten) {
  Stamped(Beside(), Table({{"kept", 900}}), kMoment);
  const std::string before = Slurp(Beside());
  ASSERT_EQ(chmod(Beside().c_str(), 0200), 0);
  ASSERT_EQ(chmod(app_.c_str(), 0777), 0);
  // Root reads every file: the game runs as an ordinary user in a child.
  const pid_t pid = fork();
  if (pid == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(10);
    Settings_Load();
    if (messages.shown.size() != 1 || messages.shown[0].first.rfind(kCannotRead, 0) != 0 ||
        messages.shown[0].first.find(Beside()) == std::string::npos) {
      _exit(11);
    }
    if (!Defaults()) _exit(12);
    Module1.HiScore[0] = {"new", 1, "10"};
    if (Settings_Save()) _exit(13);
    if (messages.shown.size() != 2 || messages.shown[1].first.rfind(kSaveFailedMessage, 0) != 0 ||
        messages.shown[1].first.find("読み取りの許可がありません") == std::string::npos) {
      _exit(14);
    }
    _exit(0);
  }
  int status = -1;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0)
      << "10: no ordinary user; 11: no message naming the file; 12: not the defaults; "
         "13: the save went through; 14: the save's message names no reason";
  EXPECT_EQ(Slurp(Beside()), before);
}

TEST_F(RobustnessTest, OnlyRegularFilesAndLinksToThemAreOpened) {
  const std::string away = config_.path().toStdString() + "/elsewhere/";
  ASSERT_EQ(mkdir(away.c_str(), 0755), 0);
  struct Case {
    const char* what;
    std::function<void()> make;
  };
  const std::string ini = Beside();
  const std::vector<Case> cases = {
      {"FIFO", [&] { ASSERT_EQ(mkfifo(ini.c_str(), 0644), 0); }},
      {"directory", [&] { ASSERT_EQ(mkdir(ini.c_str(), 0755), 0); }},
      {"link to a device",
       [&] {
         // A node of the null device made here; without root, a link to the real one.
         const std::string node = away + "null";
         if (mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
           ASSERT_EQ(symlink("/dev/null", node.c_str()), 0);
         }
         ASSERT_EQ(symlink(node.c_str(), ini.c_str()), 0);
       }},
  };
  alarm(60);  // an open that blocks fails the run instead of hanging it
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(ini);
    fs::remove_all(away + "null");
    c.make();
    messages.shown.clear();
    Module1.HiScore[0] = {"x", 1, "1"};
    Settings_Load();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].first.rfind(kCannotRead, 0), 0u) << messages.shown[0].first;
    EXPECT_TRUE(Defaults());
    Module1.HiScore[0] = {"new", 1, "10"};
    EXPECT_FALSE(Settings_Save());
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].first.rfind(kSaveFailedMessage, 0), 0u);
    struct stat info {};
    ASSERT_EQ(stat(ini.c_str(), &info), 0);
    EXPECT_FALSE(S_ISREG(info.st_mode)) << "the thing is left as it was";
  }
  alarm(0);

  // A link to a real settings file elsewhere is followed both ways and stays a link.
  fs::remove_all(ini);
  Stamped(away + "mine.ini", Table({{"linked", 800}}), kMoment);
  ASSERT_EQ(symlink((away + "mine.ini").c_str(), ini.c_str()), 0);
  messages.shown.clear();
  Settings_Load();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(Module1.HiScore[0].Name, "linked");
  Module1.HiScore[1] = {"added", 2, "20"};
  ASSERT_TRUE(Settings_Save());
  EXPECT_TRUE(fs::is_symlink(ini));
  EXPECT_NE(Slurp(away + "mine.ini").find("added"), std::string::npos);
}

TEST_F(RobustnessTest, RejectedFileIsKeptAndComesBackWithItsTime) {
  const std::string rejected = Beside("Tarnix.ini.rejected");
  for (const char* name : {"first", "second"}) {
    SCOPED_TRACE(name);
    Stamped(Beside(), Table({{name, 600}}), kMoment);
    const std::string bytes = Slurp(Beside());
    SetTime(Beside(), kMoment.addSecs(3600));  // a backup restored without its time
    messages.shown.clear();
    Settings_Load();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].first, kBrokenMessage) << "the message stays as it is";
    EXPECT_TRUE(Defaults());
    ASSERT_TRUE(Settings_Save());
    EXPECT_EQ(Slurp(rejected), bytes) << "an older rejected file is replaced";
  }
  // What the README tells a player: the stamp's minute given back to the file.
  fs::copy_file(rejected, Beside(), fs::copy_options::overwrite_existing);
  SetTime(Beside(), kMoment);
  messages.shown.clear();
  Settings_Load();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(Module1.HiScore[0].Name, "second");
}

TEST_F(RobustnessTest, OptionsWithoutAValidWaitTickTheDefaultWait) {
  for (const std::string options : {"\"\"", "\"19\"", "\"1x\""}) {
    SCOPED_TRACE(options);
    std::string file = fmt::BuildFile(Table({}), fmt::Stamp(kMoment));
    file.replace(file.find("\"12\""), 4, options);
    std::ofstream(Beside(), std::ios::binary) << file;
    SetTime(Beside(), kMoment);
    for (MenuItem* item : {&form().mnuO4, &form().mnuO5, &form().mnuO6, &form().mnuO7}) {
      item->SetChecked(false);
    }
    Module1.WaitMs = 0;
    Settings_Load();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(TickedWait(), 2);
    EXPECT_EQ(Module1.WaitMs, 50);
  }
}

TEST_F(RobustnessTest, FolderRuleForBuildAndInstalledGames) {
  EXPECT_EQ(Settings_Folder(), app_) << "run from its build or unpacked folder";

  // An installed game, run here as whoever runs the tests (root included), with a table an
  // older version left beside it.
  std::ofstream(Beside(kInstalledMarker)) << "installed\n";
  Stamped(Beside(), Table({{"old", 300}}), kMoment);
  const std::string user = config_.path().toStdString() + "/tarnix/";
  EXPECT_EQ(Settings_Folder(), user);
  Settings_Load();
  EXPECT_TRUE(messages.shown.empty()) << "moved with its time, its stamp still holds";
  EXPECT_EQ(Module1.HiScore[0].Name, "old");
  EXPECT_EQ(QFileInfo(QString::fromStdString(user + "Tarnix.ini")).lastModified(), kMoment);
  Module1.HiScore[1] = {"new", 1, "10"};
  ASSERT_TRUE(Settings_Save());
  EXPECT_NE(Slurp(user + "Tarnix.ini").find("new"), std::string::npos);
  EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
            QStringList{kInstalledMarker})
      << "the old table moved out, nothing written in the install folder";

  // Moved once: a table put back beside the executable later is not taken.
  Stamped(Beside(), Table({{"stale", 999}}), kMoment);
  Settings_Load();
  EXPECT_EQ(Module1.HiScore[0].Name, "old");
}

TEST_F(RobustnessTest, SaveBeforeExitRunsOnceAndShowsNothing) {
  Module1.HiScore[0] = {"exit", 5, "500"};
  Form_SaveBeforeExit();
  EXPECT_NE(Slurp(Beside()).find("exit"), std::string::npos);
  Module1.HiScore[0] = {"again", 5, "600"};
  Form_SaveBeforeExit();
  EXPECT_EQ(Slurp(Beside()).find("again"), std::string::npos)
      << "saved once: the game counts as closed, as after a normal closing";

  // A save that fails while the process ends shows no message box.
  Form1Window next;
  Module1.AppPath = Beside() + "/";  // a file as a folder: nowhere to write
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(Beside()));
  Form_SaveBeforeExit();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_TRUE(next.Unloaded());
}

}  // namespace
}  // namespace tarnix::testing
