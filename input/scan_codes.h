// Keys found by where they sit on the keyboard, not by the letter the layout prints on them.
#pragma once

#include <cstdint>

namespace tarnix {

// The game's code (Z 90, X 88) for the two keys left of the bottom row's middle, from the
// native scan code X11 and Wayland report (the kernel's key number plus 8); 0 for any other.
inline int ScanCodeKey(std::uint32_t nativeScanCode) {
  switch (nativeScanCode) {
    case 44 + 8: return 90;  // KEY_Z
    case 45 + 8: return 88;  // KEY_X
    default: return 0;
  }
}

}  // namespace tarnix
