#include <sys/stat.h>

#include <QProcess>
#include <QStandardPaths>

#include "files/files.h"
#include "shell/platform.h"

namespace tarnix {

namespace {

// The desktop's opener stands in for the text editor of the platform the game came from.
class DesktopLauncher final : public Launcher {
 public:
  bool OpenerAvailable() override {
    return !QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty();
  }
  bool Open(const std::string& path) override {
    // One argument, no shell: a folder with spaces or quotes in its name still works. A path
    // that is not UTF-8 cannot pass through a QString; as a file URL its bytes survive.
    const QByteArray bytes = QByteArray::fromStdString(path);
    const QString text = QString::fromUtf8(bytes);
    const QString argument =
        text.toUtf8() == bytes ? text
                               : QStringLiteral("file://") + QString::fromLatin1(
                                     bytes.toPercentEncoding(QByteArrayLiteral("/")));
    return QProcess::startDetached(QStringLiteral("xdg-open"), {argument});
  }
};

}  // namespace

Launcher& RealLauncher() {
  static DesktopLauncher launcher;
  return launcher;
}

void mnuH1_Click() {
  Launcher& launcher = *Platform().launcher;
  if (!launcher.OpenerAvailable()) {
    Platform().messages->Show("メモ帳が見つからないため参照できません。", MessageIcon::kNone);
    return;
  }
  const std::string readme = Module1.AppPath + "Readme.txt";
  struct stat info {};
  if (::stat(readme.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    Platform().messages->Show("Readmeファイルが見つからないため参照できません。",
                              MessageIcon::kNone);
    return;
  }
  launcher.Open(readme);
}

}  // namespace tarnix
