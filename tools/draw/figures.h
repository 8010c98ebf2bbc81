#pragma once

#include "pixelart.h"

namespace art {

const Grid& playerFrame(int n);    // facing right, sheet columns 0..9
const Grid& gameOverFrame(int k);  // k = 0..3
const Grid& tile(int d);           // d = 1..4
const Grid& bombIcon(int kind);    // 0 red, 1 blue, without spark
const Grid& bombMark(int kind);    // 12 x 12, painted over an icon
// A frame of the figure with the bomb in its hands marked as `kind`; frames without a bomb
// come back as they are.
Grid markedFrame(int n, int kind);
const Grid& spark();               // 3 x 3, centred on a corner of an icon
const Grid& appIcon16();
const Grid& appIcon32();

}  // namespace art
