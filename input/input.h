// One way in for every input: the keyboard and each pad are sources that feed the canvas's
// and the name box's handlers with the same virtual-key codes. A key held by two sources is
// released only when both have let go.
#pragma once

#include "core/module1.h"

namespace tarnix {

inline constexpr int kKeyboardSource = 0;

void Input_KeyDown(int source, Long keyCode);
void Input_KeyUp(int source, Long keyCode);
// Lets go of every key `source` holds, as if each were released.
void Input_ReleaseAll(int source);
// The same for every source.
void Input_ReleaseEverySource();
bool Input_Held(int source, Long keyCode);
// The source whose press was delivered last, -1 before any.
int Input_LastSource();
// Forgets what every source holds, without delivering anything.
void Input_Reset();
// The same, keeping the bindings and the settings screen: the keys change their meanings.
void Input_ForgetHeld();

// A pad's press in the name entry: arcade-style editing of the name box.
void NameEntry_PadKey(Long keyCode);

}  // namespace tarnix
