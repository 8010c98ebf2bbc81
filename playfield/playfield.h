// The playfield: the well's drawing, rising rows, gravity, game start, status labels.
#pragma once

#include "shell/module1.h"

namespace tarnix {

void Block_Paint();
void Block_Fall();
void Block_Up();
void Game_Start();
void States_Refresh();
void Score_Refresh();

// The rows that level `level` lasts before the next one.
Long RowsForLevel(Long level);

// Fills the store boxes with the stored pictures.
void LoadStoredPictures();

}  // namespace tarnix
