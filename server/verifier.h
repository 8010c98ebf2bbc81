// Re-playing submitted games in child processes: a pool of workers, each a prepared game
// that forks a fresh copy of itself for every replay, under a time and memory limit and
// without the network.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tarnix::board {

struct VerifyLimits {
  int milliseconds = 5000;  // wall time of one re-play
  int memoryMb = 512;       // address space a re-play may add to its worker's
};

struct Verdict {
  enum class Kind { kMatch, kMismatch, kCrash, kTimeout, kUnreadable, kUnavailable };
  Kind kind = Kind::kUnavailable;
  std::uint32_t passes = 0;
  std::int32_t level = 0;
  std::int32_t score = 0;
  bool ended = false;
  long cpuMicroseconds = 0;  // the re-play's own CPU time, without the fork
  std::string detail;
};

// The text a worker answers with, and its reading; one line each.
std::string Verdict_Format(const Verdict& v);
Verdict Verdict_Parse(const std::string& line);

class VerifierPool {
 public:
  // `program` is this executable; each worker runs it with --worker.
  VerifierPool(std::string program, int size, VerifyLimits limits);
  ~VerifierPool();
  VerifierPool(const VerifierPool&) = delete;
  VerifierPool& operator=(const VerifierPool&) = delete;

  // Blocks until a worker is free, then until the re-play's verdict.
  Verdict Verify(const std::string& replay);
  int Size() const { return static_cast<int>(workers_.size()); }

 private:
  struct Worker {
    pid_t pid = -1;
    int to = -1;    // its stdin
    int from = -1;  // its stdout
    bool busy = false;
  };
  bool Start(Worker& w);
  void Stop(Worker& w);
  Verdict Ask(Worker& w, const std::string& replay);

  std::string program_;
  VerifyLimits limits_;
  std::vector<Worker> workers_;
  std::mutex mutex_;
  std::condition_variable free_;
};

// The worker's side: prepares the game once, then answers one request after another from
// stdin. Returns the process's exit status.
int Worker_Main(int argc, char* argv[]);

}  // namespace tarnix::board
