#include "input/bindings.h"

#include <SDL.h>

#include <map>
#include <sstream>

#include "core/keys.h"
#include "files/options.h"
#include "input/key_names.h"

namespace tarnix {

namespace {

constexpr Long kActionCodes[kActions] = {kLeft, kRight, kKeyZ, kKeyX, kUp, kDown, kEnter, kSpace};
constexpr const char* kConfNames[kActions] = {"WalkLeft", "WalkRight", "RedBomb", "BlueBomb",
                                              "Throw",    "Drop",      "Pause",   "NextRow"};

// Scan codes of a PC keyboard as X11 and Wayland number them.
constexpr std::uint32_t kScanEscape = 9, kScanF11 = 95;

// The buttons the game keeps: Back returns to the title, Guide is the system's, and the
// north button opens the settings screen.
bool ReservedButton(int button) {
  return button == SDL_CONTROLLER_BUTTON_BACK || button == SDL_CONTROLLER_BUTTON_GUIDE ||
         button == SDL_CONTROLLER_BUTTON_Y || button < 0 ||
         button >= SDL_CONTROLLER_BUTTON_MAX;
}

Bindings MakeDefaults() {
  Bindings b;
  b.keys = {{{113, 0}, {114, 0}, {52, 0}, {53, 0}, {111, 0}, {116, 0}, {36, 104}, {65, 0}}};
  b.buttons = {{{SDL_CONTROLLER_BUTTON_DPAD_LEFT, -1},
                {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, -1},
                {SDL_CONTROLLER_BUTTON_A, -1},
                {SDL_CONTROLLER_BUTTON_B, -1},
                {SDL_CONTROLLER_BUTTON_DPAD_UP, -1},
                {SDL_CONTROLLER_BUTTON_DPAD_DOWN, -1},
                {SDL_CONTROLLER_BUTTON_START, -1},
                {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, -1}}};
  return b;
}

// Every action keeps at least one of its slots filled.
template <class T>
bool EveryActionHasOne(const std::array<std::array<T, kBindSlots>, kActions>& table, T none) {
  for (const auto& slots : table) {
    bool any = false;
    for (const T& v : slots) any = any || v != none;
    if (!any) return false;
  }
  return true;
}

// Puts `value` into (action, slot); where it was bound already, the slot's old value goes
// there instead. Refused when an action would be left with nothing.
template <class T>
BindResult Place(std::array<std::array<T, kBindSlots>, kActions>& table, int action, int slot,
                 T value, T none) {
  if (action < 0 || action >= kActions || slot < 0 || slot >= kBindSlots) {
    return BindResult::kRefused;
  }
  auto proposed = table;
  T& target = proposed[action][slot];
  if (target == value) return BindResult::kBound;
  bool swapped = false;
  if (value != none) {
    for (auto& slots : proposed) {
      for (T& v : slots) {
        if (v == value) {
          v = target;
          swapped = true;
        }
      }
    }
  }
  target = value;
  // The same key twice for one action says nothing more: the second slot empties.
  for (auto& slots : proposed) {
    if (slots[0] != none && slots[0] == slots[1]) slots[1] = none;
  }
  if (!EveryActionHasOne(proposed, none)) return BindResult::kRefused;
  table = proposed;
  Bindings_ToOptions();
  return swapped ? BindResult::kSwapped : BindResult::kBound;
}

// The original's code of the action `value` is bound to in `table`, 0 for none.
template <class T>
Long CodeIn(const std::array<std::array<T, kBindSlots>, kActions>& table, T value, T none) {
  if (value == none) return 0;
  for (int a = 0; a < kActions; ++a) {
    for (const T& v : table[a]) {
      if (v == value) return kActionCodes[a];
    }
  }
  return 0;
}

std::map<std::uint32_t, std::string>& SeenNames() {
  static std::map<std::uint32_t, std::string> names;
  return names;
}

std::string UsName(std::uint32_t scan) {
  static const char* const kRows[] = {"1234567890-=", "QWERTYUIOP[]", "ASDFGHJKL;'`",
                                      "\\ZXCVBNM,./"};
  // The rows' first scan codes: 10 (1), 24 (Q), 38 (A), 51 (\).
  static const std::uint32_t kFirst[] = {10, 24, 38, 51};
  for (int r = 0; r < 4; ++r) {
    const std::string row = kRows[r];
    if (scan >= kFirst[r] && scan < kFirst[r] + row.size()) {
      return std::string(1, row[scan - kFirst[r]]);
    }
  }
  switch (scan) {
    case 9: return "Esc";
    case 22: return "BackSpace";
    case 23: return "Tab";
    case 36: return "Enter";
    case 37: return "Ctrl";
    case 50: return "Shift";
    case 62: return "Shift R";
    case 64: return "Alt";
    case 65: return "Space";
    case 104: return "KP Ent";
    case 105: return "Ctrl R";
    case 108: return "Alt R";
    case 110: return "Home";
    case 111: return "\xe2\x86\x91";  // the arrows
    case 112: return "PageUp";
    case 113: return "\xe2\x86\x90";
    case 114: return "\xe2\x86\x92";
    case 115: return "End";
    case 116: return "\xe2\x86\x93";
    case 117: return "PageDown";
    case 118: return "Insert";
    case 119: return "Delete";
    default: break;
  }
  return "#" + std::to_string(scan);
}

template <class T>
std::string SlotsText(const std::array<T, kBindSlots>& slots) {
  std::ostringstream out;
  out << slots[0] << "," << slots[1];
  return out.str();
}

bool ParseSlots(const std::string& text, std::array<long long, kBindSlots>& slots) {
  std::istringstream in(text);
  long long a = 0, b = 0;
  char comma = 0;
  if (!(in >> a >> comma >> b) || comma != ',' || !(in >> std::ws).eof()) return false;
  if (a < -1 || b < -1 || a > 0xFFFF || b > 0xFFFF) return false;
  slots = {a, b};
  return true;
}

template <class T>
bool Unique(const std::array<std::array<T, kBindSlots>, kActions>& table, T none) {
  std::map<T, int> seen;
  for (const auto& slots : table) {
    for (const T& v : slots) {
      if (v != none && ++seen[v] > 1) return false;
    }
  }
  return true;
}

}  // namespace

Long Action_KeyCode(int action) { return kActionCodes[action]; }
const char* Action_ConfName(int action) { return kConfNames[action]; }

const Bindings& Bindings_Defaults() {
  static const Bindings defaults = MakeDefaults();
  return defaults;
}

Bindings& Bindings_Current() {
  static Bindings current = MakeDefaults();
  return current;
}

void Bindings_Reset() {
  Bindings_Current() = Bindings_Defaults();
  Bindings_ToOptions();
}

BindResult Bind_Key(int action, int slot, std::uint32_t scan) {
  if (scan == 0 || scan == kScanEscape || scan == kScanF11) return BindResult::kRefused;
  return Place(Bindings_Current().keys, action, slot, scan, 0u);
}

BindResult Bind_Button(int action, int slot, int button) {
  if (ReservedButton(button)) return BindResult::kRefused;
  return Place(Bindings_Current().buttons, action, slot, button, -1);
}

BindResult Unbind_Key(int action, int slot) {
  return Place(Bindings_Current().keys, action, slot, 0u, 0u);
}

BindResult Unbind_Button(int action, int slot) {
  return Place(Bindings_Current().buttons, action, slot, -1, -1);
}

Long Bindings_KeyOf(std::uint32_t scan) { return CodeIn(Bindings_Current().keys, scan, 0u); }
Long Bindings_ButtonOf(int button) { return CodeIn(Bindings_Current().buttons, button, -1); }
Long Bindings_DefaultKeyOf(std::uint32_t scan) {
  return CodeIn(Bindings_Defaults().keys, scan, 0u);
}
Long Bindings_DefaultButtonOf(int button) {
  return CodeIn(Bindings_Defaults().buttons, button, -1);
}

bool Bindings_IsActionCode(Long code) {
  for (Long c : kActionCodes) {
    if (c == code) return true;
  }
  return false;
}

std::string Key_Name(std::uint32_t scan) {
  const std::string layout = KeyNames_Lookup(scan);
  if (!layout.empty()) return layout;
  const auto found = SeenNames().find(scan);
  return found != SeenNames().end() ? found->second : UsName(scan);
}

void Key_NameSeen(std::uint32_t scan, const std::string& name) {
  if (scan != 0 && !name.empty()) SeenNames()[scan] = name;
}

void Bindings_FromOptions() {
  const std::map<std::string, std::string>& stored = Options().Bindings;
  Bindings b = Bindings_Defaults();
  bool valid = true;
  for (int a = 0; a < kActions && valid; ++a) {
    const auto keys = stored.find(std::string("Keys/") + kConfNames[a]);
    if (keys != stored.end()) {
      std::array<long long, kBindSlots> v{};
      valid = ParseSlots(keys->second, v);
      for (long long k : v) valid = valid && k >= 0 && k != kScanEscape && k != kScanF11;
      for (int s = 0; valid && s < kBindSlots; ++s) b.keys[a][s] = static_cast<std::uint32_t>(v[s]);
    }
    const auto buttons = stored.find(std::string("PadButtons/") + kConfNames[a]);
    if (buttons != stored.end() && valid) {
      std::array<long long, kBindSlots> v{};
      valid = ParseSlots(buttons->second, v);
      for (long long k : v) valid = valid && (k == -1 || !ReservedButton(static_cast<int>(k)));
      for (int s = 0; valid && s < kBindSlots; ++s) b.buttons[a][s] = static_cast<int>(v[s]);
    }
  }
  // A key or button on two actions, or an action with none, is no set the game could have
  // written: the defaults, silently, as for any other garbled option.
  valid = valid && EveryActionHasOne(b.keys, 0u) && EveryActionHasOne(b.buttons, -1) &&
          Unique(b.keys, 0u) && Unique(b.buttons, -1);
  Bindings_Current() = valid ? b : Bindings_Defaults();
}

void Bindings_ToOptions() {
  std::map<std::string, std::string>& stored = Options().Bindings;
  stored.clear();
  const Bindings& b = Bindings_Current();
  for (int a = 0; a < kActions; ++a) {
    stored[std::string("Keys/") + kConfNames[a]] = SlotsText(b.keys[a]);
    stored[std::string("PadButtons/") + kConfNames[a]] = SlotsText(b.buttons[a]);
  }
}

}  // namespace tarnix
