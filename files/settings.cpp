// The settings file on disk. Paths are bytes as the file system has them, so a folder whose
// name is not UTF-8 works like any other.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <vector>

#include "files/file_io.h"
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

// `source` is marked with QT_TRANSLATE_NOOP("Messages", ...), so that lupdate finds it.
QString Text(const char* source) {
  return QCoreApplication::translate("Messages", source);
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

FileRead Inspect(const std::string& path) { return File_Read(path, kMaxFileBytes); }

QDateTime Moment(const timespec& t) {
  return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(t.tv_sec) * 1000 +
                                        t.tv_nsec / 1000000);
}

std::optional<SettingsData> Settings_Parse(const FileRead& file) {
  if (file.kind != FileRead::kRegular || file.bytes.size() > kMaxFileBytes) return std::nullopt;
  return settings_format::ParseFile(file.bytes,
                                    settings_format::Stamp(Moment(file.modified)));
}

// A settings file by its shape, whatever its stamp: a table whose time moved is still one.
bool Settings_Kind(std::string_view bytes) {
  return settings_format::ParseFile(std::string(bytes), std::nullopt).has_value();
}

bool Write_Settings(const std::string& path, const std::string& bytes, const timespec& when,
                    std::optional<mode_t> mode = std::nullopt) {
  FileWrite how;
  how.ours = Settings_Kind;
  how.limit = kMaxFileBytes;
  how.modified = when;
  how.mode = mode;
  how.beforeCommit = SettingsHooks().beforeCommit;
  return File_Write(path, bytes, how);
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
  const FileRead file = Inspect(old);
  if (file.kind != FileRead::kRegular || file.bytes.size() > kMaxFileBytes) return;
  if (File_MakeFolder(user) &&
      Write_Settings(user + kFileName, file.bytes, file.modified, file.mode)) {
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

std::string Save_Target() { return File_LinkTarget(Settings_Folder() + kFileName); }

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
  if (!File_MakeFolder(folder)) {
    fail(failed);
    return false;
  }
  const std::string target = Save_Target();
  Session& session = Current();
  if (target == session.target && !session.refusal.isEmpty()) {
    fail(failed + Refused_Detail(target, session.refusal));
    return false;
  }
  const FileRead disk = Inspect(target);
  if (disk.kind == FileRead::kRefused) {
    fail(failed + Refused_Detail(target, disk.reason));
    return false;
  }
  // Another copy of the game may have saved since this one started.
  if (const std::optional<SettingsData> other = Settings_Parse(disk)) {
    const Table& base = target == session.target ? session.base : data.HiScore;
    data.HiScore = Merged(data.HiScore, base, other->HiScore);
  }
  const std::string bytes = settings_format::BuildFile(data, settings_format::Stamp(now));
  // The stamp was read from the clock before the data went out; the file's time must say
  // the same minute, or a save across a minute's edge would be rejected at the next start.
  const qint64 ms = now.toMSecsSinceEpoch();
  const timespec when{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000};
  if (!Write_Settings(folder + kFileName, bytes, when)) {
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
    File_MakeFolder(folder);
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
  const FileRead file = path.empty() ? FileRead{} : Inspect(path);
  if (file.kind == FileRead::kMissing) {
    Settings_Defaults();
    return;
  }
  if (file.kind == FileRead::kRefused) {
    if (File_LinkTarget(path) == session.target) session.refusal = file.reason;
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
    const std::string folder = File_FolderOf(path);
    if (!File_KeepAside(path, folder + kRejectedName) && File_LinkTarget(path) == session.target) {
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

std::optional<std::array<HiScoreEntry, kHiScoreRanks>> Settings_TableOnDisk() {
  const std::string path = Settings_ReadPath();
  if (path.empty()) return std::nullopt;
  const FileRead file = Inspect(path);
  if (file.kind != FileRead::kRegular || file.bytes.size() > kMaxFileBytes) return std::nullopt;
  const std::optional<SettingsData> data = settings_format::ParseFile(file.bytes, std::nullopt);
  if (!data) return std::nullopt;
  return data->HiScore;
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
