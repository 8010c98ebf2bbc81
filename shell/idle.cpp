#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <vector>

#include "window/form1.h"
#include "replay/replay.h"
#include "core/platform.h"
#include "shell/shell.h"

namespace tarnix {

namespace {

// Qt's own dispatcher sleeps in the kernel until the X connection, a posted event or a
// timer needs it; the only timer here is the pollers' one, started just for this sleep.
class QtEventSource final : public EventSource {
 public:
  void WaitForEvents(int timeoutMs) override {
    if (timeoutMs >= 0) {
      if (!timer_) {
        timer_ = std::make_unique<QTimer>();
        timer_->setSingleShot(true);
        timer_->setTimerType(Qt::CoarseTimer);
      }
      timer_->start(timeoutMs);
    }
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (timer_) timer_->stop();
  }

 private:
  std::unique_ptr<QTimer> timer_;
};

struct Poller {
  void (*poll)();
  int idleMs;
};

std::vector<Poller>& Pollers() {
  static std::vector<Poller> pollers;
  return pollers;
}

EventSource& Events() {
  EventSource* events = Platform().events;
  return events ? *events : RealEvents();
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

EventSource& RealEvents() {
  static QtEventSource events;
  return events;
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

bool Main_Idle() {
  // A replay being watched brings its own keys, one pass at a time.
  if (Replay_IsPlaying()) return false;
  return Module1.GamePhase != kPlaying || (Form1 != nullptr && Form1->MenusOpen() != 0);
}

void Main_IdleWait() { Events().WaitForEvents(Main_IdleTimeout()); }

}  // namespace tarnix
