#include <algorithm>

#include <QCoreApplication>

#include "files/files.h"
#include "window/form1.h"
#include "playfield/playfield.h"
#include "scores/scores.h"
#include "core/platform.h"

namespace tarnix {

namespace {

constexpr Long kFrameMs = 100;

void Player_Cheer() {
  PictureBox& player = Form1->Picture2;
  for (int k = 0; k < 4; ++k) {
    player.PaintPicture(Form1->Picture6.Image(), 0, 0, 24, 24, player.Left(), player.Top(), 24,
                        24);
    Figure_Paint(player, 0, 0, 24 * k, 48);
    player.Refresh();
    WaitMsFromNow(kFrameMs);
  }
}

long long ScoreValue(const std::string& text) {
  try {
    return std::stoll(text);
  } catch (...) {
    return 0;
  }
}

// The first rank whose score the new one reaches; ties go above the older entry.
int Rank_Find(Long score) {
  for (int k = 0; k < kHiScoreRanks; ++k) {
    if (ScoreValue(Module1.HiScore[k].Score) <= score) return k;
  }
  return -1;
}

void NameEntry_Open(int rank) {
  Form1Window& f = *Form1;
  Score_Refresh();
  const std::string prompt =
      QCoreApplication::translate("Messages", "Please your name").toStdString();
  f.Label3[15].SetCaption(prompt);
  f.Label4[15].SetCaption(prompt);
  f.Picture8.SetVisible(true);
  f.Text1.SetVisible(true);
  f.Text1.Tag = std::to_string(rank);
  f.Text1.SetTop(f.Label3[3 * rank].Top() - 1);
  f.Label2[0].SetVisible(false);
  f.Label2[1].SetVisible(false);
  f.Picture6.SetVisible(false);
  Module1.GamePhase = kNameEntry;
  f.Text1.SetFocus();
}

}  // namespace

void Game_Over(std::string& row) {
  Form1Window& f = *Form1;
  for (PictureBox& bomb : f.Picture3) bomb.SetVisible(false);
  f.Picture6.SetPicture(f.Picture5[4].Picture());
  f.Picture2.SetTop(8);
  f.Picture1.Cls();
  // An overwrite in place: the three right pads of row 11 keep their characters.
  Module1.Board.replace(187, std::min<std::size_t>(row.size(), kRowLength), row, 0,
                        std::min<std::size_t>(row.size(), kRowLength));
  Well_Paint(11, 36);  // one row higher than in play, the pending row 11 at the bottom
  f.Picture1.Refresh();
  f.Picture6.Refresh();
  for (Label& label : f.Label2) {
    label.SetCaption("Game Over");
    label.SetVisible(true);
  }
  Player_Cheer();
  f.Picture2.SetVisible(false);
  for (GiftRecord& gift : Module1.Gifts) gift.Active = 0;

  const int rank = Module1.Score == 0 ? -1 : Rank_Find(Module1.Score);
  if (rank < 0) {
    Sound("over");
    Module1.GamePhase = kGameOverView;
    return;
  }
  Sound("height");
  for (int j = kHiScoreRanks - 2; j >= rank; --j) Module1.HiScore[j + 1] = Module1.HiScore[j];
  Module1.HiScore[rank] = HiScoreEntry{"", Module1.Level, std::to_string(Module1.Score)};
  NameEntry_Open(rank);
}

void Name_Enter() {
  Form1Window& f = *Form1;
  const int rank = std::clamp(std::atoi(f.Text1.Tag.c_str()), 0, kHiScoreRanks - 1);
  Module1.HiScore[rank].Name = f.Text1.Text();
  Score_Refresh();
  Module1.GamePhase = kScoreView;
  f.Text1.SetVisible(false);
  const std::string next = QCoreApplication::translate("Messages", "Push Enter Key").toStdString();
  f.Label3[15].SetCaption(next);
  f.Label4[15].SetCaption(next);
  // The hidden box would leave the window without a focus; the canvas takes it back.
  f.Picture1.SetFocus();
}

}  // namespace tarnix
