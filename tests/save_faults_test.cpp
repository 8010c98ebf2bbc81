// A save at shutdown that fails or is cut off: the table on disk stays the one the last good
// save wrote, and the next start reads it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "files/files.h"
#include "files/settings_format.h"
#include "window/form1.h"
#include "shell/shell.h"
#include "support/fixture.h"
#include "support/processes.h"
#include "support/settings_files.h"

namespace tarnix::testing {
namespace {

namespace fmt = settings_format;

const QDateTime kMoment(QDate(2024, 3, 5), QTime(7, 9, 30));
// Room for the old file several times over, and a fraction of the new one.
constexpr rlim_t kRoom = 1024;

std::string OldName(int rank) { return "古い" + std::to_string(rank); }

class SaveFaultsTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_TRUE(folder_.isValid() && config_.isValid());
    // The effects, so that the next start leaves the sound item as the file says.
    for (const char* name : {"up", "bomb", "get", "over", "height", "cursor", "select"}) {
      const QString file = QString::fromLatin1(name) + ".wav";
      ASSERT_TRUE(QFile::copy(QStringLiteral(TARNIX_SOURCE_DIR "/assets/") + file,
                              folder_.filePath(file)));
    }
    Module1.AppPath = folder_.path().toStdString() + "/";
    hadXdg_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    oldXdg_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
    fmt::SettingsHooks().now = [] { return kMoment; };
  }
  void TearDown() override {
    QFile::setPermissions(folder_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    fmt::SettingsHooks() = fmt::Hooks{};
    if (hadXdg_) {
      qputenv("XDG_CONFIG_HOME", oldXdg_);
    } else {
      qunsetenv("XDG_CONFIG_HOME");
    }
    next_.reset();
    GameTest::TearDown();
  }

  QString Beside() const { return folder_.filePath("Tarnix.ini"); }
  QString UserCopy() const { return config_.path() + "/tarnix/Tarnix.ini"; }
  static QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
  }

  // Options and a table that neither the defaults nor the failing save have: sound off, the
  // slowest wait, five named entries.
  static void SetOldTable() {
    Form1->mnuO1.SetChecked(false);
    mnuO7_Click();
    for (int i = 0; i < kHiScoreRanks; ++i) {
      Module1.HiScore[i] = HiScoreEntry{OldName(i), 10 + i, std::to_string(90000 - 1000 * i)};
    }
  }
  // Every option changed, and names long enough that the file is far past kRoom.
  static void SetNewTable() {
    Form1->mnuO1.SetChecked(true);
    mnuO4_Click();
    std::string name;
    for (int i = 0; i < 400; ++i) name += "新";
    for (int i = 0; i < kHiScoreRanks; ++i) {
      Module1.HiScore[i] = HiScoreEntry{name + std::to_string(i), 20, "999999"};
    }
  }
  static std::string FileOf(const HiScoreEntry& first) {
    fmt::SettingsData data;
    data.HiScore = Module1.HiScore;
    data.HiScore[0] = first;
    return fmt::BuildFile(data, fmt::Stamp(kMoment));
  }

  void ExpectSaveFailedMessage() {
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].first, kSaveFailedMessage);
    EXPECT_EQ(messages.shown[0].second, MessageIcon::kCritical);
  }

  // The game started again from the same folder, in a fresh window with a fresh state.
  void NextStart() {
    next_.reset();
    next_ = std::make_unique<Form1Window>();
    Module1_Reset();
    messages.shown.clear();
    Form_LoadSteps(folder_.path().toStdString());
  }
  void ExpectOldTable() {
    EXPECT_TRUE(messages.shown.empty()) << "the old file reads as sound, not as damaged";
    EXPECT_FALSE(Form1->mnuO1.Checked()) << "the defaults would tick the sound item";
    EXPECT_TRUE(Form1->mnuO7.Checked());
    EXPECT_FALSE(Form1->mnuO4.Checked() || Form1->mnuO5.Checked() || Form1->mnuO6.Checked());
    EXPECT_EQ(Module1.WaitMs, 75);
    for (int i = 0; i < kHiScoreRanks; ++i) {
      EXPECT_EQ(Module1.HiScore[i].Name, OldName(i)) << "rank " << i;
      EXPECT_EQ(Module1.HiScore[i].Level, 10 + i) << "rank " << i;
      EXPECT_EQ(Module1.HiScore[i].Score, std::to_string(90000 - 1000 * i)) << "rank " << i;
    }
  }

  // Runs Settings_Save in a child process after `prepare`; the child's wait status.
  static int SaveInChild(const std::function<void()>& prepare) {
    return RunInChild([&prepare] {
      prepare();
      return Settings_Save() ? 0 : 1;
    });
  }

  QTemporaryDir folder_;
  QTemporaryDir config_;
  std::unique_ptr<Form1Window> next_;

 private:
  bool hadXdg_ = false;
  QByteArray oldXdg_;
};

