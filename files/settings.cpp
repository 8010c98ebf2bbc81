#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "files/files.h"
#include "files/settings_format.h"
#include "playfield/form1.h"
#include "shell/platform.h"
#include "shell/shell.h"

namespace tarnix {

namespace {

using settings_format::SettingsData;
using settings_format::SettingsHooks;

const QString kFileName = QStringLiteral("Tarnix.ini");
// A real file is a few hundred bytes; anything this big is not ours.
constexpr qint64 kMaxFileBytes = 64 * 1024;

bool Folder_Writable(const QString& folder) {
  if (SettingsHooks().folderWritable) return SettingsHooks().folderWritable(folder);
  return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

bool Name_IsSettings(const QString& name) {
  if (name.size() != kFileName.size()) return false;
  for (qsizetype i = 0; i < name.size(); ++i) {
    const char16_t c = name[i].unicode();
    const char16_t lower = (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c;
    if (lower != kFileName[i].toLower().unicode()) return false;
  }
  return true;
}

// The file in `folder` in any letter case, the exact spelling first; empty when none.
QString Settings_Find(const QString& folder) {
  const QDir dir(folder);
  if (QFileInfo(dir.filePath(kFileName)).isFile()) return dir.filePath(kFileName);
  for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
    if (Name_IsSettings(name)) return dir.filePath(name);
  }
  return {};
}

// Beside the executable where that folder takes writes; otherwise the per-user copy, or
// the one beside the executable until a per-user copy exists.
QString Settings_ReadPath() {
  const QString app = QString::fromStdString(Module1.AppPath);
  const QString beside = Settings_Find(app);
  if (Folder_Writable(app)) return beside;
  const QString user = Settings_Find(settings_format::UserFolder());
  return user.isEmpty() ? beside : user;
}

void Settings_Defaults() {
  Form1->mnuO1.SetChecked(true);
  mnuO6_Click();
  for (HiScoreEntry& entry : Module1.HiScore) entry = HiScoreEntry{"", 0, "0"};
}

void Settings_Apply(const SettingsData& data) {
  if (data.SoundOn) Form1->mnuO1.SetChecked(true);
  switch (data.WaitItem) {
    case 0: mnuO4_Click(); break;
    case 1: mnuO5_Click(); break;
    case 2: mnuO6_Click(); break;
    case 3: mnuO7_Click(); break;
    default: break;
  }
  Module1.HiScore = data.HiScore;
}

std::optional<SettingsData> Settings_Read(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = file.read(kMaxFileBytes + 1);
  if (bytes.size() > kMaxFileBytes) return std::nullopt;
  const QDateTime written = file.fileTime(QFileDevice::FileModificationTime);
  return settings_format::ParseFile(bytes.toStdString(), settings_format::Stamp(written));
}

// The old file stays whole until the new one is complete.
bool Settings_Write(const QString& path, const std::string& bytes, const QDateTime& stamped) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
          static_cast<qint64>(bytes.size()) ||
      !file.flush()) {
    file.cancelWriting();
    return false;
  }
  // The stamp was read from the clock before the data went out; the file's time must say
  // the same minute, or a save across a minute's edge would be rejected at the next start.
  file.setFileTime(stamped, QFileDevice::FileModificationTime);
  if (SettingsHooks().beforeCommit) SettingsHooks().beforeCommit();
  return file.commit();
}

}  // namespace

void Settings_Load() {
  const QString path = Settings_ReadPath();
  if (path.isEmpty()) {
    Settings_Defaults();
    return;
  }
  const std::optional<SettingsData> data = Settings_Read(path);
  if (!data) {
    Platform().messages->Show("設定ファイルが壊れているため\n初期状態にクリアして起動します",
                              MessageIcon::kInformation);
    Settings_Defaults();
    return;
  }
  Settings_Apply(*data);
}

std::string Settings_Folder() {
  const QString app = QString::fromStdString(Module1.AppPath);
  if (Folder_Writable(app)) return Module1.AppPath;
  return settings_format::UserFolder().toStdString();
}

bool Settings_Save() {
  const QDateTime now =
      SettingsHooks().now ? SettingsHooks().now() : QDateTime::currentDateTime();
  SettingsData data;
  data.SoundOn = Form1->mnuO1.Checked();
  data.WaitItem = -1;
  const MenuItem* waits[] = {&Form1->mnuO4, &Form1->mnuO5, &Form1->mnuO6, &Form1->mnuO7};
  for (int i = 3; i >= 0; --i) {
    if (waits[i]->Checked()) data.WaitItem = i;
  }
  data.HiScore = Module1.HiScore;
  const std::string bytes = settings_format::BuildFile(data, settings_format::Stamp(now));

  const QString app = QString::fromStdString(Module1.AppPath);
  bool saved = false;
  if (Folder_Writable(app)) {
    saved = Settings_Write(app + kFileName, bytes, now);
  } else {
    const QString user = settings_format::UserFolder();
    saved = QDir().mkpath(user) && Settings_Write(user + kFileName, bytes, now);
  }
  if (!saved) {
    Platform().messages->Show(
        "ディスクにアクセスできなかったため\n設定及びスコアデータを保存できませんでした。",
        MessageIcon::kCritical);
  }
  return saved;
}

}  // namespace tarnix
