// The player's own keys and pad buttons. Each game action is bound to one or two keys, by
// where they sit (the native scan code), and to one or two pad buttons; a bound key or
// button is heard as the original's virtual-key code of its action, so the rules, the
// replays and the doors never learn that anything was remapped.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/module1.h"

namespace tarnix {

enum GameAction : int {
  kActWalkLeft, kActWalkRight, kActRedBomb, kActBlueBomb,
  kActThrow, kActDrop, kActPause, kActNextRow,
  kActions
};
inline constexpr int kBindSlots = 2;

struct Bindings {
  // Native scan codes (X11's and Wayland's: the kernel's key number plus 8), 0 for none.
  std::array<std::array<std::uint32_t, kBindSlots>, kActions> keys{};
  // SDL game-controller buttons, -1 for none.
  std::array<std::array<int, kBindSlots>, kActions> buttons{};
};

enum class BindResult { kBound, kSwapped, kRefused };

// The original's key an action stands for.
Long Action_KeyCode(int action);
// The name an action goes by in tarnix.conf ("WalkLeft", ...).
const char* Action_ConfName(int action);

const Bindings& Bindings_Defaults();
Bindings& Bindings_Current();
void Bindings_Reset();

// Binds `scan` to the action's slot. A key bound elsewhere changes places with the one the
// slot held; a change that would leave an action without any key is refused, as are the
// keys the game keeps for itself (Escape, F11).
BindResult Bind_Key(int action, int slot, std::uint32_t scan);
BindResult Bind_Button(int action, int slot, int button);
// Empties a slot, unless it is the action's last key (or button).
BindResult Unbind_Key(int action, int slot);
BindResult Unbind_Button(int action, int slot);

// The original's code for a physical key, 0 when it is bound to no action.
Long Bindings_KeyOf(std::uint32_t scan);
// The same for a pad's button.
Long Bindings_ButtonOf(int button);
// The same by the defaults: the settings screen hears the keys and buttons as they were at
// first, so that the arrows, Z, X and the pad's A and B always find it, whatever was bound.
Long Bindings_DefaultKeyOf(std::uint32_t scan);
Long Bindings_DefaultButtonOf(int button);
// Whether the game's own code stands for a bindable action.
bool Bindings_IsActionCode(Long code);

// The name of the key at `scan` in the player's layout (as the keyboard's layout was last
// read), else as last seen typed, else its name on a US keyboard; and what was seen typed there.
std::string Key_Name(std::uint32_t scan);
void Key_NameSeen(std::uint32_t scan, const std::string& name);

// The bindings from the options read from tarnix.conf: the defaults unless the whole set
// is valid. And back into the options, which tarnix.conf is written from.
void Bindings_FromOptions();
void Bindings_ToOptions();

}  // namespace tarnix
