#pragma once

#include "pixelart.h"

namespace art {

const Grid& playerFrame(int n);    // facing right, sheet columns 0..9
const Grid& gameOverFrame(int k);  // k = 0..3
const Grid& tile(int d);           // d = 1..4
const Grid& bombIcon(int kind);    // 0 red, 1 blue, without spark
const Grid& spark();               // 3 x 3, centred on a corner of an icon
const Grid& appIcon16();
const Grid& appIcon32();

}  // namespace art
