// Runs the real game (real clock, real window, real sound) and reports its pace, the CPU it
// uses and its start-up cost. scripts/measure.sh runs it under Xvfb.
//   tarnix_pacing [seconds per wait]
// With TARNIX_PACING_PAD=1 in the environment a virtual pad is plugged in first, to see what
// an open pad costs.
#include <QApplication>

#include <SDL.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "input/pad.h"
#include "playfield/form1.h"
#include "shell/platform.h"
#include "shell/shell.h"

namespace tarnix {
namespace {

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

struct Run {
  long passes = 0;
  double seconds = 0;
  double cpu = 0;
};

// Turns the real main loop for `seconds`, walking the player back and forth while playing.
Run Turn(double seconds, bool walk) {
  using Clock = std::chrono::steady_clock;
  Run run;
  const double cpu0 = CpuSeconds();
  const auto start = Clock::now();
  for (;;) {
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (run.seconds >= seconds) break;
    if (walk) {
      // Rows would top the well out within a minute at the fastest wait; the pace is what
      // is measured here, not the game.
      Module1.RiseCountdown = 50;
      Module1.KeyFlags = (run.passes / 40) % 2 ? "100000" : "001000";
    }
    const bool playing = Module1.GamePhase == kPlaying;
    Main_LoopTurn();
    if (playing) ++run.passes;
  }
  run.cpu = CpuSeconds() - cpu0;
  return run;
}

}  // namespace
}  // namespace tarnix

int main(int argc, char* argv[]) {
  using namespace tarnix;
  const double seconds = argc > 1 ? std::stod(argv[1]) : 10.0;
  QApplication app(argc, argv);
  Form1Window form;
  Form_LoadSteps();
  app.processEvents();
  const auto titleAt = std::chrono::system_clock::now().time_since_epoch();
  std::printf("title_drawn_realtime_ns %lld\n",
              static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(titleAt).count()));
  Pad_Start();  // after the title is on screen and polled every turn, as in the game
  if (qEnvironmentVariableIsSet("TARNIX_PACING_PAD")) {
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    SDL_JoystickAttachVirtualEx(&desc);
    Pad_Poll();
    std::printf("pads_open %d\n", Pad_Count());
  }
  std::printf("title_rss_kb %ld\n", ResidentKb());

  const Run idle = Turn(seconds, false);
  std::printf("title_cpu_percent %.2f\n", 100.0 * idle.cpu / idle.seconds);

  struct Wait { void (*handler)(); int ms; double model; };
  const Wait waits[] = {{mnuO4_Click, 0, 64.0}, {mnuO5_Click, 25, 32.0},
                        {mnuO6_Click, 50, 16.0}, {mnuO7_Click, 75, 12.8}};
  for (const Wait& wait : waits) {
    wait.handler();
    Picture1_KeyDown(13, 0);  // Enter on the start item
    const Run play = Turn(seconds, true);
    const double rate = play.passes / play.seconds;
    std::printf("wait %d passes_per_second %.2f model %.2f deviation_percent %+.2f cpu_percent %.2f\n",
                wait.ms, rate, wait.model, 100.0 * (rate - wait.model) / wait.model,
                100.0 * play.cpu / play.seconds);
    mnuG1_Click();
  }
  Form1->MarkUnloaded();
  return 0;
}