TEST_F(SaveFaultsTest, FoldersThatTakeNoWritesKeepTheOldFile) {
  SetOldTable();
  ASSERT_TRUE(Settings_Save());
  const std::string before = ReadAll(Beside());
  const QStringList entries = Entries(folder_.path());

  // The game folder refuses writes (for root only the check can say so); the per-user folder
  // cannot be made because the path above it is a file, which stops root as well.
  ASSERT_TRUE(QFile::setPermissions(folder_.path(), QFile::ReadOwner | QFile::ExeOwner));
  if (geteuid() == 0) {
    const QString app = QString::fromStdString(Module1.AppPath);
    fmt::SettingsHooks().folderWritable = [app](const QString& f) { return f != app; };
  }
  QFile blocker(config_.filePath("not-a-folder"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  qputenv("XDG_CONFIG_HOME", blocker.fileName().toUtf8());

  SetNewTable();
  EXPECT_FALSE(Settings_Save());
  ExpectSaveFailedMessage();
  EXPECT_EQ(ReadAll(Beside()), before);
  EXPECT_EQ(Entries(folder_.path()), entries);

  NextStart();
  ExpectOldTable();
}

TEST_F(SaveFaultsTest, WriteErrorPartWayKeepsTheOldFile) {
  SetOldTable();
  bool oldSaved = false;
  {
    FileSizeLimit limit(kRoom);
    oldSaved = Settings_Save();
  }
  ASSERT_TRUE(oldSaved) << "the limit leaves room for the old file, so the new one fails "
                           "part-way and not when it is opened";
  const std::string before = ReadAll(Beside());
  const QStringList entries = Entries(folder_.path());

  SetNewTable();
  ASSERT_GT(FileOf(Module1.HiScore[0]).size(), 3 * kRoom);
  bool newSaved = true;
  {
    FileSizeLimit limit(kRoom);
    newSaved = Settings_Save();
  }
  EXPECT_FALSE(newSaved);
  ExpectSaveFailedMessage();
  EXPECT_EQ(ReadAll(Beside()), before);
  EXPECT_EQ(Entries(folder_.path()), entries) << "the cut-off copy is removed";
  EXPECT_FALSE(QFile::exists(UserCopy())) << "a write error is not a reason to move";

  NextStart();
  ExpectOldTable();

  // Without the limit the same table saves and reads back: the limit was the only fault.
  SetNewTable();
  const auto wanted = Module1.HiScore;
  ASSERT_TRUE(Settings_Save());
  NextStart();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(Module1.HiScore[4].Name, wanted[4].Name);
}

TEST_F(SaveFaultsTest, ProcessKilledPartWayThroughTheWriteKeepsTheOldFile) {
  SetOldTable();
  ASSERT_TRUE(Settings_Save());
  const std::string before = ReadAll(Beside());

  SetNewTable();
  // The limit's signal at its default kills the process in the middle of the write.
  const int status = SaveInChild([] {
    signal(SIGXFSZ, SIG_DFL);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = kRoom;
    setrlimit(RLIMIT_FSIZE, &limit);
  });
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ)
      << "the save must die inside the write; wait status " << status;
  EXPECT_EQ(ReadAll(Beside()), before);

  NextStart();
  ExpectOldTable();
}

// Whether the process has a file open in `folder` that holds `size` bytes: the new file's
// copy that is not yet in place, named or not.
bool CopyOpenIn(const std::string& folder, std::size_t size) {
  for (int fd = 0; fd < 1024; ++fd) {
    char target[4096];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
    struct stat info {};
    if (length <= 0 || fstat(fd, &info) != 0) continue;
    if (std::string(target, length).rfind(folder, 0) == 0 && S_ISREG(info.st_mode) &&
        static_cast<std::size_t>(info.st_size) == size) {
      return true;
    }
  }
  return false;
}

constexpr int kNoCopy = 7;

// Names in `after` but not in `before` that the reader could take for the settings file.
QStringList Mistakable(const QStringList& before, const QStringList& after) {
  QStringList found;
  for (const QString& name : after) {
    if (!before.contains(name) && name.compare("Tarnix.ini", Qt::CaseInsensitive) == 0) {
      found << name;
    }
  }
  return found;
}

TEST_F(SaveFaultsTest, ProcessKilledBeforeTheCommitKeepsTheOldFile) {
  SetOldTable();
  ASSERT_TRUE(Settings_Save());
  const std::string before = ReadAll(Beside());
  const QStringList entries = Entries(folder_.path());

  SetNewTable();
  const std::size_t newSize = FileOf(Module1.HiScore[0]).size();
  const std::string folder = folder_.path().toStdString() + "/";
  const int status = SaveInChild([folder, newSize] {
    fmt::SettingsHooks().beforeCommit = [folder, newSize] {
      if (!CopyOpenIn(folder, newSize)) _exit(kNoCopy);
      raise(SIGKILL);
    };
  });
  ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == kNoCopy)
      << "the new file must be out in full, beside the old one, when the process dies";
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
      << "the save must reach the point before its commit; wait status " << status;
  EXPECT_EQ(ReadAll(Beside()), before);
  // Where the file system has no unnamed files the copy stays behind under its own name.
  EXPECT_TRUE(Mistakable(entries, Entries(folder_.path())).isEmpty());

  NextStart();
  ExpectOldTable();
}

