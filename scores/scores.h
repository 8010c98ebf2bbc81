// The end of a game and the high-score table.
#pragma once

#include <string>

#include "core/module1.h"

namespace tarnix {

void Game_Over(std::string& row);
// The name box's Enter: the name goes into the table, which is then shown.
void Name_Enter();

}  // namespace tarnix
