#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>

#include "files/files.h"
#include "core/platform.h"

namespace tarnix {

namespace {

// Starts `program` with one argument passed as bytes, without waiting for it: QProcess turns
// arguments into UTF-8, which a path that is not UTF-8 does not survive.
bool StartDetached(const char* program, const std::string& argument) {
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    const pid_t grandchild = ::fork();
    if (grandchild == 0) {
      ::setsid();
      char* argv[] = {const_cast<char*>(program), const_cast<char*>(argument.c_str()), nullptr};
      ::execvp(program, argv);
      ::_exit(127);
    }
    ::_exit(grandchild < 0 ? 1 : 0);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The desktop's opener stands in for the text editor of the platform the game came from.
class DesktopLauncher final : public Launcher {
 public:
  bool OpenerAvailable() override {
    return !QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty();
  }
  bool Open(const std::string& path) override {
    // One argument, no shell: a folder with spaces or quotes in its name still works.
    const QString text = QString::fromStdString(path);
    if (text.toStdString() != path) return StartDetached("xdg-open", path);
    return QProcess::startDetached(QStringLiteral("xdg-open"), {text});
  }
};

}  // namespace

Launcher& RealLauncher() {
  static DesktopLauncher launcher;
  return launcher;
}

void Readme_Open() {
  Launcher& launcher = *Platform().launcher;
  if (!launcher.OpenerAvailable()) {
    Platform().messages->Show(
        QCoreApplication::translate("Messages", "メモ帳が見つからないため参照できません。")
            .toStdString(),
        MessageIcon::kNone);
    return;
  }
  const std::string readme = Module1.AppPath + "Readme.txt";
  struct stat info {};
  if (::stat(readme.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    Platform().messages->Show(
        QCoreApplication::translate("Messages", "Readmeファイルが見つからないため参照できません。")
            .toStdString(),
        MessageIcon::kNone);
    return;
  }
  launcher.Open(readme);
}

}  // namespace tarnix
