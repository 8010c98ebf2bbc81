#include "shell/options.h"

#include <QSettings>

#include "files/files.h"

namespace tarnix {

namespace {

QString Options_Path() {
  return QString::fromStdString(Settings_FolderUtf8()) + QStringLiteral("tarnix.conf");
}

}  // namespace

PortOptions& Options() {
  static PortOptions options;
  return options;
}

void Options_Load() {
  const QSettings file(Options_Path(), QSettings::IniFormat);
  PortOptions& o = Options();
  o = PortOptions{};
  if (file.status() != QSettings::NoError) return;
  o.PauseWhenInactive = file.value("Window/PauseWhenInactive", o.PauseWhenInactive).toBool();
  bool ok = false;
  const int scale = file.value("Window/Scale", o.Scale).toInt(&ok);
  if (ok && scale >= 1 && scale <= 4) o.Scale = scale;
  o.FullScreen = file.value("Window/FullScreen", o.FullScreen).toBool();
  o.Rumble = file.value("Pad/Rumble", o.Rumble).toBool();
}

bool Options_Save() {
  QSettings file(Options_Path(), QSettings::IniFormat);
  const PortOptions& o = Options();
  file.setValue("Window/PauseWhenInactive", o.PauseWhenInactive);
  if (o.Scale != 0) file.setValue("Window/Scale", o.Scale);
  file.setValue("Window/FullScreen", o.FullScreen);
  file.setValue("Pad/Rumble", o.Rumble);
  file.sync();
  return file.status() == QSettings::NoError;
}

}  // namespace tarnix
