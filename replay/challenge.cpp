#include "replay/challenge.h"

#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <utility>
#include <vector>

#include "core/doors.h"
#include "core/hooks.h"
#include "core/keys.h"
#include "core/platform.h"
#include "replay/quiet.h"
#include "replay/replay.h"
#include "replay/snapshot.h"
#include "replay/unseen.h"
#include "window/form1.h"

namespace tarnix {

namespace {

struct RowFeed {
  std::string rows;  // to rise in place of the drawn ones
  std::string seen;  // what rose
  std::size_t risen = 0;
} feed;

void RowRising(std::string& cells) {
  const std::size_t at = feed.risen * kRowCells;
  if (at + kRowCells <= feed.rows.size()) cells = feed.rows.substr(at, kRowCells);
  feed.seen += cells;
  ++feed.risen;
}

struct Race {
  bool asked = false;   // between the start's Enter and the recorder taking it
  bool active = false;
  std::string label;
  std::string who;      // shown on the canvas
  std::string rows;
  std::vector<Long> scores;  // the entry's score after each of its passes
  // Where the entry's figure stood after each pass, on the strip above the well; x below
  // kNowhere when it was not shown.
  std::vector<std::pair<std::int16_t, std::int16_t>> figure;
  Long lead = 0;
} race;

constexpr std::int16_t kNowhere = -1000;

// The entry's figure, faint, where it stood at the same pass: the racer's own figure as it is
// drawn now, at two fifths of its strength, under the racer's.
class Ghost final : public QWidget {
 public:
  explicit Ghost(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setObjectName(QStringLiteral("raceGhost"));
  }
  void Place(int left, int top) {
    const int n = Form1->Scale();
    setGeometry(ScaledRect(QRect(left, top, 24, 24), n));
    stackUnder(&Form1->Picture2);
    show();
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setOpacity(0.4);
    // Black is the sprite's background.
    QImage sprite = Form1->Picture2.Image().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < sprite.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(sprite.scanLine(y));
      for (int x = 0; x < sprite.width(); ++x) {
        if ((line[x] & 0xFFFFFF) == 0) line[x] = 0;
      }
    }
    p.drawImage(rect(), sprite);
  }
};

QPointer<Ghost> ghost;

QPointer<Label> front, back;

constexpr QRgb kAhead = 0x40FF40;
constexpr QRgb kBehind = 0xFF6060;
constexpr QRgb kShadow = 0x000000;

// A palette's colour, not a style sheet: the lead changes with the score, many times a game.
void Paint(Label& label, QRgb color) {
  QPalette colours = label.palette();
  colours.setColor(QPalette::WindowText, QColor::fromRgb(color | 0xFF000000u));
  label.setPalette(colours);
}

void ShowLead() {
  if (Form1 == nullptr) return;
  if (front.isNull()) {
    back = new Label;
    front = new Label;
    back->Setup(&Form1->Picture1, 5, 63, 256, 14, 12, kShadow, Qt::AlignRight, {}, false);
    front->Setup(&Form1->Picture1, 4, 62, 256, 14, 12, kAhead, Qt::AlignRight, {}, false);
    back->ApplyScale(Form1->Scale());
    front->ApplyScale(Form1->Scale());
  }
  const std::string sign = race.lead > 0 ? "+" : (race.lead < 0 ? "-" : "±");
  const std::string text =
      "VS " + race.who + "  " + sign + std::to_string(race.lead < 0 ? -race.lead : race.lead);
  Paint(*front, race.lead < 0 ? kBehind : kAhead);
  for (Label* l : {back.data(), front.data()}) {
    l->SetCaption(text);
    l->SetVisible(true);
    l->raise();
  }
}

void HideLead() {
  for (Label* l : {back.data(), front.data()}) {
    if (l != nullptr) l->SetVisible(false);
  }
  if (!ghost.isNull()) ghost->hide();
}

void ShowGhost(std::uint32_t pass) {
  if (Form1 == nullptr || race.figure.empty()) return;
  const auto [left, top] = race.figure[std::min<std::size_t>(pass, race.figure.size() - 1)];
  if (ghost.isNull()) ghost = new Ghost(&Form1->Picture6);
  if (left <= kNowhere || !Form1->Picture2.Visible()) {
    ghost->hide();
    return;
  }
  ghost->Place(left, top);
}

// Plays the entry unseen, as fast as its passes compute, for the rows that rose in it and
// its score at every pass; then the title is back as it was.
bool Measure(const ReplayRecord& entry) {
  const GameSnapshot title = Snapshot_Take();
  Silence silence;
  Unseen unseen(&silence);
  race.scores.assign(1, 0);
  const auto where = [] {
    const PictureBox& f = Form1->Picture2;
    return std::make_pair(static_cast<std::int16_t>(f.Visible() ? f.Left() : kNowhere),
                          static_cast<std::int16_t>(f.Top()));
  };
  race.figure.assign(1, {kNowhere, 0});
  Replay_Run(entry, [&where] {
    race.scores.push_back(Module1.Score);
    race.figure.push_back(where());
  });
  race.rows = feed.seen;
  Snapshot_Restore(title);
  return !race.rows.empty();
}

}  // namespace

void Rows_Begin(const std::string& rows) {
  feed = RowFeed{rows, {}, 0};
  Hook().RowRising = RowRising;
}

std::size_t Rows_Risen() { return feed.risen; }

void Rows_Rewind(std::size_t risen) {
  feed.risen = risen;
  feed.seen.resize(std::min(feed.seen.size(), risen * kRowCells));
}

const std::string& Rows_Seen() { return feed.seen; }

bool Challenge_Start(const ReplayRecord& entry, const std::string& label) {
  if (Form1 == nullptr || Module1.GamePhase != kTitle || Replay_IsPlaying() ||
      Replay_IsRecording() || label.empty()) {
    return false;
  }
  race = Race{};
  if (!Measure(entry)) {
    race = Race{};
    return false;
  }
  race.label = label;
  race.who = entry.name.empty() ? label : entry.name;
  race.asked = true;
  Platform().random->Randomize(entry.seed);
  Module1.Facing = entry.facing;
  Module1.AnimFrame = entry.anim;
  Module1.BlocksBroken = entry.broken;
  Module1.MenuCursor = 0;
  Picture1_KeyDown(kEnter, 0);
  race.asked = false;
  if (!race.active) {
    race = Race{};
    return false;
  }
  ShowLead();
  return true;
}

bool Challenge_Active() { return race.active; }

Long Challenge_Lead() { return race.lead; }

void Challenge_GameBegins(ReplayRecord& record) {
  if (!race.asked) {
    Rows_Begin({});
    return;
  }
  race.active = true;
  record.challenge = race.label;
  Rows_Begin(race.rows);
}

void Challenge_AfterPass(std::uint32_t pass) {
  if (!race.active) return;
  ShowGhost(pass);
  const Long then = race.scores[std::min<std::size_t>(pass, race.scores.size() - 1)];
  const Long lead = Module1.Score - then;
  if (lead == race.lead && !front.isNull() && front->Visible()) return;
  race.lead = lead;
  ShowLead();
}

void Challenge_GameEnds(ReplayRecord& record) {
  if (record.challenge.empty()) return;
  record.rows = feed.rows.substr(0, std::min(feed.risen * kRowCells, feed.rows.size()));
  if (record.rows.empty()) record.rows = feed.rows.substr(0, kRowCells);
  race.active = false;
  HideLead();
}

void Challenge_Reset() {
  HideLead();
  race.active = false;
  race.asked = false;
  feed = RowFeed{};
}

}  // namespace tarnix
