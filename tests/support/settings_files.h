// What the settings tests share: the file's bytes, the save-failure message, a file-size limit.
#pragma once

#include <signal.h>
#include <sys/resource.h>

#include <QFile>
#include <QString>

#include <string>

namespace tarnix::testing {

inline const std::string kSaveFailedMessage =
    "ディスクにアクセスできなかったため\n設定及びスコアデータを保存できませんでした。";

inline std::string ReadAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "<unreadable>";
  return file.readAll().toStdString();
}

// Stops every write past `bytes`, for root as well: the file-size limit, with the signal it
// raises ignored so that the write fails instead of the process dying.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    signal(SIGXFSZ, oldHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  sighandler_t oldHandler_ = SIG_DFL;
};

}  // namespace tarnix::testing
