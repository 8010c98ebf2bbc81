// The one reader and writer of every file the game keeps: Tarnix.ini, tarnix.conf, the
// replays. Paths are bytes as the file system has them, so a folder whose name is not UTF-8
// works like any other.
#pragma once

#include <sys/types.h>

#include <QString>

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tarnix {

struct FileRead {
  enum Kind { kMissing, kRegular, kRefused } kind = kMissing;
  std::string bytes;  // a regular file's first `limit` + 1 bytes
  timespec modified{};
  mode_t mode = 0;
  QString reason;  // why the file was refused, in the run's language
};

// Opens only a regular file or a link to one, and never in a way that can block: a named
// pipe, a device or a folder is refused with its reason, as is a file that cannot be read.
FileRead File_Read(const std::string& path, std::size_t limit);

// What a file must hold to be one of the game's own kind.
using FileKind = std::function<bool(std::string_view bytes)>;

struct FileWrite {
  FileKind ours;
  std::size_t limit = 64 * 1024;     // a file of this kind is never larger
  std::optional<timespec> modified;  // the new file's time; the moment of writing if none
  std::optional<mode_t> mode;        // the new file's mode; the old file's, or the umask's
  // Called when the new file is complete but not yet in place: where a write can be cut off.
  std::function<void()> beforeCommit;
};

// Puts `bytes` at `path` once they are written whole, and never otherwise: the old file stays
// as it was until then. A link is written through only when it leads to a regular file of
// the game's kind; any other link is replaced by a regular file, and what it led to is never
// touched. A regular file that is not of the kind is kept beside it as PATH.rejected first.
// A folder, a pipe or a device at `path` is left alone, and so is a file the game may not
// write; false then.
bool File_Write(const std::string& path, const std::string& bytes, const FileWrite& how);
// Puts at `path` what `fill` writes to a new file, once it returned true, and never anything
// otherwise: for a file too large to hold in memory (a video). `fill` may seek. What was at
// `path` is replaced, never followed; a folder there is left alone, and false.
bool File_WriteStream(const std::string& path, const std::function<bool(int fd)>& fill);
// Every byte to `fd`, through interruptions and short writes; false on the first failure.
bool File_WriteAll(int fd, const char* data, std::size_t size);

// A copy of the file at `from` (its time and mode with it, whatever its size) at `to`, which
// is replaced, never written through.
bool File_KeepAside(const std::string& from, const std::string& to);

// The file a name finally leads to, links followed; the name itself when it is no link.
std::string File_LinkTarget(std::string path);
// The folder of `path`, ending in "/".
std::string File_FolderOf(const std::string& path);
// Makes `folder` and its parents; true when it is a folder.
bool File_MakeFolder(const std::string& folder);
// Why a call failed with `error`, in the run's language.
QString File_Reason(int error);

}  // namespace tarnix
