// The virtual-key codes of the platform the game was made for: every source of input, the
// keyboard, a pad or a replay, speaks these to the key handlers. Named once, here, with the
// other places the rules and the sources must agree on.
#pragma once

#include "core/module1.h"

namespace tarnix {

inline constexpr Long kEnter = 13;
inline constexpr Long kEscape = 27;
inline constexpr Long kSpace = 32;
inline constexpr Long kLeft = 37;
inline constexpr Long kUp = 38;
inline constexpr Long kRight = 39;
inline constexpr Long kDown = 40;
inline constexpr Long kKeyX = 88;
inline constexpr Long kKeyZ = 90;
// The theatre's figures of a game being watched; the pad's west button brings it there.
inline constexpr Long kKeyS = 83;
// The theatre's video of the game being watched; the pad's left shoulder brings it there.
inline constexpr Long kKeyE = 69;

// The keys whose holding KeyFlags records, in the order of its six digits.
inline constexpr Long kFlagKeys[6] = {kLeft, kUp, kRight, kDown, kKeyZ, kKeyX};

// Position (1..6) of a key in KeyFlags, 0 for a key it does not record.
inline int FlagPosition(Long keyCode) {
  for (int i = 0; i < 6; ++i) {
    if (kFlagKeys[i] == keyCode) return i + 1;
  }
  return 0;
}

// The rows of the title's cursor: the start item and the high scores.
inline constexpr Long kTitleStartY = 204;
inline constexpr Long kTitleScoresY = 236;
// The cursor's row for MenuCursor.
inline Long TitleCursorY(Long menuCursor) { return menuCursor == 0 ? kTitleStartY : kTitleScoresY; }

}  // namespace tarnix
