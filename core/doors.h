// The doors of the game: the original's event handlers and its one pass. Every input, from the
// keyboard, a pad, a menu or a replay, enters through these with the original's virtual-key
// codes. They are declared here, at the bottom, so that every layer can knock; they are
// defined at the top, in shell/, where one tap records and replays each call.
#pragma once

#include "core/module1.h"

namespace tarnix {

// One pass of the game.
void Main_Prog();

void Picture1_KeyDown(Long KeyCode, Long Shift);
void Picture1_KeyUp(Long KeyCode, Long Shift);
void Picture1_LostFocus();
void Text1_KeyDown(Long KeyCode, Long Shift);
void Form_Unload(Long& Cancel);

void mnuG0_Click();
void mnuG1_Click();
void mnuG3_Click();
void mnuO1_Click();
void mnuO4_Click();
void mnuO5_Click();
void mnuO6_Click();
void mnuO7_Click();
void mnuH1_Click();
// The port's own items.
void mnuPauseInactive_Click();
void mnuScale1_Click();
void mnuScale2_Click();
void mnuScale3_Click();
void mnuScale4_Click();
void mnuFullScreen_Click();
void mnuRumble_Click();
void mnuDemo_Click();
void mnuBombMarks_Click();
void mnuGentleFlashes_Click();

}  // namespace tarnix
