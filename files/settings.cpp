// The settings file on disk. Paths are bytes as the file system has them, so a folder whose
// name is not UTF-8 works like any other.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <vector>

#include "files/files.h"
#include "files/settings_format.h"
#include "core/doors.h"
#include "core/hooks.h"
#include "core/platform.h"

namespace tarnix {

namespace {

using settings_format::SettingsData;
using settings_format::SettingsHooks;
using Table = std::array<HiScoreEntry, kHiScoreRanks>;

constexpr char kFileName[] = "Tarnix.ini";
constexpr char kRejectedName[] = "Tarnix.ini.rejected";
// A real file is a few hundred bytes; anything this big is not ours.
constexpr std::size_t kMaxFileBytes = 64 * 1024;

const char* const kSaveFailed = QT_TRANSLATE_NOOP(
    "Messages", "ディスクにアクセスできなかったため\n設定及びスコアデータを保存できませんでした。");

// What the load left for the save: where the save will write, the table the game started
// from, and why that file must not be overwritten (empty when it may be).
struct Session {
  std::string target;
  Table base{};
  QString refusal;
};
Session& Current() {
  static Session session;
  return session;
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// `source` is marked with QT_TRANSLATE_NOOP("Messages", ...), so that lupdate finds it.
QString Text(const char* source) {
  return QCoreApplication::translate("Messages", source);
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string UserFolder() { return QFile::encodeName(settings_format::UserFolder()).toStdString(); }

bool Folder_Writable(const std::string& folder) {
  if (SettingsHooks().folderWritable) {
    return SettingsHooks().folderWritable(QString::fromStdString(folder));
  }
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool Game_Installed() {
  struct stat info {};
  return !Module1.AppPath.empty() && ::stat((Module1.AppPath + kInstalledMarker).c_str(), &info) == 0 &&
         S_ISREG(info.st_mode);
}

bool Name_IsSettings(const char* name) {
  if (std::strlen(name) != sizeof kFileName - 1) return false;
  for (std::size_t i = 0; kFileName[i] != '\0'; ++i) {
    const char c = (name[i] >= 'A' && name[i] <= 'Z') ? name[i] - 'A' + 'a' : name[i];
    const char want = (kFileName[i] >= 'A' && kFileName[i] <= 'Z') ? kFileName[i] - 'A' + 'a'
                                                                    : kFileName[i];
    if (c != want) return false;
  }
  return true;
}

// The file in `folder` in any letter case, whatever its kind, the exact spelling first;
// empty when none.
std::string Settings_Find(const std::string& folder) {
  struct stat info {};
  if (::lstat((folder + kFileName).c_str(), &info) == 0) return folder + kFileName;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return {};
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir)) {
    if (Name_IsSettings(entry->d_name)) names.emplace_back(entry->d_name);
  }
  ::closedir(dir);
  if (names.empty()) return {};
  return folder + *std::min_element(names.begin(), names.end());
}

// The file a name finally leads to, links followed; the name itself when it is no link.
std::string Link_Target(std::string path) {
  for (int hop = 0; hop < 40; ++hop) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char to[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), to, sizeof to);
    if (length <= 0 || length == static_cast<ssize_t>(sizeof to)) return path;
    const std::string target(to, static_cast<std::size_t>(length));
    path = target.front() == '/' ? target : FolderOf(path) + target;
  }
  return path;
}

struct DiskFile {
  enum Kind { kMissing, kRegular, kRefused } kind = kMissing;
  std::string bytes;  // a regular file's first kMaxFileBytes + 1 bytes
  timespec modified{};
  mode_t mode = 0;
  QString reason;  // why a file is refused
};

QString Reason_Of(int error) {
  if (error == EACCES || error == EPERM) {
    return Text(QT_TRANSLATE_NOOP("Messages", "読み取りの許可がありません"));
  }
  return QString::fromLocal8Bit(std::strerror(error));
}

QString Reason_OfKind(mode_t mode) {
  if (S_ISDIR(mode)) {
    return Text(QT_TRANSLATE_NOOP("Messages", "フォルダであり、通常のファイルではありません"));
  }
  if (S_ISFIFO(mode)) {
    return Text(QT_TRANSLATE_NOOP("Messages", "名前付きパイプであり、通常のファイルではありません"));
  }
  if (S_ISSOCK(mode)) {
    return Text(QT_TRANSLATE_NOOP("Messages", "ソケットであり、通常のファイルではありません"));
  }
  if (S_ISCHR(mode) || S_ISBLK(mode)) {
    return Text(QT_TRANSLATE_NOOP("Messages", "デバイスであり、通常のファイルではありません"));
  }
  return Text(QT_TRANSLATE_NOOP("Messages", "通常のファイルではありません"));
}

// Only a regular file (or a link to one) is opened, and never in a way that can block.
DiskFile Inspect(const std::string& path) {
  DiskFile file;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return file;
    file.kind = DiskFile::kRefused;
    file.reason = Reason_Of(errno);
    return file;
  }
  file.kind = DiskFile::kRefused;
  if (!S_ISREG(info.st_mode)) {
    file.reason = Reason_OfKind(info.st_mode);
    return file;
  }
  const Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0) {
    file.reason = Reason_Of(errno);
    return file;
  }
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    file.reason = Reason_OfKind(info.st_mode);
    return file;
  }
  std::vector<char> buffer(kMaxFileBytes + 1);
  std::size_t got = 0;
  while (got < buffer.size()) {
    const ssize_t n = ::read(fd.get(), buffer.data() + got, buffer.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      file.reason = Reason_Of(errno);
      return file;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  file.kind = DiskFile::kRegular;
  file.bytes.assign(buffer.data(), got);
  file.modified = info.st_mtim;
  file.mode = info.st_mode & 07777;
  return file;
}

QDateTime Moment(const timespec& t) {
  return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(t.tv_sec) * 1000 +
                                        t.tv_nsec / 1000000);
}

