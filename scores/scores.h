// The end of a game and the high-score table.
#pragma once

#include <string>

#include "core/module1.h"

namespace tarnix {

void Game_Over(std::string& row);
void Text1_KeyDown(Long KeyCode, Long Shift);

}  // namespace tarnix
