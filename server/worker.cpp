// The worker: one prepared game (the application, the quiet seams, the window the rules draw
// on) that forks for each replay, so that every re-play starts from the same untouched state
// and a replay that crashes or never ends takes only its own copy with it.
#include <QApplication>

#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <vector>
#include <string>

#include "replay/format.h"
#include "replay/replay.h"
#include "server/verifier.h"
#include "window/form1.h"

namespace tarnix::board {

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressLimitPossible = false;  // the sanitizer reserves terabytes up front
#else
constexpr bool kAddressLimitPossible = true;
#endif

// Sockets of every family but local ones are refused: a replay has no business on the
// network, and neither has anything a replay might make the worker do.
void DenyNetwork() {
#if defined(__x86_64__) || defined(__aarch64__)
#if defined(__x86_64__)
  constexpr unsigned kArch = AUDIT_ARCH_X86_64;
#else
  constexpr unsigned kArch = AUDIT_ARCH_AARCH64;
#endif
  sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kArch, 1, 0),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_socket, 0, 4),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[0])),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AF_UNIX, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EACCES),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
  };
  sock_fprog program{static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
  if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
      ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0) {
    std::fprintf(stderr, "tarnix-board worker: cannot shut the network out: %s\n",
                 std::strerror(errno));
    std::exit(1);
  }
#else
#error "the worker's network filter knows x86-64 and AArch64 only"
#endif
}

long AddressSpaceBytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmSize:", 0) == 0) return std::atol(line.c_str() + 7) * 1024L;
  }
  return 0;
}

void Limit(int resource, rlim_t soft, rlim_t hard) {
  const rlimit l{soft, hard};
  ::setrlimit(resource, &l);
}

// Faults on purpose, so that the suite can show a crashing or endless re-play refused while
// the pool serves on; unset outside the tests.
bool FaultFor(const char* variable, std::uint64_t seed) {
  const char* v = std::getenv(variable);
  return v != nullptr && std::strtoull(v, nullptr, 16) == seed;
}

[[noreturn]] void Child(int out, const std::string& bytes, const VerifyLimits& limits) {
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  const rlim_t seconds = static_cast<rlim_t>(limits.milliseconds / 1000 + 1);
  Limit(RLIMIT_CPU, seconds, seconds + 1);
  if (kAddressLimitPossible) {
    const rlim_t bytesLimit =
        static_cast<rlim_t>(AddressSpaceBytes()) + static_cast<rlim_t>(limits.memoryMb) * 1048576;
    Limit(RLIMIT_AS, bytesLimit, bytesLimit);
  }
  Limit(RLIMIT_FSIZE, 0, 0);
  Limit(RLIMIT_CORE, 0, 0);
  Verdict v;
  const ReplayReadResult read = Replay_Parse(bytes);
  if (!read.record) {
    v.kind = Verdict::Kind::kUnreadable;
  } else {
    if (FaultFor("TARNIX_BOARD_TEST_CRASH_SEED", read.record->seed)) ::raise(SIGSEGV);
    if (FaultFor("TARNIX_BOARD_TEST_GREEDY_SEED", read.record->seed)) {
      // Bounded, so that a limit that failed to hold shows as a verdict, not a swapping host.
      std::vector<std::unique_ptr<char[]>> held;
      for (int i = 0; i < 64; ++i) {
        held.emplace_back(new char[16u << 20]);
        std::memset(held.back().get(), 1, 16u << 20);
      }
    }
    if (FaultFor("TARNIX_BOARD_TEST_HANG_SEED", read.record->seed)) {
      for (volatile bool spinning = true; spinning;) {
      }
    }
    const ReplayOutcome out = Replay_Run(*read.record);
    rusage use{};
    ::getrusage(RUSAGE_SELF, &use);
    v.kind = out.matches ? Verdict::Kind::kMatch : Verdict::Kind::kMismatch;
    v.passes = out.passes;
    v.level = out.level;
    v.score = out.score;
    v.ended = out.ended;
    v.cpuMicroseconds = use.ru_utime.tv_sec * 1000000L + use.ru_utime.tv_usec +
                        use.ru_stime.tv_sec * 1000000L + use.ru_stime.tv_usec;
  }
  const std::string line = Verdict_Format(v) + "\n";
  [[maybe_unused]] ssize_t n = ::write(out, line.data(), line.size());
  ::_exit(0);
}

Verdict RunOne(const std::string& bytes, const VerifyLimits& limits) {
  Verdict v;
  int p[2];
  if (::pipe(p) != 0) {
    v.detail = "no pipe";
    return v;
  }
  std::fflush(stdout);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(p[0]);
    Child(p[1], bytes, limits);
  }
  ::close(p[1]);
  if (pid < 0) {
    ::close(p[0]);
    v.detail = "no fork";
    return v;
  }
  std::string line;
  bool timedOut = false;
  for (int waited = 0;;) {
    pollfd fd{p[0], POLLIN, 0};
    const int left = limits.milliseconds - waited;
    if (left <= 0) {
      timedOut = true;
      break;
    }
    const auto start = std::chrono::steady_clock::now();
    const int r = ::poll(&fd, 1, left);
    waited += static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now() - start)
                                   .count());
    if (r < 0 && errno == EINTR) continue;
    if (r == 0) continue;
    char c;
    const ssize_t n = ::read(p[0], &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || c == '\n') break;
    line.push_back(c);
  }
  ::close(p[0]);
  if (timedOut) ::kill(pid, SIGKILL);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (timedOut || (WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU)) {
    v.kind = Verdict::Kind::kTimeout;
    return v;
  }
  if (WIFSIGNALED(status) || line.empty()) {
    v.kind = Verdict::Kind::kCrash;
    v.detail = WIFSIGNALED(status) ? sigabbrev_np(WTERMSIG(status)) : "no answer";
    if (v.detail.empty()) v.detail = "signal";
    return v;
  }
  return Verdict_Parse(line);
}

bool ReadRequest(std::string& bytes) {
  std::string head;
  for (int c; (c = std::fgetc(stdin)) != '\n';) {
    if (c == EOF || head.size() > 20) return false;
    head.push_back(static_cast<char>(c));
  }
  const unsigned long long size = std::strtoull(head.c_str(), nullptr, 10);
  if (size > kReplayMaxBytes) return false;
  bytes.resize(size);
  return std::fread(bytes.data(), 1, size, stdin) == size;
}

}  // namespace

int Worker_Main(int argc, char* argv[]) {
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (argc < 4) return 2;
  VerifyLimits limits;
  limits.milliseconds = std::max(1, std::atoi(argv[2]));
  limits.memoryMb = std::max(1, std::atoi(argv[3]));
  ::signal(SIGPIPE, SIG_IGN);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  Replay_QuietSeams();
  Form1Window form;
  DenyNetwork();
  for (std::string bytes; ReadRequest(bytes);) {
    const std::string line = Verdict_Format(RunOne(bytes, limits)) + "\n";
    if (std::fwrite(line.data(), 1, line.size(), stdout) != line.size()) break;
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace tarnix::board