std::optional<SettingsData> Settings_Parse(const DiskFile& file) {
  if (file.kind != DiskFile::kRegular || file.bytes.size() > kMaxFileBytes) return std::nullopt;
  return settings_format::ParseFile(file.bytes,
                                    settings_format::Stamp(Moment(file.modified)));
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return 0666 & ~mask;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

std::string RandomSuffix() {
  static std::mt19937 gen(std::random_device{}());
  static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string suffix = ".";
  for (int i = 0; i < 6; ++i) suffix += kChars[gen() % (sizeof kChars - 1)];
  return suffix;
}

// Puts a new `path` in place only once it is complete, with the modification time `when`:
// the old file stays whole until then. A file that is not yet named goes in under a
// temporary name; where the file system has no unnamed files the copy has one from the
// start, which never reads as the settings file.
bool Write_Replacing(const std::string& path, const std::function<bool(int fd)>& fill,
                     const timespec& when, mode_t mode) {
  const std::string folder = FolderOf(path);
  bool named = false;
  std::string temp;
  int raw = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
  if (raw < 0) {
    for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
      temp = path + RandomSuffix();
      raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
      if (raw < 0 && errno != EEXIST) break;
    }
    if (raw < 0) return false;
    named = true;
  }
  const Fd fd(raw);
  const timespec times[2] = {{0, UTIME_OMIT}, when};
  const bool complete = fill(fd.get()) && ::fchmod(fd.get(), mode) == 0 &&
                        ::fsync(fd.get()) == 0 && ::futimens(fd.get(), times) == 0;
  if (complete && SettingsHooks().beforeCommit) SettingsHooks().beforeCommit();
  if (complete && !named) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd.get());
    for (int attempt = 0; attempt < 100; ++attempt) {
      temp = path + RandomSuffix();
      if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        named = true;
        break;
      }
      if (errno != EEXIST) break;
    }
    if (!named) return false;
  }
  if (complete && ::rename(temp.c_str(), path.c_str()) == 0) return true;
  if (named) ::unlink(temp.c_str());
  return false;
}

bool Write_Bytes(const std::string& path, const std::string& bytes, const timespec& when,
                 mode_t mode) {
  return Write_Replacing(
      path, [&bytes](int fd) { return WriteAll(fd, bytes.data(), bytes.size()); }, when, mode);
}

