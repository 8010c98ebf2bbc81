// The keyboard as a source of input, like each pad: the window's key events become the
// original's virtual-key codes, found by where a key sits where that matters (Z and X), and
// fed to the same Input_ functions as the pads. It also notices the player looking away
// (another window active, the window minimised) and lets go of every held key then.
#pragma once

#include "core/module1.h"

class QKeyEvent;

namespace tarnix {

class Form1Window;

// Routes the window's key, focus and activation events through the keyboard source.
void Keyboard_Install(Form1Window& form);

// The platform's virtual-key code for a Qt key, 0 when the game has none for it.
int VirtualKeyCode(int qtKey);
// F11 and Alt+Enter switch full screen on and off.
bool FullScreenToggleKey(const QKeyEvent& key);

// Every key held by any source is let go through the input layer, as if each were released.
void Keys_ReleaseAll();
// The window is no longer the active one: keys are let go and, during play with the option
// on, the game pauses as Enter pauses it.
void Window_Deactivated();

}  // namespace tarnix
