#include "window/form1.h"
#include "playfield/playfield.h"

namespace tarnix {

void States_Refresh() {
  const Long values[4] = {Module1.Score, Module1.Level, Module1.RedStock, Module1.BlueStock};
  auto& labels = Form1->Label1;
  for (int i = 0; i < 4; ++i) {
    const std::string text = std::to_string(values[i]);
    labels[2 * i].SetCaption(text);
    labels[2 * i + 1].SetCaption(text);
  }
  for (Label& label : labels) label.Refresh();
}

void Score_Refresh() {
  for (int k = 0; k < kHiScoreRanks; ++k) {
    const HiScoreEntry& entry = Module1.HiScore[k];
    for (auto* labels : {&Form1->Label3, &Form1->Label4}) {
      (*labels)[3 * k].SetCaption(entry.Name);
      (*labels)[3 * k + 1].SetCaption(std::to_string(entry.Level));
      (*labels)[3 * k + 2].SetCaption(entry.Score);
    }
  }
}

}  // namespace tarnix