TEST_F(SaveFaultsTest, FirstSaveKilledLeavesNothingTheNextStartTakesForTheFile) {
  const QStringList entries = Entries(folder_.path());
  SetNewTable();
  const std::string newFile = FileOf(Module1.HiScore[0]);
  const int status = SaveInChild([] {
    fmt::SettingsHooks().beforeCommit = [] { raise(SIGKILL); };
  });
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "wait status " << status;
  EXPECT_FALSE(QFile::exists(Beside()));
  EXPECT_TRUE(Mistakable(entries, Entries(folder_.path())).isEmpty());

  // What the copy is called where it stays behind; whole, and of the right minute, so that a
  // reader that took it would show its table.
  const QString leftover = folder_.filePath("Tarnix.ini.a1B2c3");
  {
    QFile file(leftover);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(newFile.data(), static_cast<qint64>(newFile.size())),
              static_cast<qint64>(newFile.size()));
    ASSERT_TRUE(file.setFileTime(kMoment, QFileDevice::FileModificationTime));
  }

  NextStart();
  EXPECT_TRUE(messages.shown.empty()) << "no file yet: a fresh start, not a damaged file";
  EXPECT_TRUE(Form1->mnuO1.Checked());
  EXPECT_TRUE(Form1->mnuO6.Checked());
  EXPECT_FALSE(Form1->mnuO4.Checked()) << "the leftover's options were not taken";
  for (const HiScoreEntry& entry : Module1.HiScore) EXPECT_EQ(entry.Name, "");

  // The next shutdown saves in spite of it.
  SetOldTable();
  Long cancel = 0;
  Form_Unload(cancel);
  EXPECT_TRUE(messages.shown.empty());
  NextStart();
  ExpectOldTable();
}

}  // namespace
}  // namespace tarnix::testing
