// Every file the game writes goes through one writer: links that lead anywhere but to the
// game's own kind of file, names the settings file cannot spell, two copies of the game in
// one folder, a full disk.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>

#include <filesystem>
#include <functional>
#include <set>

#include "files/files.h"
#include "files/options.h"
#include "replay/library.h"
#include "replay/replay.h"
#include "support/fixture.h"
#include "support/processes.h"
#include "support/settings_files.h"
#include "support/table_games.h"

namespace tarnix::testing {
namespace {

namespace fs = std::filesystem;

// The exit status of `body` run in a child process, -1 when it died or hung.
int InChild(const std::function<int()>& body) {
  const int status = RunInChild(body);
  return status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class FilesTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    Replay_Reset();
    ASSERT_TRUE(folder_.isValid() && away_.isValid());
    app_ = folder_.path().toStdString() + "/";
    away = away_.path().toStdString() + "/";
    Module1.AppPath = app_;
    Module1.KeyFlags = "000000";
  }
  void TearDown() override {
    Replay_Reset();
    GameTest::TearDown();
  }
  // Three entries and two free places, so that new games enter without pushing anyone out.
  static void ThreeEntries() {
    Module1.HiScore = {HiScoreEntry{"P0", 3, "500"}, HiScoreEntry{"P1", 2, "400"},
                       HiScoreEntry{"P2", 1, "300"}, HiScoreEntry{"", 0, "0"},
                       HiScoreEntry{"", 0, "0"}};
  }
  // The game started again from the same folder.
  void Restart() {
    Module1_Reset();
    Replay_Reset();
    Module1.AppPath = app_;
    Module1.KeyFlags = "000000";
    messages.shown.clear();
    Settings_Load();
  }
  // The name in each replay of the entries in the folder.
  std::multiset<std::string> ReplayNames() const {
    std::multiset<std::string> names;
    for (const auto& file : fs::directory_iterator(ReplayLibrary_Folder())) {
      if (file.path().filename() == "last.tnr") continue;
      const ReplayReadResult r = ReplayLibrary_Read(file.path().string());
      names.insert(r.record ? r.record->name : "<" + file.path().filename().string() + ">");
    }
    return names;
  }

