#include "replay/demo.h"

#include <QFile>
#include <QPointer>
#include <QTimer>

#include "files/options.h"
#include "replay/library.h"
#include "window/form1.h"

namespace tarnix {

namespace {

QPointer<QTimer> timer;

bool OnQuietTitle() {
  return Module1.GamePhase == kTitle && Options().Demo && !Replay_IsPlaying() &&
         Form1 != nullptr && Form1->MenusOpen() == 0;
}

QTimer& Timer() {
  if (timer.isNull()) {
    timer = new QTimer(Form1);
    timer->setSingleShot(true);
    timer->setInterval(kDemoIdleMs);
    QObject::connect(timer, &QTimer::timeout, [] { Demo_Start(); });
  }
  return *timer;
}

}  // namespace

void Demo_AfterDoor(ReplayDoor door) {
  if (Form1 == nullptr) return;
  if (!OnQuietTitle()) {
    if (!timer.isNull()) timer->stop();
    return;
  }
  // A pass only arms it; anything the player does starts the thirty seconds again.
  if (door != ReplayDoor::kPass || !Timer().isActive()) Timer().start();
}

bool Demo_Start() {
  if (!OnQuietTitle()) return false;
  std::vector<std::string> paths;
  for (int rank = 0; rank < kHiScoreRanks; ++rank) paths.push_back(ReplayLibrary_PathFor(rank));
  paths.push_back(Module1.AppPath + "demo.tnr");
  for (const std::string& path : paths) {
    if (path.empty() || !QFile::exists(QString::fromStdString(path))) continue;
    const ReplayReadResult r = ReplayLibrary_Read(path);
    if (!r.record) continue;
    Replay_Demo(*r.record);
    return Replay_IsPlaying();
  }
  return false;
}

bool Demo_Armed() { return !timer.isNull() && timer->isActive(); }

void Demo_Reset() {
  if (!timer.isNull()) timer->stop();
}

}  // namespace tarnix
