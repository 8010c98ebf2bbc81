// Runs the real game (real clock, real window, real sound) and reports what it costs: the
// first frame, CPU and wake-ups on the title and at each wait, its pace, the mixer's wake
// and the memory it holds after play. scripts/measure.sh runs it under Xvfb.
//   tarnix_pacing [seconds per wait]
// With TARNIX_PACING_PAD=1 in the environment a virtual pad is plugged in first, to see what
// an open pad costs.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <SDL.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core/keys.h"
#include "files/mixer.h"
#include "input/pad.h"
#include "window/form1.h"
#include "core/platform.h"
#include "shell/shell.h"

namespace tarnix {
namespace {

struct Usage {
  double cpu = 0;     // seconds, user + system, every thread
  long wakeups = 0;   // context switches, voluntary and not, every thread, the ended ones too
};

Usage Now() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return {static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
              static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6,
          usage.ru_nvcsw + usage.ru_nivcsw};
}

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

// Resident kB by what is mapped (a library, a font, the heap, anonymous memory).
std::vector<std::pair<long, std::string>> ResidentParts() {
  std::ifstream smaps("/proc/self/smaps");
  std::map<std::string, long> parts;
  std::string line;
  std::string name;
  while (std::getline(smaps, line)) {
    if (line.empty()) continue;
    if (std::isxdigit(static_cast<unsigned char>(line[0])) && line.find('-') < 17) {
      // address perms offset dev inode [path]
      std::size_t field = 0, at = 0;
      while (field < 5 && at != std::string::npos) {
        at = line.find_first_not_of(' ', line.find(' ', at));
        ++field;
      }
      name = at == std::string::npos ? "[anonymous]" : line.substr(at);
      const auto slash = name.rfind('/');
      if (slash != std::string::npos) name = name.substr(slash + 1);
    } else if (line.rfind("Rss:", 0) == 0) {
      parts[name] += std::stol(line.substr(4));
    }
  }
  std::vector<std::pair<long, std::string>> sorted;
  for (const auto& [n, kb] : parts) sorted.emplace_back(kb, n);
  std::sort(sorted.rbegin(), sorted.rend());
  return sorted;
}

// Context switches of each living thread by name: voluntary, then not.
std::map<std::string, std::pair<long, long>> ThreadSwitches() {
  std::map<std::string, std::pair<long, long>> threads;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    std::getline(comm, name);
    std::ifstream status(task.path() / "status");
    std::string line;
    auto& [voluntary, preempted] = threads[name];
    while (std::getline(status, line)) {
      if (line.rfind("voluntary_ctxt_switches:", 0) == 0) voluntary += std::stol(line.substr(24));
      if (line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) preempted += std::stol(line.substr(27));
    }
  }
  return threads;
}

void PrintThreads(const char* what, const std::map<std::string, std::pair<long, long>>& from,
                  long passes) {
  for (const auto& [name, to] : ThreadSwitches()) {
    const auto was = from.count(name) ? from.at(name) : std::pair<long, long>{0, 0};
    std::printf("threads %s %s voluntary %.2f preempted %.2f\n", what, name.c_str(),
                static_cast<double>(to.first - was.first) / std::max(1L, passes),
                static_cast<double>(to.second - was.second) / std::max(1L, passes));
  }
}

struct Run {
  long passes = 0;
  double seconds = 0;
  Usage used;
  std::map<std::string, std::pair<long, long>> threadsFrom;
};

// Turns the real main loop for `seconds`, walking the player back and forth while playing.
// Only the last `seconds - warmUp` count, so that the effect of the start has ended.
Run Turn(double seconds, bool walk, double warmUp) {
  using Clock = std::chrono::steady_clock;
  Run run;
  // An idle loop sleeps until an event: this one ends its last sleep.
  QTimer::singleShot(static_cast<int>(seconds * 1000) + 1, [] {});
  if (warmUp > 0) QTimer::singleShot(static_cast<int>(warmUp * 1000), [] {});
  const auto start = Clock::now();
  Usage from = Now();
  run.threadsFrom = ThreadSwitches();
  auto from_time = start;
  bool counting = warmUp <= 0;
  long turns = 0;
  for (;;) {
    const auto now = Clock::now();
    const double elapsed = std::chrono::duration<double>(now - start).count();
    if (!counting && elapsed >= warmUp) {
      counting = true;
      from = Now();
      run.threadsFrom = ThreadSwitches();
      from_time = now;
      run.passes = 0;
    }
    if (elapsed >= seconds) break;
    if (walk) {
      // Rows would top the well out within a minute at the fastest wait; the pace is what
      // is measured here, not the game.
      Module1.RiseCountdown = 50;
      Module1.KeyFlags = (turns / 40) % 2 ? "100000" : "001000";
    }
    const bool playing = Module1.GamePhase == kPlaying;
    Main_LoopTurn();
    ++turns;
    if (playing) ++run.passes;
  }
  const Usage to = Now();
  run.seconds = std::chrono::duration<double>(Clock::now() - from_time).count();
  run.used = {to.cpu - from.cpu, to.wakeups - from.wakeups};
  return run;
}

