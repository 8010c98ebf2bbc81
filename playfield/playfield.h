// The playfield: the well's drawing, rising rows, gravity, game start, status labels, the
// pass of play and what the canvas's keys mean.
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

// One pass of play: the gifts, the figure and its bombs, the bombs in the well, the rise.
void Main_Pass();

// What the canvas's key handlers do in each phase.
void Canvas_KeyDown(Long KeyCode);
void Canvas_KeyUp(Long KeyCode);
// The title picture with the menu cursor at (72, cursorY), and the pads' line if any.
void Title_Draw(Long cursorY);
// The Game menu's return to the title, from any phase.
void Title_FromMenu();
// Ticks the wait item 0..3 (none, light, normal, heavy) and sets its wait.
void Wait_Choose(int item);
// The player box composed from the strip behind it and the sheet's figure at `column`.
void Player_Draw(Long column);

}  // namespace tarnix
