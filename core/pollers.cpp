#include "core/pollers.h"

#include <algorithm>
#include <vector>

#include "core/module1.h"

namespace tarnix {

namespace {

struct Poller {
  void (*poll)();
  int idleMs;
};

std::vector<Poller>& Pollers() {
  static std::vector<Poller> pollers;
  return pollers;
}

}  // namespace

// The shortest interval a poller asks for, less the turn's wait between the sleep and the
// poll.
int Main_IdleTimeout() {
  int timeout = -1;
  for (const Poller& p : Pollers()) {
    if (p.idleMs < 0) continue;
    const int ms = std::max(0, p.idleMs - static_cast<int>(Module1.WaitMs));
    if (timeout < 0 || ms < timeout) timeout = ms;
  }
  return timeout;
}

void Main_AddPoller(void (*poll)(), int idleMs) {
  if (poll == nullptr) return;
  Main_RemovePoller(poll);
  Pollers().push_back({poll, idleMs});
}

void Main_RemovePoller(void (*poll)()) {
  auto& pollers = Pollers();
  pollers.erase(std::remove_if(pollers.begin(), pollers.end(),
                               [poll](const Poller& p) { return p.poll == poll; }),
                pollers.end());
}

void Main_ClearPollers() { Pollers().clear(); }

void Main_RunPollers() {
  // A copy: a poller may add or remove pollers.
  const std::vector<Poller> pollers = Pollers();
  for (const Poller& p : pollers) p.poll();
}

}  // namespace tarnix
