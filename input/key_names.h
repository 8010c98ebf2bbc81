// What a physical key is called in the player's keyboard layout. Keys are bound by where
// they sit (the scan code); the player reads them by what their own keyboard prints on them.
#pragma once

#include <cstdint>
#include <string>

struct xcb_connection_t;

namespace tarnix {

// Reads the layout again: from the X server the window talks to, else from the layout the
// environment names (XKB_DEFAULT_LAYOUT and its kin), else none is known.
void KeyNames_Refresh();
// The same from a given X server; none (null) goes on to the environment.
void KeyNames_FromX11(xcb_connection_t* connection);
// The key's name at its first shift level in the active layout group, upper-cased for
// letters; a readable name for the keys that type nothing. Empty when no layout is known.
std::string KeyNames_Lookup(std::uint32_t scan);

}  // namespace tarnix
