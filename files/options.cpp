#include "files/options.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

#include "files/files.h"

namespace tarnix {

namespace {

// A file this big is not one the game wrote.
constexpr qint64 kMaxOptionsBytes = 64 * 1024;

QString Options_Path(const std::string& folder) {
  return QString::fromStdString(folder) + QStringLiteral("tarnix.conf");
}

// "true"/"false" as QSettings writes them, and 1/0; anything else keeps the default.
void ReadBool(const QSettings& file, const char* key, bool& value) {
  const QString text = file.value(QLatin1String(key)).toString().trimmed().toLower();
  if (text == QLatin1String("true") || text == QLatin1String("1")) value = true;
  if (text == QLatin1String("false") || text == QLatin1String("0")) value = false;
}

void ReadInt(const QSettings& file, const char* key, int low, int high, int& value) {
  bool ok = false;
  const int read = file.value(QLatin1String(key)).toString().trimmed().toInt(&ok);
  if (ok && read >= low && read <= high) value = read;
}

bool Options_Readable(const QString& path) {
  const QFileInfo info(path);
  return info.isFile() && info.isReadable() && info.size() <= kMaxOptionsBytes;
}

}  // namespace

PortOptions& Options() {
  static PortOptions options;
  return options;
}

void Options_Load(const std::string& folder) {
  PortOptions& o = Options();
  o = PortOptions{};
  const QString path = Options_Path(folder);
  if (!Options_Readable(path)) return;
  const QSettings file(path, QSettings::IniFormat);
  if (file.status() != QSettings::NoError) return;
  ReadBool(file, "Window/PauseWhenInactive", o.PauseWhenInactive);
  ReadInt(file, "Window/Scale", 1, 4, o.Scale);
  ReadBool(file, "Window/FullScreen", o.FullScreen);
  ReadBool(file, "Pad/Rumble", o.Rumble);
  ReadBool(file, "Title/Demo", o.Demo);
  ReadBool(file, "View/BombMarks", o.BombMarks);
  ReadBool(file, "View/GentleFlashes", o.GentleFlashes);
  o.Language = file.value(QLatin1String("View/Language")).toString().trimmed().toStdString();
  for (const QString& key : file.allKeys()) {
    if (key.startsWith(QLatin1String("Keys/")) || key.startsWith(QLatin1String("PadButtons/"))) {
      // QSettings reads "52,0" as a list of two.
      o.Bindings[key.toStdString()] = file.value(key).toStringList().join(',').toStdString();
    }
  }
}

bool Options_Save(const std::string& folder) {
  // QSettings rewrites its file in place where it cannot make a temporary one beside it, so
  // the text is composed in a scratch folder and committed here in one rename.
  const QTemporaryDir scratch;
  if (!scratch.isValid()) return false;
  const QString draft = scratch.filePath(QStringLiteral("tarnix.conf"));
  {
    QSettings file(draft, QSettings::IniFormat);
    // Keys this version does not know (a newer one wrote them) are kept.
    const QString path = Options_Path(folder);
    if (Options_Readable(path)) {
      const QSettings old(path, QSettings::IniFormat);
      if (old.status() == QSettings::NoError) {
        for (const QString& key : old.allKeys()) file.setValue(key, old.value(key));
      }
    }
    const PortOptions& o = Options();
    file.setValue("Window/PauseWhenInactive", o.PauseWhenInactive);
    if (o.Scale != 0) file.setValue("Window/Scale", o.Scale);
    file.setValue("Window/FullScreen", o.FullScreen);
    file.setValue("Pad/Rumble", o.Rumble);
    file.setValue("Title/Demo", o.Demo);
    file.setValue("View/BombMarks", o.BombMarks);
    file.setValue("View/GentleFlashes", o.GentleFlashes);
    if (!o.Language.empty()) file.setValue("View/Language", QString::fromStdString(o.Language));
    for (const auto& [key, value] : o.Bindings) {
      file.setValue(QString::fromStdString(key), QString::fromStdString(value));
    }
    file.sync();
    if (file.status() != QSettings::NoError) return false;
  }
  QFile text(draft);
  if (!text.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = text.readAll();
  QSaveFile out(Options_Path(folder));
  if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
    out.cancelWriting();
    return false;
  }
  return out.commit();
}

}  // namespace tarnix
