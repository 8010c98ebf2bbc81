#include <algorithm>

#include "bombs/bombs.h"
#include "files/files.h"
#include "window/form1.h"
#include "playfield/playfield.h"

namespace tarnix {

namespace {

constexpr Long kStockCap = 999;

bool Gift_Take(Long slot) {
  GiftRecord& gift = Module1.Gifts[slot];
  if (gift.Active != 1) return false;
  Sound("get");
  if (gift.Kind == 0) {
    Module1.RedStock += 1;
  } else {
    Module1.BlueStock += 1;
  }
  gift.Active = 0;
  return true;
}

}  // namespace

void Gift_GetCheck() {
  const Long left = Form1->Picture2.Left();
  // The slot between the two, always wholly under the player, is not looked at: the
  // player picks up what lies at its left edge and just beyond its right edge.
  const Long a = std::max<Long>(0, left / 12);
  const Long b = std::min<Long>(21, (left + 24) / 12);
  bool got = Gift_Take(a);
  got = Gift_Take(b) || got;
  if (got) {
    Module1.RedStock = std::min(Module1.RedStock, kStockCap);
    Module1.BlueStock = std::min(Module1.BlueStock, kStockCap);
    States_Refresh();
  }
}

}  // namespace tarnix
