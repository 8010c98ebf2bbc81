#include "replay/watch.h"

#include <QCoreApplication>
#include <QPointer>

#include "files/files.h"
#include "window/form1.h"
#include "playfield/playfield.h"
#include "replay/library.h"
#include "replay/replay.h"
#include "replay/world_view.h"
#include "core/platform.h"
#include "core/keys.h"

namespace tarnix {

namespace {

constexpr QRgb kYellow = 0xFFFF00;
constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kOlive = 0x808000;
constexpr QRgb kRed = 0xC00000;

int highlighted = -1;
int watched = -1;  // the entry being watched, highlighted again when its replay ends
bool inScoreView = false;

// The line over the canvas: "REPLAY" and whose game, or the offer of the last game.
struct Banner {
  QPointer<Label> front, back;
  const Form1Window* form = nullptr;
  void Show(const std::string& text, int top) {
    if (form != Form1 || front.isNull()) {
      form = Form1;
      back = new Label;
      front = new Label;
      back->Setup(&Form1->Picture1, 1, top + 1, 264, 21, 16, kOlive, Qt::AlignHCenter, {}, false);
      front->Setup(&Form1->Picture1, 0, top, 264, 21, 16, kYellow, Qt::AlignHCenter, {}, false);
      back->setObjectName(QStringLiteral("watchBanner"));
      front->setObjectName(QStringLiteral("watchBanner"));
    }
    const int n = Form1->Scale();
    for (Label* l : {back.data(), front.data()}) {
      l->ApplyScale(n);
      l->move((l == back ? 1 : 0) * n, (l == back ? top + 1 : top) * n);
      l->SetCaption(text);
      l->SetVisible(true);
      l->raise();
    }
  }
  void Hide() {
    if (form != Form1) return;
    for (Label* l : {back.data(), front.data()}) {
      if (l) l->SetVisible(false);
    }
  }
} banner;

void Paint(Label& label, QRgb color) {
  label.setStyleSheet(QStringLiteral("QLabel { color: #%1; background: transparent; }")
                          .arg(color & 0xFFFFFFu, 6, 16, QLatin1Char('0')));
}

// The highlighted entry is white over red, the others yellow over olive as ever.
void Color(int rank, QRgb color) {
  if (rank < 0) return;
  for (int i = 0; i < 3; ++i) {
    const auto at = static_cast<std::size_t>(3 * rank + i);
    Paint(Form1->Label3[at], color);
    Paint(Form1->Label4[at], color == kWhite ? kRed : kOlive);
  }
}

void MessageLine(const std::string& text) {
  Form1->Label3[15].SetCaption(text);
  Form1->Label4[15].SetCaption(text);
}

void Highlight(int rank) {
  Color(highlighted, kYellow);
  highlighted = rank;
  Color(highlighted, kWhite);
  MessageLine(rank >= 0 ? "Z Key : Replay" : "Push Enter Key");
}

bool HasReplay(int rank) { return !ReplayLibrary_PathFor(rank).empty(); }

void Play(const ReplayRecord& record, const std::string& title) {
  banner.Hide();
  Highlight(-1);
  inScoreView = false;
  Replay_Watch(record, title);
}

void Play(const std::string& path, const std::string& title) {
  const ReplayReadResult r = ReplayLibrary_Read(path);
  if (!r.record) {
    Platform().messages->Show(Replay_ErrorText(r), MessageIcon::kCritical);
    return;
  }
  Play(*r.record, title);
}

}  // namespace

bool Watch_Key(Long code) {
  if (Module1.GamePhase == kGameOverView && code == kWatchKey) {
    // The game just lost as it was recorded, whether or not its file could be kept.
    const ReplayRecord& last = Replay_Recording();
    if (!last.stamp.empty()) Play(last, "");
    return true;
  }
  if (Module1.GamePhase != kScoreView || !inScoreView) return false;
  if (code == kUp || code == kDown) {
    const int step = code == kUp && highlighted >= 0 ? -1 : 1;
    for (int k = highlighted + step; k >= 0 && k < kHiScoreRanks; k += step) {
      if (HasReplay(k)) {
        Sound("cursor");
        Highlight(k);
        break;
      }
    }
    return true;
  }
  if (code == kWatchKey) {
    if (highlighted >= 0) {
      const std::string path = ReplayLibrary_PathFor(highlighted);
      if (!path.empty()) {
        watched = highlighted;
        Play(path, Module1.HiScore[static_cast<std::size_t>(highlighted)].Name);
      }
    }
    return true;
  }
  return false;
}

void Watch_AfterDoor() {
  if (Form1 == nullptr) return;
  if (Module1.GamePhase != kGameOverView) banner.Hide();
  if (Module1.GamePhase == kScoreView && !inScoreView) {
    Watch_Enter();
  } else if (Module1.GamePhase != kScoreView && inScoreView) {
    Color(highlighted, kYellow);
    highlighted = -1;
    inScoreView = false;
  }
}

void Watch_Enter() {
  if (Form1 == nullptr || Module1.GamePhase != kScoreView) return;
  inScoreView = true;
  highlighted = -1;
  for (int k = 0; k < kHiScoreRanks; ++k) Color(k, kYellow);
}

void Watch_Leave() {
  Form1Window& f = *Form1;
  banner.Hide();
  for (PictureBox& bomb : f.Picture3) bomb.SetVisible(false);
  f.Text1.SetVisible(false);
  f.Label2[0].SetVisible(false);
  f.Label2[1].SetVisible(false);
  f.Picture2.SetVisible(true);
  f.Picture6.SetVisible(false);
  Score_Refresh();
  f.Label3[15].SetCaption("Push Enter Key");
  f.Label4[15].SetCaption("Push Enter Key");
  f.Picture8.SetVisible(true);
  Module1.GamePhase = kScoreView;
  f.Picture1.SetFocus();
  inScoreView = false;
  Watch_Enter();
  if (watched >= 0 && HasReplay(watched)) Highlight(watched);
  watched = -1;
  WorldView_Return();
}

void Watch_SayCut() {
  const char* const text = QT_TRANSLATE_NOOP(
      "Messages",
      "記録はここで打ち切られています（入力が多すぎたため）。"
      "ゲームはこの先も続きましたが、再生できるのはここまでです。");
  Platform().messages->Show(QCoreApplication::translate("Messages", text).toStdString(),
                            MessageIcon::kInformation);
}

void Watch_OfferLast() { banner.Show("Z Key : Replay", 184); }

void Watch_ShowPlaying(const std::string& title) {
  WorldView_HideNote();
  Form1->Picture8.SetVisible(false);
  Form1->Text1.SetVisible(false);
  Form1->Label2[0].SetVisible(false);
  Form1->Label2[1].SetVisible(false);
  banner.Show(title.empty() ? "REPLAY" : "REPLAY  " + title, 64);
}

void Watch_ShowDemo() { banner.Show("DEMO", 64); }

void Watch_HideBanner() { banner.Hide(); }

int Watch_Highlighted() { return highlighted; }

void Watch_Reset() {
  highlighted = -1;
  watched = -1;
  inScoreView = false;
  banner = Banner{};
}

}  // namespace tarnix
