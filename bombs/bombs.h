// Bombs and gifts: bomb flight and fuses, explosions and chains, bomb sprites, gifts.
#pragma once

#include <string>

#include "core/module1.h"

namespace tarnix {

void Bomb_Refresh();
void Bomb_Paint(Long index);
void Bomb_Explode();
void Gift_GetCheck();

// Takes back the bomb's last move, then lets it slide along its way, one pixel at a time,
// until something drawn on the canvas holds it; it is then resting.
void Bomb_Settle(BombRecord& bomb);
// 1-based position in Board of the cell under the bomb's centre.
Long Bomb_Cell(const BombRecord& bomb);
// A queue entry: two digits of generation, three of cell position.
std::string Explosion_Entry(Long generation, Long position);

}  // namespace tarnix
