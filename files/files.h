// The settings and score file, the sound effects, the readme viewer.
#pragma once

#include <string>

#include "shell/module1.h"

namespace tarnix {

// Reads "Tarnix.ini" (any letter case) from AppPath, or from the per-user folder where
// AppPath takes no writes: the sound tick, the wait (through its handler) and the table;
// the defaults where the file is missing or broken.
void Settings_Load();
// Writes the file to the same place; false (after the message) when it could not be
// written, in which case the file on disk is as it was.
bool Settings_Save();
// The folder, ending in "/", where "Tarnix.ini" is kept; the port's own files live there too.
std::string Settings_Folder();

// Unticks and disables the sound item when one of the effects is missing.
void Sound_CheckFiles();
void Sound(const std::string& name);

void mnuH1_Click();

}  // namespace tarnix
