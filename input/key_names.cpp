#include "input/key_names.h"

#include <QGuiApplication>
#include <QString>

#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdlib>
#include <memory>

namespace tarnix {

namespace {

struct ContextFree {
  void operator()(xkb_context* c) const { xkb_context_unref(c); }
};
struct KeymapFree {
  void operator()(xkb_keymap* k) const { xkb_keymap_unref(k); }
};
struct StateFree {
  void operator()(xkb_state* s) const { xkb_state_unref(s); }
};

struct Layout {
  std::unique_ptr<xkb_context, ContextFree> context;
  std::unique_ptr<xkb_keymap, KeymapFree> keymap;
  std::unique_ptr<xkb_state, StateFree> state;  // which group is active
};

Layout& Current() {
  static Layout layout;
  return layout;
}

xkb_context* Context() {
  Layout& l = Current();
  if (!l.context) l.context.reset(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
  return l.context.get();
}

bool FromServer(xcb_connection_t* connection) {
  if (connection == nullptr || Context() == nullptr) return false;
  if (!xkb_x11_setup_xkb_extension(connection, XKB_X11_MIN_MAJOR_XKB_VERSION,
                                   XKB_X11_MIN_MINOR_XKB_VERSION,
                                   XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr,
                                   nullptr, nullptr)) {
    return false;
  }
  const std::int32_t device = xkb_x11_get_core_keyboard_device_id(connection);
  if (device < 0) return false;
  Layout& l = Current();
  l.keymap.reset(xkb_x11_keymap_new_from_device(Context(), connection, device,
                                                XKB_KEYMAP_COMPILE_NO_FLAGS));
  if (!l.keymap) return false;
  l.state.reset(xkb_x11_state_new_from_device(l.keymap.get(), connection, device));
  return l.state != nullptr;
}

// Without the environment naming a layout the compiled-in default (a US keyboard) says no
// more than the names the game already knows, and less than a character seen typed.
bool FromEnvironment() {
  bool named = false;
  for (const char* name : {"XKB_DEFAULT_RULES", "XKB_DEFAULT_MODEL", "XKB_DEFAULT_LAYOUT",
                           "XKB_DEFAULT_VARIANT", "XKB_DEFAULT_OPTIONS"}) {
    const char* value = std::getenv(name);
    named = named || (value != nullptr && *value != '\0');
  }
  if (!named || Context() == nullptr) return false;
  Layout& l = Current();
  const xkb_rule_names fromEnvironment{};  // every field empty: the variables fill them
  l.keymap.reset(
      xkb_keymap_new_from_names(Context(), &fromEnvironment, XKB_KEYMAP_COMPILE_NO_FLAGS));
  if (!l.keymap) return false;
  l.state.reset(xkb_state_new(l.keymap.get()));
  return l.state != nullptr;
}

xcb_connection_t* QtsConnection() {
  const auto* app = qGuiApp;
  if (app == nullptr) return nullptr;
  const auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->connection() : nullptr;
}

// The keys that type nothing, or only a control character or a blank.
const char* Unprinted(xkb_keysym_t sym) {
  switch (sym) {
    case XKB_KEY_Escape: return "Esc";
    case XKB_KEY_BackSpace: return "BackSpace";
    case XKB_KEY_Tab:
    case XKB_KEY_ISO_Left_Tab: return "Tab";
    case XKB_KEY_Return: return "Enter";
    case XKB_KEY_KP_Enter: return "KP Ent";
    case XKB_KEY_space: return "Space";
    case XKB_KEY_Control_L: return "Ctrl";
    case XKB_KEY_Control_R: return "Ctrl R";
    case XKB_KEY_Shift_L: return "Shift";
    case XKB_KEY_Shift_R: return "Shift R";
    case XKB_KEY_Alt_L: return "Alt";
    case XKB_KEY_Alt_R: return "Alt R";
    case XKB_KEY_ISO_Level3_Shift: return "AltGr";
    case XKB_KEY_Super_L:
    case XKB_KEY_Super_R: return "Super";
    case XKB_KEY_Caps_Lock: return "CapsLock";
    case XKB_KEY_Home: return "Home";
    case XKB_KEY_End: return "End";
    case XKB_KEY_Prior: return "PageUp";
    case XKB_KEY_Next: return "PageDown";
    case XKB_KEY_Insert: return "Insert";
    case XKB_KEY_Delete: return "Delete";
    case XKB_KEY_Up: return "\xe2\x86\x91";  // the arrows
    case XKB_KEY_Down: return "\xe2\x86\x93";
    case XKB_KEY_Left: return "\xe2\x86\x90";
    case XKB_KEY_Right: return "\xe2\x86\x92";
    default: return nullptr;
  }
}

std::string SymName(xkb_keysym_t sym) {
  if (const char* name = Unprinted(sym)) return name;
  char utf8[16] = {};
  if (xkb_keysym_to_utf8(sym, utf8, sizeof utf8) > 1) {
    const QString typed = QString::fromUtf8(utf8);
    if (!typed.isEmpty() && typed.at(0).isPrint() && !typed.at(0).isSpace()) {
      return typed.toUpper().toStdString();
    }
  }
  char name[64] = {};
  if (xkb_keysym_get_name(sym, name, sizeof name) > 0) return name;
  return {};
}

}  // namespace

void KeyNames_FromX11(xcb_connection_t* connection) {
  Layout& l = Current();
  l.state.reset();
  l.keymap.reset();
  if (!FromServer(connection) && !FromEnvironment()) {
    l.state.reset();
    l.keymap.reset();
  }
}

void KeyNames_Refresh() { KeyNames_FromX11(QtsConnection()); }

std::string KeyNames_Lookup(std::uint32_t scan) {
  const Layout& l = Current();
  if (!l.keymap || !l.state || scan == 0) return {};
  const xkb_keycode_t key = scan;  // X11's keycodes and Wayland's scan codes are the same
  const xkb_layout_index_t group = xkb_state_key_get_layout(l.state.get(), key);
  if (group == XKB_LAYOUT_INVALID) return {};
  const xkb_keysym_t* syms = nullptr;
  if (xkb_keymap_key_get_syms_by_level(l.keymap.get(), key, group, 0, &syms) < 1) return {};
  return SymName(syms[0]);
}

}  // namespace tarnix
