// Passes played as fast as they compute and never shown: seeking and stepping in the theatre,
// learning a raced game, making a video. The clock jumps to each deadline, the window paints
// nothing, and the effects go to `sound` when one is given; all is as it was afterwards, and
// what the window was asked to paint meanwhile is painted anew.
#pragma once

#include "core/platform.h"
#include "replay/quiet.h"

namespace tarnix {

class Unseen {
 public:
  explicit Unseen(SoundOutput* sound = nullptr);
  ~Unseen();
  Unseen(const Unseen&) = delete;
  Unseen& operator=(const Unseen&) = delete;

 private:
  JumpClock jump_;
  TickClock* clock_;
  SoundOutput* sound_;
  bool updates_ = true;
};

}  // namespace tarnix
