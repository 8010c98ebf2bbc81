// The virtual-key codes of the platform the game was made for: every source of input, the
// keyboard, a pad or a replay, speaks these to the key handlers.
#pragma once

#include "core/module1.h"

namespace tarnix {

inline constexpr Long kEnter = 13;
inline constexpr Long kSpace = 32;
inline constexpr Long kLeft = 37;
inline constexpr Long kUp = 38;
inline constexpr Long kRight = 39;
inline constexpr Long kDown = 40;
inline constexpr Long kKeyX = 88;
inline constexpr Long kKeyZ = 90;

}  // namespace tarnix
