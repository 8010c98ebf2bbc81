#include "files/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>

#include <cerrno>
#include <climits>
#include <cstring>
#include <random>
#include <vector>

namespace tarnix {

namespace {

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

QString Text(const char* source) { return QCoreApplication::translate("Messages", source); }

QString Reason_OfKind(mode_t mode) {
  if (S_ISDIR(mode)) {
    return Text(QT_TRANSLATE_NOOP("Messages", "フォルダであり、通常のファイルではありません"));
  }
  if (S_ISFIFO(mode)) {
    return Text(QT_TRANSLATE_NOOP("Messages", "名前付きパイプであり、通常のファイルではありません"));
  }
  if (S_ISSOCK(mode)) {
    return Text(QT_TRANSLATE_NOOP("Messages", "ソケットであり、通常のファイルではありません"));
  }
  if (S_ISCHR(mode) || S_ISBLK(mode)) {
    return Text(QT_TRANSLATE_NOOP("Messages", "デバイスであり、通常のファイルではありません"));
  }
  return Text(QT_TRANSLATE_NOOP("Messages", "通常のファイルではありません"));
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return 0666 & ~mask;
}

std::string RandomSuffix() {
  static std::mt19937 gen(std::random_device{}());
  static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string suffix = ".";
  for (int i = 0; i < 6; ++i) suffix += kChars[gen() % (sizeof kChars - 1)];
  return suffix;
}

// The rename is on disk only once its folder is.
void Folder_Sync(const std::string& folder) {
  const Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() >= 0) ::fsync(fd.get());
}

// Puts a new `path` in place only once `fill` has written it whole: the old file stays whole
// until then. A file that is not yet named goes in under a temporary name; where the file
// system has no unnamed files the copy has one from the start, which never reads as the
// file itself. `path` itself is replaced, never followed.
bool Write_Replacing(const std::string& path, const std::function<bool(int fd)>& fill,
                     const std::optional<timespec>& when, mode_t mode,
                     const std::function<void()>& beforeCommit) {
  const std::string folder = File_FolderOf(path);
  bool named = false;
  std::string temp;
  int raw = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
  if (raw < 0) {
    for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
      temp = path + RandomSuffix();
      raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
      if (raw < 0 && errno != EEXIST) break;
    }
    if (raw < 0) return false;
    named = true;
  }
  const Fd fd(raw);
  bool complete = fill(fd.get()) && ::fchmod(fd.get(), mode) == 0 && ::fsync(fd.get()) == 0;
  if (complete && when) {
    const timespec times[2] = {{0, UTIME_OMIT}, *when};
    complete = ::futimens(fd.get(), times) == 0;
  }
  if (complete && beforeCommit) beforeCommit();
  if (complete && !named) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd.get());
    for (int attempt = 0; attempt < 100; ++attempt) {
      temp = path + RandomSuffix();
      if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        named = true;
        break;
      }
      if (errno != EEXIST) break;
    }
    if (!named) return false;
  }
  if (complete && ::rename(temp.c_str(), path.c_str()) == 0) {
    Folder_Sync(folder);
    return true;
  }
  if (named) ::unlink(temp.c_str());
  return false;
}

bool Too_Large(const FileRead& file, std::size_t limit) { return file.bytes.size() > limit; }

}  // namespace

QString File_Reason(int error) {
  if (error == EACCES || error == EPERM) {
    return Text(QT_TRANSLATE_NOOP("Messages", "読み取りの許可がありません"));
  }
  if (error == ENOENT || error == ENOTDIR) {
    return Text(QT_TRANSLATE_NOOP("Messages", "そのようなファイルはありません"));
  }
  return QString::fromLocal8Bit(std::strerror(error));
}

std::string File_FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string File_LinkTarget(std::string path) {
  for (int hop = 0; hop < 40; ++hop) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char to[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), to, sizeof to);
    if (length <= 0 || length == static_cast<ssize_t>(sizeof to)) return path;
    const std::string target(to, static_cast<std::size_t>(length));
    path = target.front() == '/' ? target : File_FolderOf(path) + target;
  }
  return path;
}

