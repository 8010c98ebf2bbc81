// The settings file's format, apart from any file: what the reader and the writer agree on.
#pragma once

#include <QDateTime>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "core/module1.h"

namespace tarnix::settings_format {

inline constexpr int kLineCount = 17;
// The score's cap; the writer never writes more, so the reader takes more as damage.
inline constexpr Long kNumberMax = 999999;

struct SettingsData {
  bool SoundOn = true;
  int WaitItem = 2;  // 0..3 for mnuO4..mnuO7, -1 for none ticked
  std::array<HiScoreEntry, kHiScoreRanks> HiScore{};
};

// UTF-8 to code page 932; each character the code page lacks becomes one "?".
std::string Cp932Encode(const std::string& utf8);
// Code page 932 to UTF-8; nothing when a byte sequence is not code page 932.
std::optional<std::string> Cp932Decode(const std::string& bytes);

// "YYMMDDHHMM" of the local time.
std::string Stamp(const QDateTime& when);
// Line 1 without its quotes (UTF-8).
std::string Header(const std::string& stamp);

// An entry of the table as the file holds it: the name in code page 932, the level and the
// score within their caps.
struct StoredEntry {
  std::string name;
  Long level = 0;
  Long score = 0;
};
StoredEntry Stored(const HiScoreEntry& entry);

// The whole file, bytes as they go to disk.
std::string BuildFile(const SettingsData& data, const std::string& stamp);
// The whole file back; nothing when it is damaged or its stamp is not `stamp`.
// Without a stamp every stamp passes.
std::optional<SettingsData> ParseFile(const std::string& bytes,
                                      const std::optional<std::string>& stamp);

// What the machine is asked; tests put their own answers here.
struct Hooks {
  std::function<QDateTime()> now;
  std::function<bool(const QString& folder)> folderWritable;
  // Called when the new file is complete but not yet in place: where a save can be cut off.
  std::function<void()> beforeCommit;
};
Hooks& SettingsHooks();

// The folder of the per-user copy, ending in "/": $XDG_CONFIG_HOME/tarnix/.
QString UserFolder();

}  // namespace tarnix::settings_format

namespace tarnix {

// The whole body parser on raw bytes, the stamp taken as matching: for fuzzing.
bool Settings_ParseForFuzz(const std::string& bytes);

}  // namespace tarnix
