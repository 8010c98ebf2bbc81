// A pad on SDL's virtual joystick driver, for the tests of the pads, the settings screen and
// the pads' glyphs.
#pragma once

#include <SDL.h>

#include <vector>

#include "input/pad.h"

namespace tarnix::testing {

struct Rumble {
  Uint16 low, high;
};
inline std::vector<Rumble> rumbles;

inline int RecordRumble(void*, Uint16 low, Uint16 high) {
  rumbles.push_back({low, high});
  return 0;
}

// A pad on SDL's virtual joystick driver. Each change is followed by one poll, as one turn
// of the main loop would.
class VirtualPad {
 public:
  explicit VirtualPad(SDL_JoystickType type = SDL_JOYSTICK_TYPE_GAMECONTROLLER, int axes = -1,
                      int buttons = -1, int hats = 0, Uint16 product = 0,
                      Uint16 vendor = 0) {
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = static_cast<Uint16>(type);
    desc.naxes = static_cast<Uint16>(axes < 0 ? SDL_CONTROLLER_AXIS_MAX : axes);
    desc.nbuttons = static_cast<Uint16>(buttons < 0 ? SDL_CONTROLLER_BUTTON_MAX : buttons);
    desc.nhats = static_cast<Uint16>(hats);
    desc.vendor_id = vendor ? vendor : product ? 0x7A4E : 0;
    desc.product_id = product;
    desc.name = "Tarnix test pad";
    desc.Rumble = RecordRumble;
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    EXPECT_GE(index, 0) << SDL_GetError();
    id_ = SDL_JoystickGetDeviceInstanceID(index);
    Pad_PollNow();  // a virtual pad makes no device node for the game to notice
    joystick_ = SDL_JoystickFromInstanceID(id_);
    if (!joystick_) joystick_ = owned_ = SDL_JoystickOpen(index);
  }
  ~VirtualPad() { Unplug(); }

  void Button(int button, bool down) {
    SDL_JoystickSetVirtualButton(joystick_, button, down);
    Pad_Poll();
  }
  void Click(int button) {
    Button(button, true);
    Button(button, false);
  }
  void Axis(int axis, Sint16 value) {
    SDL_JoystickSetVirtualAxis(joystick_, axis, value);
    Pad_Poll();
  }
  void Hat(Uint8 value) {
    SDL_JoystickSetVirtualHat(joystick_, 0, value);
    Pad_Poll();
  }
  void Unplug() {
    if (!joystick_) return;
    if (owned_) SDL_JoystickClose(owned_);
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
      if (SDL_JoystickGetDeviceInstanceID(i) == id_) SDL_JoystickDetachVirtual(i);
    }
    joystick_ = owned_ = nullptr;
    Pad_PollNow();
  }
  SDL_JoystickGUID Guid() const { return SDL_JoystickGetGUID(joystick_); }

 private:
  SDL_JoystickID id_ = -1;
  SDL_Joystick* joystick_ = nullptr;
  SDL_Joystick* owned_ = nullptr;
};

}  // namespace tarnix::testing
