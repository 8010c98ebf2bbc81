#include "server/verifier.h"

#include "files/file_io.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <sstream>

extern char** environ;

namespace tarnix::board {

namespace {

const char* KindWord(Verdict::Kind k) {
  switch (k) {
    case Verdict::Kind::kMatch: return "match";
    case Verdict::Kind::kMismatch: return "mismatch";
    case Verdict::Kind::kCrash: return "crash";
    case Verdict::Kind::kTimeout: return "timeout";
    case Verdict::Kind::kUnreadable: return "unreadable";
    case Verdict::Kind::kUnavailable: return "unavailable";
  }
  return "unavailable";
}

// One line from `fd` within `deadline`; false on a timeout, an error or the end.
bool ReadLine(int fd, std::string& line, std::chrono::steady_clock::time_point deadline) {
  line.clear();
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    const int r = ::poll(&p, 1, static_cast<int>(left.count()));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    char c;
    const ssize_t n = ::read(fd, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    if (c == '\n') return true;
    if (line.size() > 4096) return false;
    line.push_back(c);
  }
}

}  // namespace

std::string Verdict_Format(const Verdict& v) {
  std::ostringstream s;
  s << KindWord(v.kind) << ' ' << v.passes << ' ' << v.level << ' ' << v.score << ' '
    << (v.ended ? 1 : 0) << ' ' << v.cpuMicroseconds;
  if (!v.detail.empty()) s << ' ' << v.detail;
  return s.str();
}

Verdict Verdict_Parse(const std::string& line) {
  std::istringstream s(line);
  std::string word;
  Verdict v;
  int ended = 0;
  if (!(s >> word >> v.passes >> v.level >> v.score >> ended >> v.cpuMicroseconds)) {
    v.kind = Verdict::Kind::kUnavailable;
    v.detail = "the worker answered nonsense";
    return v;
  }
  v.ended = ended != 0;
  v.kind = Verdict::Kind::kUnavailable;
  for (auto k : {Verdict::Kind::kMatch, Verdict::Kind::kMismatch, Verdict::Kind::kCrash,
                 Verdict::Kind::kTimeout, Verdict::Kind::kUnreadable}) {
    if (word == KindWord(k)) v.kind = k;
  }
  std::getline(s >> std::ws, v.detail);
  return v;
}

VerifierPool::VerifierPool(std::string program, int size, VerifyLimits limits)
    : program_(std::move(program)), limits_(limits), workers_(static_cast<std::size_t>(size)) {
  for (Worker& w : workers_) Start(w);
}

VerifierPool::~VerifierPool() {
  for (Worker& w : workers_) Stop(w);
}

bool VerifierPool::Start(Worker& w) {
  int in[2], out[2];
  if (::pipe2(in, O_CLOEXEC) != 0) return false;
  if (::pipe2(out, O_CLOEXEC) != 0) {
    ::close(in[0]);
    ::close(in[1]);
    return false;
  }
  const std::string ms = std::to_string(limits_.milliseconds);
  const std::string mb = std::to_string(limits_.memoryMb);
  const char* argv[] = {program_.c_str(), "--worker", ms.c_str(), mb.c_str(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  pid_t pid = -1;
  const int r = ::posix_spawn(&pid, program_.c_str(), &actions, nullptr,
                              const_cast<char* const*>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(in[0]);
  ::close(out[1]);
  if (r != 0) {
    ::close(in[1]);
    ::close(out[0]);
    w.pid = -1;
    return false;
  }
  w.pid = pid;
  w.to = in[1];
  w.from = out[0];
  return true;
}

void VerifierPool::Stop(Worker& w) {
  if (w.to >= 0) ::close(w.to);  // the worker ends at the end of its input
  if (w.from >= 0) ::close(w.from);
  if (w.pid > 0) {
    ::kill(w.pid, SIGKILL);
    ::waitpid(w.pid, nullptr, 0);
  }
  w = Worker{};
}

Verdict VerifierPool::Ask(Worker& w, const std::string& replay) {
  Verdict v;
  v.kind = Verdict::Kind::kUnavailable;
  if (w.pid <= 0 && !Start(w)) {
    v.detail = "no worker could be started";
    return v;
  }
  const std::string head = std::to_string(replay.size()) + "\n";
  // The worker kills a re-play at its limit; this margin only covers a worker gone wrong.
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(limits_.milliseconds + 5000);
  std::string line;
  if (File_WriteAll(w.to, head.data(), head.size()) && File_WriteAll(w.to, replay.data(), replay.size()) &&
      ReadLine(w.from, line, deadline)) {
    return Verdict_Parse(line);
  }
  Stop(w);
  Start(w);
  v.detail = "the worker stopped answering";
  return v;
}

Verdict VerifierPool::Verify(const std::string& replay) {
  Worker* w = nullptr;
  {
    std::unique_lock lock(mutex_);
    free_.wait(lock, [&] {
      for (Worker& c : workers_) {
        if (!c.busy) {
          w = &c;
          return true;
        }
      }
      return false;
    });
    w->busy = true;
  }
  Verdict v = Ask(*w, replay);
  {
    std::lock_guard lock(mutex_);
    w->busy = false;
  }
  free_.notify_one();
  return v;
}

}  // namespace tarnix::board
