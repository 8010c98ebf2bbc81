// The playfield: the well's drawing, rising rows, gravity, game start, status labels.
#pragma once

#include "core/module1.h"

namespace tarnix {

class PictureBox;

void Block_Paint();
void Block_Fall();
void Block_Up();
void Game_Start();
void States_Refresh();
void Score_Refresh();

// The rows that level `level` lasts before the next one.
Long RowsForLevel(Long level);

// Draws the sheet's 24 x 24 figure at (sheetX, sheetY) into `box` at (x, y) by the mask
// method: its mask, 84 pixels below it, with OR, then the figure with AND.
void Figure_Paint(PictureBox& box, int x, int y, Long sheetX, Long sheetY);
// The well's rows 0..lastRow from Board, row 0 at canvas y `top`; no clearing first.
void Well_Paint(int lastRow, int top);

// Fills the store boxes with the stored pictures.
void LoadStoredPictures();

}  // namespace tarnix
