#include <QCoreApplication>
#include <QTimer>

#include <memory>

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

EventSource& Events() {
  EventSource* events = Platform().events;
  return events ? *events : RealEvents();
}

}  // namespace

EventSource& RealEvents() {
  static QtEventSource events;
  return events;
}

bool Main_Idle() {
  // A replay being watched brings its own keys, one pass at a time, unless it stands paused.
  if (Replay_IsPlaying()) return Replay_Paused();
  return Module1.GamePhase != kPlaying || (Form1 != nullptr && Form1->MenusOpen() != 0);
}

void Main_IdleWait() { Events().WaitForEvents(Main_IdleTimeout()); }

}  // namespace tarnix