  QTemporaryDir folder_, away_;
  std::string app_, away;
};

TEST_F(FilesTest, LinksAreFollowedOnlyToTheGamesOwnKindOfFile) {
  const std::string notes = away + "notes.txt";
  PutBytes(notes, "milk, eggs\n");
  // A null device made here where the test may make one (root); elsewhere the system's,
  // which an ordinary user cannot replace anyway.
  std::string device = away + "null";
  if (mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) device = "/dev/null";
  struct stat before {};
  ASSERT_EQ(stat(device.c_str(), &before), 0);
  ASSERT_EQ(mkdir((app_ + "replays").c_str(), 0755), 0);
  ASSERT_EQ(symlink(notes.c_str(), (app_ + "Tarnix.ini").c_str()), 0);
  ASSERT_EQ(symlink(device.c_str(), (app_ + "tarnix.conf").c_str()), 0);
  ASSERT_EQ(symlink(notes.c_str(), (app_ + "replays/last.tnr").c_str()), 0);

  Settings_Load();  // a text file, no settings file: the game starts from the defaults
  Options_Load();
  ASSERT_TRUE(PlayToTheEnd(0));
  Options().Scale = 3;
  ASSERT_TRUE(Settings_Save());
  ASSERT_TRUE(Options_Save());

  EXPECT_EQ(FileBytes(notes), "milk, eggs\n") << "what a link led to is never touched";
  struct stat after {};
  ASSERT_EQ(stat(device.c_str(), &after), 0);
  EXPECT_TRUE(S_ISCHR(after.st_mode) && after.st_rdev == before.st_rdev) << "still the device";
  for (const char* name : {"Tarnix.ini", "tarnix.conf", "replays/last.tnr"}) {
    struct stat info {};
    ASSERT_EQ(lstat((app_ + name).c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode)) << name << ": the link became the game's own file";
  }
  EXPECT_EQ(FileBytes(app_ + "Tarnix.ini.rejected"), "milk, eggs\n") << "kept aside at the start";
  Restart();
  EXPECT_TRUE(messages.shown.empty()) << "a sound settings file";
  Options_Load();
  EXPECT_EQ(Options().Scale, 3);
  EXPECT_TRUE(ReplayLibrary_Read(ReplayLibrary_LastPath()).record);

  // A link to a file of the game's own kind is written through and stays a link.
  const std::string conf = away + "tarnix.conf";
  PutBytes(conf, "; shared between my machines\n[Window]\nScale=2\n");
  fs::remove(app_ + "tarnix.conf");
  ASSERT_EQ(symlink(conf.c_str(), (app_ + "tarnix.conf").c_str()), 0);
  Options_Load();
  EXPECT_EQ(Options().Scale, 2);
  Options().Scale = 4;
  ASSERT_TRUE(Options_Save());
  EXPECT_TRUE(fs::is_symlink(app_ + "tarnix.conf"));
  EXPECT_NE(FileBytes(conf).find("Scale=4"), std::string::npos);
  EXPECT_EQ(FileBytes(conf).find("; shared between my machines\n"), 0u) << "the rest as it was";

  // A regular file the game cannot take is kept beside it before it is replaced.
  fs::remove(app_ + "tarnix.conf");
  const std::string garbage("\x7f" "ELF\x02\x01\x01\0\0", 9);
  PutBytes(app_ + "tarnix.conf", garbage);
  ASSERT_TRUE(Options_Save());
  EXPECT_EQ(FileBytes(app_ + "tarnix.conf.rejected"), garbage);
  Options_Load();
  EXPECT_EQ(Options().Scale, 4);
}

TEST_F(FilesTest, ANameTheSettingsFileCannotSpellKeepsItsReplay) {
  ThreeEntries();
  ASSERT_TRUE(PlayToTheEnd(150, "Zoë 😀"));
  const std::string file = ReplayLibrary_PathFor(3);
  ASSERT_FALSE(file.empty());
  ASSERT_TRUE(Settings_Save());

  Restart();
  ASSERT_EQ(Module1.HiScore[3].Name, "Zo? ?") << "code page 932 has neither";
  EXPECT_EQ(ReplayLibrary_PathFor(3), file) << "the entry still claims its replay";
  ASSERT_TRUE(PlayToTheEnd(120, "next"));
  ASSERT_EQ(Module1.HiScore[4].Name, "next");
  EXPECT_TRUE(fs::exists(file)) << "the next game into the table left it";
  EXPECT_EQ(ReplayLibrary_PathFor(3), file);

  // A replay an older version named after the name as typed is still its entry's.
  Module1.HiScore[4] = HiScoreEntry{"太郎", 2, "120"};
  std::uint32_t hash = 2166136261u;
  for (const char c : std::string("太郎")) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  char name[64];
  std::snprintf(name, sizeof name, "120-2-%08x-20240305070930000.tnr", hash);
  PutBytes(ReplayLibrary_Folder() + name, FileBytes(file));
  EXPECT_EQ(ReplayLibrary_PathFor(4), ReplayLibrary_Folder() + name);
}

TEST_F(FilesTest, TwoCopiesInOneFolderKeepEachOthersReplays) {
  ThreeEntries();
  ASSERT_TRUE(Settings_Save());

  // A copy started from the same table enters it and closes: its entry is on disk now.
  EXPECT_EQ(InChild([] {
              if (!PlayToTheEnd(150, "closed") || ReplayLibrary_PathFor(3).empty()) return 1;
              return Settings_Save() ? 0 : 2;
            }),
            0);
  // Another enters it and is still running while this one's game enters last.
  int ready[2], go[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(go), 0);
  const pid_t running = fork();
  if (running == 0) {
    const int entered = PlayToTheEnd(170, "running") && !ReplayLibrary_PathFor(3).empty();
    char byte = entered ? 1 : 0;
    if (write(ready[1], &byte, 1) != 1 || read(go[0], &byte, 1) != 1) _exit(2);
    _exit(entered ? 0 : 1);
  }
  ASSERT_GT(running, 0);
  pollfd wait{ready[0], POLLIN, 0};
  char entered = 0;
  const bool answered = poll(&wait, 1, 60000) == 1 && read(ready[0], &entered, 1) == 1;
  const bool played = PlayToTheEnd(160, "this");
  const char byte = 1;
  EXPECT_EQ(write(go[1], &byte, 1), 1);
  int status = -1;
  waitpid(running, &status, 0);
  for (const int fd : {ready[0], ready[1], go[0], go[1]}) close(fd);
  ASSERT_TRUE(answered && entered && played);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  EXPECT_EQ(ReplayNames(), (std::multiset<std::string>{"closed", "running", "this"}))
      << "neither the table on disk's entry nor the running copy's lost its replay";
  ASSERT_TRUE(Settings_Save());
  Restart();
  ASSERT_EQ(Module1.HiScore[3].Name, "this");
  ASSERT_EQ(Module1.HiScore[4].Name, "closed");
  for (const int rank : {3, 4}) {
    const ReplayReadResult r = ReplayLibrary_Read(ReplayLibrary_PathFor(rank));
    ASSERT_TRUE(r.record) << "rank " << rank;
    EXPECT_EQ(r.record->name, Module1.HiScore[static_cast<std::size_t>(rank)].Name);
  }
  // The running copy closed without saving: the next game into the table lets its replay go,
  // and keeps the one it pushed out while the table on disk still holds that entry.
  ASSERT_TRUE(PlayToTheEnd(155, "later"));
  ASSERT_EQ(Module1.HiScore[4].Name, "later");
  EXPECT_EQ(ReplayNames(), (std::multiset<std::string>{"closed", "later", "this"}));
}

TEST_F(FilesTest, AFullDiskLeavesEveryOldFileWholeAndOffersNoReplayThatCannotPlay) {
  ThreeEntries();
  ASSERT_TRUE(PlayToTheEnd(0));
  const std::string last = FileBytes(ReplayLibrary_LastPath());
  ASSERT_TRUE(Replay_Parse(last).record);
  Options().Scale = 2;
  ASSERT_TRUE(Options_Save());
  const std::string conf = FileBytes(app_ + "tarnix.conf");
  ASSERT_TRUE(Settings_Save());
  const std::string ini = FileBytes(app_ + "Tarnix.ini");

  EXPECT_EQ(InChild([] {
              const FileSizeLimit full(64);  // less than any of the files
              Options().Scale = 3;
              if (Options_Save()) return 1;
              if (!PlayToTheEnd(150, "full") || Module1.HiScore[3].Name != "full") return 2;
              if (!ReplayLibrary_PathFor(3).empty()) return 3;
              return Settings_Save() ? 4 : 0;
            }),
            0)
      << "1: tarnix.conf saved; 2: no entry; 3: a replay offered; 4: Tarnix.ini saved";
  EXPECT_EQ(FileBytes(ReplayLibrary_LastPath()), last) << "the old last game, whole";
  EXPECT_EQ(FileBytes(app_ + "tarnix.conf"), conf);
  EXPECT_EQ(FileBytes(app_ + "Tarnix.ini"), ini);
  EXPECT_TRUE(ReplayNames().empty()) << "no replay of 0 bytes, no temporary file";
}

}  // namespace
}  // namespace tarnix::testing
