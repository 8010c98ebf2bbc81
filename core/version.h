// The game's version as its title screen shows it ("Ver1.01"); the package and the
// metadata say the same.
#pragma once

namespace tarnix {

inline constexpr const char* kGameVersion = "1.01";

}  // namespace tarnix