// A copy of `from` at `to`, with its time and mode, whatever its size.
bool Copy_File(const std::string& from, const std::string& to) {
  const Fd source(::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat info {};
  if (source.get() < 0 || ::fstat(source.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return false;
  }
  auto copy = [&source](int fd) {
    char buffer[16384];
    for (;;) {
      const ssize_t n = ::read(source.get(), buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return false;
      if (n == 0) return true;
      if (!WriteAll(fd, buffer, static_cast<std::size_t>(n))) return false;
    }
  };
  return Write_Replacing(to, copy, info.st_mtim, info.st_mode & 0777);
}

bool Make_Folder(const std::string& folder) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
  return QDir().mkpath(QFile::decodeName(QByteArray::fromStdString(folder)));
}

// Where reading looks: the settings folder, or, for a game that is not installed and whose
// folder takes no writes, the copy shipped beside the executable until a per-user one exists.
std::string Settings_ReadPath() {
  if (Game_Installed()) return Settings_Find(UserFolder());
  const std::string& app = Module1.AppPath;
  const std::string beside = Settings_Find(app);
  if (Folder_Writable(app)) return beside;
  const std::string user = Settings_Find(UserFolder());
  return user.empty() ? beside : user;
}

// An older version of an installed game kept the table beside the executable; its time goes
// with it, or its stamp would no longer pass.
void Settings_MoveOldTable() {
  if (!Game_Installed()) return;
  const std::string user = UserFolder();
  if (!Settings_Find(user).empty()) return;
  const std::string old = Settings_Find(Module1.AppPath);
  if (old.empty()) return;
  const DiskFile file = Inspect(old);
  if (file.kind != DiskFile::kRegular || file.bytes.size() > kMaxFileBytes) return;
  if (Make_Folder(user) && Write_Bytes(user + kFileName, file.bytes, file.modified, file.mode)) {
    ::unlink(old.c_str());
  }
}

// The sound item's tick is the window's; the file only reads and sets it.
void Sound_Tick() {
  if (Hook().SetSoundTicked) Hook().SetSoundTicked(true);
}

void Settings_Defaults() {
  Sound_Tick();
  mnuO6_Click();
  for (HiScoreEntry& entry : Module1.HiScore) entry = HiScoreEntry{"", 0, "0"};
}

void Settings_Apply(const SettingsData& data) {
  if (data.SoundOn) Sound_Tick();
  switch (data.WaitItem) {
    case 0: mnuO4_Click(); break;
    case 1: mnuO5_Click(); break;
    case 3: mnuO7_Click(); break;
    // An options line without a valid wait would leave none ticked and the game at full
    // speed: the default wait instead.
    default: mnuO6_Click(); break;
  }
  Module1.HiScore = data.HiScore;
}

void Show(const QString& text, MessageIcon icon) {
  Platform().messages->Show(text.toStdString(), icon);
}

QString Refused_Detail(const std::string& path, const QString& reason) {
  return "\n\n" + QFile::decodeName(QByteArray::fromStdString(path)) + "\n(" + reason + ")";
}

bool Same(const HiScoreEntry& a, const HiScoreEntry& b) {
  return a.Name == b.Name && a.Level == b.Level && a.Score == b.Score;
}

long long ScoreValue(const std::string& text) {
  try {
    return std::stoll(text);
  } catch (...) {
    return 0;
  }
}

// `ours` with the entries that `disk` holds beyond `base` (the table both started from),
// each placed by the ranking rule of a finished game.
Table Merged(Table ours, const Table& base, const Table& disk) {
  std::vector<HiScoreEntry> theirs;
  std::array<bool, kHiScoreRanks> matched{};
  for (const HiScoreEntry& entry : disk) {
    bool known = false;
    for (int j = 0; j < kHiScoreRanks && !known; ++j) {
      if (!matched[j] && Same(base[j], entry)) known = matched[j] = true;
    }
    if (!known) theirs.push_back(entry);
  }
  // The lower ones first, so that equal scores keep the order the other copy gave them.
  for (auto it = theirs.rbegin(); it != theirs.rend(); ++it) {
    const long long score = ScoreValue(it->Score);
    if (score <= 0) continue;
    for (int k = 0; k < kHiScoreRanks; ++k) {
      if (ScoreValue(ours[k].Score) <= score) {
        std::move_backward(ours.begin() + k, ours.end() - 1, ours.end());
        ours[k] = *it;
        break;
      }
    }
  }
  return ours;
}

std::string Save_Target() { return Link_Target(Settings_Folder() + kFileName); }

// The save, with its failure told through `fail`.
bool Settings_Store(const std::function<void(const QString&)>& fail) {
  const QDateTime now =
      SettingsHooks().now ? SettingsHooks().now() : QDateTime::currentDateTime();
  SettingsData data;
  data.SoundOn = Hook().SoundTicked && Hook().SoundTicked();
  data.WaitItem = Hook().WaitItemTicked ? Hook().WaitItemTicked() : -1;
  data.HiScore = Module1.HiScore;

  const QString failed = Text(kSaveFailed);
  const std::string folder = Settings_Folder();
  if (!Make_Folder(folder)) {
    fail(failed);
    return false;
  }
  const std::string target = Save_Target();
  Session& session = Current();
  if (target == session.target && !session.refusal.isEmpty()) {
    fail(failed + Refused_Detail(target, session.refusal));
    return false;
  }
  const DiskFile disk = Inspect(target);
  if (disk.kind == DiskFile::kRefused) {
    fail(failed + Refused_Detail(target, disk.reason));
    return false;
  }
  mode_t mode = NewFileMode();
  if (disk.kind == DiskFile::kRegular) {
    if (::access(target.c_str(), W_OK) != 0) {
      fail(failed);
      return false;
    }
    mode = disk.mode;
    // Another copy of the game may have saved since this one started.
    if (const std::optional<SettingsData> other = Settings_Parse(disk)) {
      const Table& base = target == session.target ? session.base : data.HiScore;
      data.HiScore = Merged(data.HiScore, base, other->HiScore);
    }
  }
  const std::string bytes = settings_format::BuildFile(data, settings_format::Stamp(now));
  // The stamp was read from the clock before the data went out; the file's time must say
  // the same minute, or a save across a minute's edge would be rejected at the next start.
  const qint64 ms = now.toMSecsSinceEpoch();
  const timespec when{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000};
  if (!Write_Bytes(target, bytes, when, mode)) {
    fail(failed);
    return false;
  }
  session.target = target;
  session.base = data.HiScore;
  return true;
}

}  // namespace

std::string Settings_Folder() {
  if (Game_Installed()) return UserFolder();
  return Folder_Writable(Module1.AppPath) ? Module1.AppPath : UserFolder();
}

std::string Settings_FolderUtf8() {
  const std::string folder = Settings_Folder();
  if (QString::fromStdString(folder).toStdString() == folder) return folder;
  static std::map<std::string, int> opened;
  auto found = opened.find(folder);
  if (found == opened.end()) {
    Make_Folder(folder);
    found = opened.emplace(folder, ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)).first;
  }
  return found->second < 0 ? folder : "/proc/self/fd/" + std::to_string(found->second) + "/";
}

