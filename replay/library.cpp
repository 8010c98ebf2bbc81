#include "replay/library.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <map>
#include <set>
#include <vector>

#include "core/module1.h"
#include "files/file_io.h"
#include "files/files.h"
#include "files/settings_format.h"

namespace tarnix {

namespace {

using Table = std::array<HiScoreEntry, kHiScoreRanks>;

constexpr std::string_view kSuffix = ".tnr";
constexpr char kLastName[] = "last.tnr";
constexpr std::size_t kStampLength = 17;

std::string NameHash(std::string_view bytes) {
  std::uint32_t h = 2166136261u;  // FNV-1a
  for (const char c : bytes) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  char hex[9];
  std::snprintf(hex, sizeof hex, "%08x", h);
  return hex;
}

bool Digits(std::string_view s, std::size_t most) {
  return !s.empty() && s.size() <= most &&
         std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The starts of the names an entry's replay may have, "SCORE-LEVEL-NAMEHASH-": first from its
// fields as Tarnix.ini holds them (the name in the file's code page), so that a name the file
// cannot spell finds its replay again after a restart; then as an older version made them,
// from the name as typed.
std::vector<std::string> EntryKeys(const HiScoreEntry& e) {
  if (!Digits(e.Score, 12)) return {};
  const settings_format::StoredEntry stored = settings_format::Stored(e);
  std::vector<std::string> keys{std::to_string(stored.score) + "-" +
                                std::to_string(stored.level) + "-" + NameHash(stored.name) +
                                "-"};
  const std::string typed = e.Score + "-" + std::to_string(e.Level) + "-" + NameHash(e.Name) + "-";
  if (typed != keys.front()) keys.push_back(typed);
  return keys;
}

// "SCORE-LEVEL-NAMEHASH-STAMP.tnr"; nothing else in the folder is an entry's.
bool IsEntryFile(std::string_view name) {
  if (name.size() <= kSuffix.size() || name.substr(name.size() - kSuffix.size()) != kSuffix) {
    return false;
  }
  name.remove_suffix(kSuffix.size());
  const std::size_t a = name.find('-');
  const std::size_t b = name.find('-', a + 1);
  const std::size_t c = name.find('-', b + 1);
  if (a == std::string_view::npos || b == std::string_view::npos ||
      c == std::string_view::npos || c - b - 1 != 8) {
    return false;
  }
  const std::string_view hash = name.substr(b + 1, 8);
  return Digits(name.substr(0, a), 12) && Digits(name.substr(a + 1, b - a - 1), 7) &&
         std::all_of(hash.begin(), hash.end(),
                     [](char h) { return (h >= '0' && h <= '9') || (h >= 'a' && h <= 'f'); }) &&
         name.size() - c - 1 == kStampLength && Digits(name.substr(c + 1), kStampLength);
}

// The entries' replays in the folder, the newest game first.
std::vector<std::string> EntryFiles() {
  std::vector<std::string> files;
  DIR* dir = ::opendir(ReplayLibrary_Folder().c_str());
  if (dir == nullptr) return files;
  while (const dirent* entry = ::readdir(dir)) {
    if (IsEntryFile(entry->d_name)) files.emplace_back(entry->d_name);
  }
  ::closedir(dir);
  auto stamp = [](const std::string& name) {
    return name.substr(name.size() - kSuffix.size() - kStampLength, kStampLength);
  };
  std::sort(files.begin(), files.end(), [&stamp](const std::string& a, const std::string& b) {
    return stamp(a) != stamp(b) ? stamp(a) > stamp(b) : a > b;
  });
  return files;
}

// Which file each entry of `table` claims: among the files made for its fields, the newest
// not yet claimed by a higher entry, as a new score goes above an equal older one.
std::array<std::string, kHiScoreRanks> Claims(const Table& table,
                                              const std::vector<std::string>& files) {
  std::array<std::string, kHiScoreRanks> claims;
  std::vector<bool> taken(files.size(), false);
  for (int k = 0; k < kHiScoreRanks; ++k) {
    const std::vector<std::string> keys = EntryKeys(table[static_cast<std::size_t>(k)]);
    for (std::size_t i = 0; i < files.size() && claims[static_cast<std::size_t>(k)].empty(); ++i) {
      for (const std::string& key : keys) {
        if (!taken[i] && files[i].size() == key.size() + kStampLength + kSuffix.size() &&
            files[i].compare(0, key.size(), key) == 0) {
          claims[static_cast<std::size_t>(k)] = files[i];
          taken[i] = true;
          break;
        }
      }
    }
  }
  return claims;
}

// The replays this game claims, each held open under a shared lock: another copy may remove
// a file only once it can lock it alone.
std::map<std::string, int>& Held() {
  static std::map<std::string, int> held;
  return held;
}

void Hold(const std::set<std::string>& paths) {
  std::map<std::string, int>& held = Held();
  for (auto it = held.begin(); it != held.end();) {
    if (paths.count(it->first) != 0) {
      ++it;
      continue;
    }
    ::close(it->second);
    it = held.erase(it);
  }
  for (const std::string& path : paths) {
    if (held.count(path) != 0) continue;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    ::flock(fd, LOCK_SH | LOCK_NB);
    held.emplace(path, fd);
  }
}

std::set<std::string> Paths(const std::array<std::string, kHiScoreRanks>& claims) {
  std::set<std::string> paths;
  for (const std::string& name : claims) {
    if (!name.empty()) paths.insert(ReplayLibrary_Folder() + name);
  }
  return paths;
}

// Removes `path` unless a game still holds it; only a regular file, never through a link.
void Remove_Unheld(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    ::unlink(path.c_str());
  }
  ::close(fd);
}

void Tidy() {
  const std::vector<std::string> files = EntryFiles();
  std::set<std::string> kept = Paths(Claims(Module1.HiScore, files));
  Hold(kept);
  if (const std::optional<Table> disk = Settings_TableOnDisk()) {
    kept.merge(Paths(Claims(*disk, files)));
  }
  for (const std::string& name : files) {
    const std::string path = ReplayLibrary_Folder() + name;
    if (kept.count(path) == 0) Remove_Unheld(path);
  }
}

bool Write(const std::string& path, const ReplayRecord& record) {
  FileWrite how;
  how.ours = Replay_IsFile;
  how.limit = kReplayMaxBytes;
  return File_MakeFolder(ReplayLibrary_Folder()) && File_Write(path, Replay_Format(record), how);
}

}  // namespace

std::string ReplayLibrary_Folder() { return Settings_Folder() + "replays/"; }

std::string ReplayLibrary_LastPath() { return ReplayLibrary_Folder() + kLastName; }

bool ReplayLibrary_SaveLast(const ReplayRecord& record) {
  return Write(ReplayLibrary_LastPath(), record);
}

bool ReplayLibrary_Link(const ReplayRecord& record, int rank) {
  if (rank < 0 || rank >= kHiScoreRanks) return false;
  const std::vector<std::string> keys = EntryKeys(Module1.HiScore[static_cast<std::size_t>(rank)]);
  if (keys.empty() || record.stamp.size() != kStampLength) return false;
  if (!Write(ReplayLibrary_Folder() + keys.front() + record.stamp + std::string(kSuffix), record)) {
    return false;
  }
  Tidy();
  return true;
}

std::string ReplayLibrary_PathFor(int rank) {
  if (rank < 0 || rank >= kHiScoreRanks) return {};
  const std::string name = Claims(Module1.HiScore, EntryFiles())[static_cast<std::size_t>(rank)];
  return name.empty() ? name : ReplayLibrary_Folder() + name;
}

void ReplayLibrary_Hold() { Hold(Paths(Claims(Module1.HiScore, EntryFiles()))); }

ReplayReadResult ReplayLibrary_Read(const std::string& path) {
  const FileRead file = File_Read(path, kReplayMaxBytes);
  ReplayReadResult failed;
  failed.error = ReplayError::kUnreadable;
  if (file.kind == FileRead::kMissing) {
    failed.detail = File_Reason(ENOENT).toStdString();
    return failed;
  }
  if (file.kind == FileRead::kRefused) {
    failed.detail = file.reason.toStdString();
    return failed;
  }
  if (file.bytes.size() > kReplayMaxBytes) {
    failed.error = ReplayError::kTooLarge;
    return failed;
  }
  return Replay_Parse(file.bytes);
}

}  // namespace tarnix
