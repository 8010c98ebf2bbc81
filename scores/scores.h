// The end of a game and the high-score table.
#pragma once

#include <string>

#include "shell/module1.h"

namespace tarnix {

void Game_Over(std::string& row);
void Text1_KeyDown(Long KeyCode, Long Shift);

}  // namespace tarnix
