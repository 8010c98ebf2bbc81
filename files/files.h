// The settings and score file, the sound effects, the readme viewer.
#pragma once

#include <string>

#include "shell/module1.h"

namespace tarnix {

// Reads "Tarnix.ini" from AppPath: the sound tick, the wait (through its handler) and the
// table; the defaults where the file is missing or broken.
void Settings_Load();
// Writes the file; false (after the message) when it could not be written.
bool Settings_Save();

// Unticks and disables the sound item when one of the effects is missing.
void Sound_CheckFiles();
void Sound(const std::string& name);

void mnuH1_Click();

}  // namespace tarnix
