#include "replay/library.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cstdio>

#include "files/files.h"
#include "core/module1.h"

namespace tarnix {

namespace {

constexpr const char* kSuffix = ".tnr";

std::uint32_t NameHash(const std::string& name) {
  std::uint32_t h = 2166136261u;  // FNV-1a
  for (const char c : name) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  return h;
}

bool AllDigits(const std::string& s) {
  return !s.empty() && s.size() <= 12 &&
         std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "score-level-namehash-stamp": what an entry of the table holds, and when its game ended,
// so that two entries alike in every field still tell their games apart.
std::string EntryKey(const HiScoreEntry& e) {
  if (!AllDigits(e.Score)) return {};
  char hash[9];
  std::snprintf(hash, sizeof hash, "%08x", NameHash(e.Name));
  return e.Score + "-" + std::to_string(e.Level) + "-" + hash + "-";
}

bool WriteFile(const QString& path, const std::string& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
  return file.commit();
}

// Which file each entry of the table claims: among the files made for its fields, the
// newest not yet claimed by a higher entry, as a new score goes above an equal older one.
std::array<QString, kHiScoreRanks> Claims() {
  std::array<QString, kHiScoreRanks> claims;
  const QDir dir(QString::fromStdString(ReplayLibrary_Folder()));
  QStringList files = dir.entryList({QStringLiteral("*") + kSuffix}, QDir::Files, QDir::Name);
  files.removeAll(QStringLiteral("last") + kSuffix);
  std::sort(files.begin(), files.end(), [](const QString& a, const QString& b) {
    return a.section('-', 3) > b.section('-', 3);
  });
  for (int k = 0; k < kHiScoreRanks; ++k) {
    const std::string key = EntryKey(Module1.HiScore[k]);
    if (key.empty()) continue;
    for (QString& file : files) {
      if (!file.isEmpty() && file.toStdString().rfind(key, 0) == 0 &&
          file.size() == static_cast<qsizetype>(key.size()) + 17 + 4) {
        claims[k] = dir.filePath(file);
        file.clear();
        break;
      }
    }
  }
  return claims;
}

}  // namespace

// Through the UTF-8 form of the folder: Qt's file classes cannot hold a name that is not UTF-8.
std::string ReplayLibrary_Folder() { return Settings_FolderUtf8() + "replays/"; }

std::string ReplayLibrary_LastPath() { return ReplayLibrary_Folder() + "last" + kSuffix; }

bool ReplayLibrary_SaveLast(const ReplayRecord& record) {
  return WriteFile(QString::fromStdString(ReplayLibrary_LastPath()), Replay_Format(record));
}

bool ReplayLibrary_Link(const ReplayRecord& record, int rank) {
  if (rank < 0 || rank >= kHiScoreRanks) return false;
  const std::string key = EntryKey(Module1.HiScore[rank]);
  if (key.empty() || record.stamp.size() != 17) return false;
  const QString path = QString::fromStdString(ReplayLibrary_Folder() + key + record.stamp + kSuffix);
  if (!WriteFile(path, Replay_Format(record))) return false;
  const auto claims = Claims();
  const QDir dir(QString::fromStdString(ReplayLibrary_Folder()));
  for (const QString& file : dir.entryList({QStringLiteral("*") + kSuffix}, QDir::Files)) {
    const QString full = dir.filePath(file);
    if (file == QStringLiteral("last") + kSuffix ||
        std::find(claims.begin(), claims.end(), full) != claims.end()) {
      continue;
    }
    QFile::remove(full);
  }
  return true;
}

std::string ReplayLibrary_PathFor(int rank) {
  if (rank < 0 || rank >= kHiScoreRanks) return {};
  return Claims()[static_cast<std::size_t>(rank)].toStdString();
}

ReplayReadResult ReplayLibrary_Read(const std::string& path) {
  QFile file(QString::fromStdString(path));
  ReplayReadResult failed;
  failed.error = ReplayError::kUnreadable;
  if (!file.open(QIODevice::ReadOnly)) return failed;
  if (file.size() > static_cast<qint64>(kReplayMaxBytes)) {
    failed.error = ReplayError::kTooLarge;
    return failed;
  }
  const QByteArray bytes = file.read(static_cast<qint64>(kReplayMaxBytes) + 1);
  return Replay_Parse(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace tarnix