bool File_MakeFolder(const std::string& folder) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
  for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  if (folder.back() != '/' && ::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) return false;
  return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

FileRead File_Read(const std::string& path, std::size_t limit) {
  FileRead file;
  struct stat info {};
  // Looked at before it is opened: opening a device can already do something.
  if (::stat(path.c_str(), &info) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return file;
    file.kind = FileRead::kRefused;
    file.reason = File_Reason(errno);
    return file;
  }
  file.kind = FileRead::kRefused;
  if (!S_ISREG(info.st_mode)) {
    file.reason = Reason_OfKind(info.st_mode);
    return file;
  }
  // It may have become a pipe since: the open must not wait for a writer.
  const Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0) {
    file.reason = File_Reason(errno);
    return file;
  }
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    file.reason = Reason_OfKind(info.st_mode);
    return file;
  }
  std::vector<char> buffer(limit + 1);
  std::size_t got = 0;
  while (got < buffer.size()) {
    const ssize_t n = ::read(fd.get(), buffer.data() + got, buffer.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      file.reason = File_Reason(errno);
      return file;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  file.kind = FileRead::kRegular;
  file.bytes.assign(buffer.data(), got);
  file.modified = info.st_mtim;
  file.mode = info.st_mode & 07777;
  return file;
}

bool File_KeepAside(const std::string& from, const std::string& to) {
  const Fd source(::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat info {};
  if (source.get() < 0 || ::fstat(source.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return false;
  }
  struct stat there {};
  if (::lstat(to.c_str(), &there) == 0 && !S_ISREG(there.st_mode) && !S_ISLNK(there.st_mode)) {
    return false;
  }
  auto copy = [&source](int fd) {
    char buffer[16384];
    for (;;) {
      const ssize_t n = ::read(source.get(), buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return false;
      if (n == 0) return true;
      if (!File_WriteAll(fd, buffer, static_cast<std::size_t>(n))) return false;
    }
  };
  return Write_Replacing(to, copy, info.st_mtim, info.st_mode & 0777, nullptr);
}

bool File_WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool File_WriteStream(const std::string& path, const std::function<bool(int fd)>& fill) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) {
    return false;
  }
  return Write_Replacing(path, fill, std::nullopt, NewFileMode(), nullptr);
}

bool File_Write(const std::string& path, const std::string& bytes, const FileWrite& how) {
  auto ours = [&how](const FileRead& file) {
    return file.kind == FileRead::kRegular && !Too_Large(file, how.limit) && how.ours &&
           how.ours(file.bytes);
  };
  std::string target = path;
  std::optional<mode_t> oldMode;
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0) {
    if (S_ISLNK(info.st_mode)) {
      const std::string end = File_LinkTarget(path);
      const FileRead there = File_Read(end, how.limit);
      // Anything else the link leads to is not the game's to write: the link goes instead.
      if (ours(there)) {
        target = end;
        oldMode = there.mode;
      }
    } else if (S_ISREG(info.st_mode)) {
      const FileRead here = File_Read(path, how.limit);
      if (here.kind != FileRead::kRegular) return false;
      if (!ours(here) && !here.bytes.empty() && !File_KeepAside(path, path + ".rejected")) {
        return false;
      }
      oldMode = here.mode;
    } else {
      return false;
    }
    // A file its owner made read-only stays as it is.
    if (oldMode && ::access(target.c_str(), W_OK) != 0) return false;
  }
  const mode_t mode = how.mode ? *how.mode : oldMode ? *oldMode : NewFileMode();
  return Write_Replacing(
      target, [&bytes](int fd) { return File_WriteAll(fd, bytes.data(), bytes.size()); },
      how.modified, mode, how.beforeCommit);
}

}  // namespace tarnix
