// Games played by a script through the doors and recorded as every game is: the material of
// the theatre's, the statistics' and the corpus's tests.
#pragma once

#include <cstdint>
#include <algorithm>
#include <functional>

#include "core/doors.h"
#include "core/keys.h"
#include "core/platform.h"
#include "window/form1.h"
#include "replay/replay.h"

namespace tarnix::testing {

// What a script does before a pass (1-based) of the game.
using GameScript = std::function<void(int pass)>;

// A player who walks, takes a bomb, and drops or throws it, over and over; `style` varies
// the rhythm so that different seeds and styles make different games.
inline void BotPass(int pass, int style) {
  const int period = 28 + 4 * (style % 3);
  const int phase = pass % period;
  const int round = pass / period;
  const Long walk = (round * (3 + style) + style) % 5 < 2 ? kLeft : kRight;
  const Long bomb = (round + style) % 3 == 0 ? kKeyX : kKeyZ;
  const Long release = (round * 5 + style) % 4 == 0 ? kUp : kDown;
  if (phase == 1) Picture1_KeyDown(walk, 0);
  if (phase == 2 + (round * 7 + style) % 9) Picture1_KeyUp(walk, 0);
  if (phase == 13) Picture1_KeyDown(bomb, 0);
  if (phase == 15) Picture1_KeyUp(bomb, 0);
  if (phase == 17) Picture1_KeyDown(release, 0);
  if (phase == 19) Picture1_KeyUp(release, 0);
}

// A player who goes round the well's columns, dropping a bomb at each, red while there are
// red ones. It lasts minutes where the blind player lasts one. `rest`: passes between two
// bombs; `stride`: columns from one to the next.
class WellBot {
 public:
  explicit WellBot(int rest = 10, int stride = 4) : rest_(rest), stride_(stride) {}
  void operator()(int /*pass*/) {
    switch (phase_) {
      case 0:
        column_ = (column_ + stride_) % 11;
        target_ = std::max(0, 24 * column_ - 2);
        phase_ = 1;
        break;
      case 1: {
        const int left = Form1->Picture2.Left();
        const Long dir = left < target_ - 4 ? kRight : left > target_ + 4 ? kLeft : 0;
        if (dir != walking_) {
          if (walking_ != 0) Picture1_KeyUp(walking_, 0);
          if (dir != 0) Picture1_KeyDown(dir, 0);
          walking_ = dir;
        }
        if (dir == 0 || ++steps_ > 140) {
          steps_ = 0;
          phase_ = 2;
        }
        break;
      }
      case 2:
        bomb_ = Module1.RedStock > 0 ? kKeyZ : kKeyX;
        Picture1_KeyDown(bomb_, 0);
        phase_ = 3;
        break;
      case 3:
        Picture1_KeyUp(bomb_, 0);
        Picture1_KeyDown(kDown, 0);
        phase_ = 4;
        break;
      default:
        if (phase_ == 4) Picture1_KeyUp(kDown, 0);
        phase_ = phase_ >= rest_ ? 0 : phase_ + 1;
        break;
    }
  }

 private:
  int rest_;
  int stride_;
  int phase_ = 0;
  int column_ = 0;
  int target_ = 0;
  int steps_ = 0;
  Long walking_ = 0;
  Long bomb_ = 0;
};

// Starts a game from the title with `seed` and plays `script` until the game ends or
// `maxPasses` have run; a game still running then returns to the title. The recorded game.
inline ReplayRecord PlayRecorded(std::uint64_t seed, const GameScript& script,
                                 int maxPasses = 20000) {
  Platform().random->Randomize(seed);
  Module1.GamePhase = kTitle;
  Module1.MenuCursor = 0;
  Picture1_KeyDown(kEnter, 0);
  Picture1_KeyUp(kEnter, 0);
  for (int pass = 1; pass <= maxPasses && Replay_IsRecording(); ++pass) {
    script(pass);
    Main_Prog();
  }
  if (Replay_IsRecording()) mnuG1_Click();
  return Replay_Recording();
}

}  // namespace tarnix::testing
