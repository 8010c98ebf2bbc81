// The settings screen: every option of the Options menu and the port's own, the keys, the
// language and quitting, drawn on the canvas and driven by the keys and pads alone. Each
// change goes through the handler of its menu item, so the ticks and a replay agree.
#pragma once

#include <QString>

#include <cstdint>

#include "core/module1.h"

namespace tarnix {

// The pad button that opens and closes the screen on the title and in pause: the north one
// (Y on an Xbox pad, triangle on a PlayStation one, X on a Nintendo one). It never plays.
inline constexpr int kSettingsButton = 3;  // SDL_CONTROLLER_BUTTON_Y

bool Settings_IsOpen();
// Waiting for the key or button a binding is to take.
bool Settings_Capturing();
// Opens the screen over the title or the pause screen; anywhere else it does nothing.
void Settings_Open();
void Settings_Close();
// A press while the screen is open, in the original's codes (as the bindings made them).
void Settings_Key(Long code);
void Settings_CaptureKey(std::uint32_t scan);
// The world table's address is being written: the keyboard types into it (the arrows, Enter
// and Escape still come through Settings_Key, and a pad turns characters as in the name entry).
bool Settings_Editing();
void Settings_Type(const QString& text);
// BackSpace: the character before the caret.
void Settings_Erase();
void Settings_CaptureButton(int button);
// Forgets the screen without drawing; for tests and start-up.
void Settings_Reset();

}  // namespace tarnix