void Settings_Load() {
  Settings_MoveOldTable();
  Session& session = Current();
  session = Session{Save_Target(), {}, {}};
  for (HiScoreEntry& entry : session.base) entry = HiScoreEntry{"", 0, "0"};

  const std::string path = Settings_ReadPath();
  const DiskFile file = path.empty() ? DiskFile{} : Inspect(path);
  if (file.kind == DiskFile::kMissing) {
    Settings_Defaults();
    return;
  }
  if (file.kind == DiskFile::kRefused) {
    if (Link_Target(path) == session.target) session.refusal = file.reason;
    Show(Text(QT_TRANSLATE_NOOP("Messages",
                                "設定ファイルを読み込めないため\n初期状態で起動します。\n"
                                "このファイルは終了時にも書き換えません。")) +
             Refused_Detail(path, file.reason),
         MessageIcon::kInformation);
    Settings_Defaults();
    return;
  }
  const std::optional<SettingsData> data = Settings_Parse(file);
  if (!data) {
    // Kept before anything can overwrite it: the table may be whole, its time only moved.
    const std::string folder = FolderOf(path);
    if (!Copy_File(path, folder + kRejectedName) && Link_Target(path) == session.target) {
      session.refusal =
          Text(QT_TRANSLATE_NOOP("Messages", "壊れたファイルを %1 として残せませんでした"))
              .arg(kRejectedName);
    }
    Show(Text(QT_TRANSLATE_NOOP("Messages",
                                "設定ファイルが壊れているため\n初期状態にクリアして起動します")),
         MessageIcon::kInformation);
    Settings_Defaults();
    return;
  }
  Settings_Apply(*data);
  session.base = data->HiScore;
}

bool Settings_Save() {
  return Settings_Store([](const QString& text) { Show(text, MessageIcon::kCritical); });
}

bool Settings_SaveSilently() {
  return Settings_Store([](const QString& text) {
    std::fprintf(stderr, "tarnix: %s\n", text.toLocal8Bit().constData());
  });
}

}  // namespace tarnix