long long RealtimeNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// Notes when the canvas has first been painted.
class FirstPaint : public QObject {
 public:
  bool done = false;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) done = true;
    return false;
  }
};

}  // namespace
}  // namespace tarnix

int main(int argc, char* argv[]) {
  using namespace tarnix;
  const double seconds = argc > 1 ? std::stod(argv[1]) : 10.0;
  std::printf("exec_realtime_ns %lld\n", RealtimeNs());  // for a harness started by the script
  QElapsedTimer phase;
  phase.start();
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
      Qt::HighDpiScaleFactorRoundingPolicy::Round);
  Main_BeforeApplication();
  QApplication app(argc, argv);
  std::printf("startup_application_ms %.1f\n", phase.nsecsElapsed() / 1e6);
  phase.restart();
  Form1Window form;
  FirstPaint firstPaint;
  form.Picture1.installEventFilter(&firstPaint);
  std::printf("startup_window_ms %.1f\n", phase.nsecsElapsed() / 1e6);
  phase.restart();
  Form_LoadSteps();
  std::printf("startup_load_ms %.1f\n", phase.nsecsElapsed() / 1e6);
  phase.restart();
  QElapsedTimer limit;
  limit.start();
  while (!firstPaint.done && limit.elapsed() < 5000) {
    app.processEvents(QEventLoop::WaitForMoreEvents);
  }
  app.processEvents();  // the frame's flush to the display
  std::printf("title_drawn_realtime_ns %lld\n", RealtimeNs());
  std::printf("startup_first_paint_ms %.1f\n", phase.nsecsElapsed() / 1e6);
  form.Picture1.removeEventFilter(&firstPaint);
  Form_AfterFirstFrame();  // the pads and the allocator's trim, as in the game
  if (qEnvironmentVariableIsSet("TARNIX_PACING_PAD")) {
    Pad_AttachVirtual();
    Pad_PollNow();
    std::printf("pads_open %d\n", Pad_Count());
  }
  std::printf("title_rss_kb %ld\n", ResidentKb());

  const Run idle = Turn(seconds, false, 0);
  std::printf("title_cpu_percent %.3f\n", 100.0 * idle.used.cpu / idle.seconds);
  std::printf("title_wakeups_per_second %.2f\n", idle.used.wakeups / idle.seconds);

  struct Wait { void (*handler)(); int ms; double model; };
  const Wait waits[] = {{mnuO4_Click, 0, 64.0}, {mnuO5_Click, 25, 32.0},
                        {mnuO6_Click, 50, 16.0}, {mnuO7_Click, 75, 12.8}};
  double played = 0;
  for (const Wait& wait : waits) {
    wait.handler();
    Picture1_KeyDown(kEnter, 0);  // Enter on the start item
    // The start's effect and the mixer's linger after it are left out of the figures.
    const Run play = Turn(seconds, true, std::min(2.0, seconds / 2));
    played += seconds;
    const double rate = play.passes / play.seconds;
    std::printf("wait %d passes_per_second %.2f model %.2f deviation_percent %+.2f cpu_percent %.3f"
                " wakeups_per_frame %.2f\n",
                wait.ms, rate, wait.model, 100.0 * (rate - wait.model) / wait.model,
                100.0 * play.used.cpu / play.seconds,
                static_cast<double>(play.used.wakeups) / std::max(1L, play.passes));
    const std::string what = "wait" + std::to_string(wait.ms);
    PrintThreads(what.c_str(), play.threadsFrom, play.passes);
    mnuG1_Click();
  }
  std::printf("played_seconds %.0f\n", played);
  std::printf("rss_kb %ld\n", ResidentKb());
  int shown = 0;
  for (const auto& [kb, name] : ResidentParts()) {
    if (shown++ == 10) break;
    std::printf("rss_part %ld %s\n", kb, name.c_str());
  }

  // The mixer's wake: an effect played after it has gone to sleep.
  MixerSound& mixer = RealMixer();
  QElapsedTimer asleep;
  asleep.start();
  while (mixer.Awake() && asleep.elapsed() < 10000) {
    QTimer::singleShot(50, [] {});
    app.processEvents(QEventLoop::WaitForMoreEvents);
  }
  if (!mixer.Awake()) {
    QElapsedTimer wake;
    wake.start();
    mixer.Play(Module1.AppPath + "select.wav");
    std::printf("mixer_wake_ms %.2f awake %d\n", wake.nsecsElapsed() / 1e6, mixer.Awake() ? 1 : 0);
  }
  Form1->MarkUnloaded();
  return 0;
}
