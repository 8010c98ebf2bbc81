#include "replay/theatre.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <iterator>
#include <set>
#include <utility>
#include <vector>

#include "core/doors.h"
#include "core/keys.h"
#include "core/platform.h"
#include "input/bindings.h"
#include "input/pad.h"
#include "replay/quiet.h"
#include "replay/unseen.h"
#include "replay/snapshot.h"
#include "replay/stats.h"
#include "window/form1.h"

namespace tarnix {

namespace {

constexpr int kBarHideMs = 2000;
constexpr int kPadStatsButton = 2;  // SDL's west face button
constexpr int kPadBackButton = 4;   // SDL's Back
constexpr int kPadVideoButton = 9;  // SDL's left shoulder
constexpr int kBarTop = 284;  // game pixels: the bar covers the canvas's last 40 rows
constexpr int kSeekSeconds = 10;
constexpr int kLoudestSpeed = 3;  // x2: faster than that the sound would only stutter
// Passes played ahead, unseen, in each turn of the loop until the whole game has its
// snapshots: a few milliseconds a turn, and a ten-minute game covered within seconds.
constexpr int kAheadPerTurn = 200;

// The watched game's sound, silent above x2 and while a seek or a step runs.
class TheatreSound final : public SoundOutput {
 public:
  SoundOutput* inner = nullptr;
  bool muted = false;
  int quiet = 0;
  void Play(const std::string& path) override {
    if (inner != nullptr && !muted && quiet == 0) inner->Play(path);
  }
};

struct Kept {
  std::uint32_t pass = 0;
  std::size_t next = 0;
  GameSnapshot game;
  GameStats stats;
};

class Bar;
class Figures;

struct Theatre {
  bool active = false;
  ReplayRecord record;
  std::vector<Kept> kept;
  std::uint32_t frontier = 0;  // the furthest pass played so far
  double sinceKept = 0;        // seconds of the game's time played past the last snapshot
  std::set<std::uint32_t> marks[3];
  TheatreMark markKind = TheatreMark::kChain;
  int speed = kTheatreNormalSpeed;
  int credit = 0;  // quarters of a pass owed
  bool paused = false;
  bool typing = false;  // a pass's number is being typed, after G
  std::string typed;
  TheatreSound sound;
  SoundOutput* savedSound = nullptr;
  QPointer<Bar> bar;
  QPointer<Figures> figures;
  QPointer<QTimer> hide;
};

Theatre t;

QString Tr(const char* text) { return QCoreApplication::translate("Theatre", text); }

QString Clock(double seconds) {
  const int s = static_cast<int>(seconds);
  return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString SpeedText(int index) {
  static const char* const kNames[] = {"\u00D7\u00BC", "\u00D7\u00BD", "\u00D71",
                                       "\u00D72",      "\u00D74",      "\u00D78"};
  return QString::fromUtf8(kNames[index]);
}

QString MarkName(TheatreMark kind) {
  switch (kind) {
    case TheatreMark::kChain: return Tr(QT_TRANSLATE_NOOP("Theatre", "連鎖"));
    case TheatreMark::kLevel: return Tr(QT_TRANSLATE_NOOP("Theatre", "レベル"));
    case TheatreMark::kGift: return Tr(QT_TRANSLATE_NOOP("Theatre", "ギフト"));
  }
  return {};
}

// The thin bar over the canvas's foot: where the replay stands, and the keys.
class Bar final : public QWidget {
 public:
  explicit Bar(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
  }
  void Place() {
    const int n = Form1->Scale();
    setGeometry(ScaledRect(QRect(0, kBarTop, kGameWidth, kGameHeight - kBarTop), n));
    raise();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const int n = Form1->Scale();
    p.scale(n, n);
    const int w = kGameWidth;
    p.fillRect(QRect(0, 0, w, 40), QColor(0, 0, 0, 176));
    const std::uint32_t last = std::max<std::uint32_t>(1, Theatre_LastPass());
    const int done = static_cast<int>(static_cast<double>(Theatre_Pass()) * (w - 8) / last);
    p.fillRect(QRect(4, 3, w - 8, 2), QColor(0x80, 0x80, 0x00));
    p.fillRect(QRect(4, 3, done, 2), QColor(0xFF, 0xFF, 0x00));
    QFont font = Form1->Label1[0].font();
    font.setPixelSize(10);
    p.setFont(font);
    p.setPen(QColor(0xFF, 0xFF, 0xFF));
    const QString state = t.paused ? QStringLiteral("\u275A\u275A") : QStringLiteral("\u25B6");
    const QString line =
        QStringLiteral("%1 %2  %3 / %4  %5 %6/%7  [%8]")
            .arg(state, SpeedText(t.speed), Clock(Replay_SecondsAt(t.record, Theatre_Pass())),
                 Clock(Replay_SecondsAt(t.record, t.record.passes)),
                 Tr(QT_TRANSLATE_NOOP("Theatre", "パス")))
            .arg(Theatre_Pass())
            .arg(t.record.passes)
            .arg(MarkName(t.markKind));
    p.drawText(QRect(4, 6, w - 8, 12), Qt::AlignLeft | Qt::AlignVCenter, line);
    const QColor grey(0xC0, 0xC0, 0xC0), shadow(0, 0, 0);
    font.setPixelSize(9);
    p.setFont(font);
    if (t.typing) {
      p.setPen(QColor(0xFF, 0xFF, 0x00));
      p.drawText(QRect(4, 18, w - 8, 10), Qt::AlignLeft | Qt::AlignVCenter,
                 Tr(QT_TRANSLATE_NOOP("Theatre", "移動先のパス: %1_   Enter 移動  Esc やめる"))
                     .arg(QString::fromStdString(t.typed)));
      return;
    }
    if (Pad_InHand()) {
      // The pad's own buttons, as they are printed on it and bound.
      const Bindings& b = Bindings_Current();
      Pad_DrawText(p, 4, 18, 10,
                   Tr(QT_TRANSLATE_NOOP("Theatre", "%1 一時停止  ✚←→ コマ送り/10秒  ✚↑↓ 速さ  %2 動画")),
                   {b.buttons[kActPause][0], kPadVideoButton}, grey, shadow);
      Pad_DrawText(p, 4, 28, 10,
                   Tr(QT_TRANSLATE_NOOP("Theatre", "%1/%2 次/前の印  %3 印の種類  %4 成績  %5 終わる")),
                   {b.buttons[kActRedBomb][0], b.buttons[kActBlueBomb][0],
                    b.buttons[kActNextRow][0], kPadStatsButton, kPadBackButton},
                   grey, shadow);
      return;
    }
    p.setPen(grey);
    p.drawText(QRect(4, 18, w - 8, 10), Qt::AlignLeft | Qt::AlignVCenter,
               Tr(QT_TRANSLATE_NOOP("Theatre", "Enter 一時停止  ←→ コマ送り/10秒  ↑↓ 速さ  0-9 移動  E 動画")));
    p.drawText(QRect(4, 28, w - 8, 10), Qt::AlignLeft | Qt::AlignVCenter,
               Tr(QT_TRANSLATE_NOOP("Theatre", "Z/X 次/前の印  Space 印の種類  S 成績  G パス  Esc 終わる")));
  }
};

// The game's figures over the canvas: on a key while watching, and at the end.
class Figures final : public QLabel {
 public:
  explicit Figures(QWidget* parent) : QLabel(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setStyleSheet(QStringLiteral("QLabel { color: #FFFFFF; background: rgba(0,0,0,208); }"));
  }
  void Show(const GameStats& stats) {
    const int n = Form1->Scale();
    QFont f = Form1->Label1[0].font();
    f.setPixelSize(10 * n);
    setFont(f);
    setContentsMargins(6 * n, 6 * n, 6 * n, 6 * n);
    QString html = QStringLiteral("<table cellspacing='%1'>").arg(n);
    for (const auto& [label, value] : Stats_Rows(stats)) {
      html += QStringLiteral("<tr><td style='color:#FFFF00'>%1</td><td>%2</td></tr>")
                  .arg(QString::fromStdString(label).toHtmlEscaped(),
                       QString::fromStdString(value).toHtmlEscaped());
    }
    setText(html + QStringLiteral("</table>"));
    setWordWrap(true);
    setGeometry(ScaledRect(QRect(8, 64, kGameWidth - 16, 200), n));
    show();
    raise();
  }
};

void Bar_Show() {
  if (Form1 == nullptr) return;
  if (t.bar.isNull()) {
    t.bar = new Bar(&Form1->Picture1);
    t.bar->setObjectName(QStringLiteral("theatreBar"));
  }
  t.bar->Place();
  t.bar->show();
  t.bar->update();
  if (t.hide.isNull()) {
    t.hide = new QTimer(t.bar);
    t.hide->setSingleShot(true);
    t.hide->setTimerType(Qt::PreciseTimer);
    QObject::connect(t.hide, &QTimer::timeout, [] {
      if (!t.bar.isNull() && !t.typing) t.bar->hide();
    });
  }
  t.hide->start(kBarHideMs);
}

void Bar_Update() {
  if (!t.bar.isNull() && !t.bar->isHidden()) t.bar->update();
}

void Figures_Hide() {
  if (!t.figures.isNull()) t.figures->hide();
}

void Figures_Show(const GameStats& stats) {
  if (Form1 == nullptr) return;
  if (t.figures.isNull()) {
    t.figures = new Figures(Form1->Picture1.parentWidget());
    t.figures->setObjectName(QStringLiteral("theatreFigures"));
  }
  t.figures->Show(stats);
}

void Sound_Follow() { t.sound.muted = t.speed > kLoudestSpeed; }

// Passes run as fast as they can be computed, unheard and undrawn, until it goes.
class Quietly {
 public:
  Quietly() { ++t.sound.quiet; }
  ~Quietly() { --t.sound.quiet; }

 private:
  Unseen unseen_;
};

void Keep() {
  const ReplayCursor c = Replay_Cursor();
  Kept k;
  k.pass = c.pass;
  k.next = c.next;
  k.game = Snapshot_Take(t.kept.empty() ? nullptr : &t.kept.back().game);
  k.stats = Stats_Current();
  t.kept.push_back(std::move(k));
  t.sinceKept = 0;
}

void Restore(const Kept& k) {
  Snapshot_Restore(k.game);
  Replay_SetCursor({k.pass, k.next});
  Stats_Restore(k.stats, k.pass);
}

void Learn_Marks() {
  const GameStats& s = Stats_Current();
  const std::vector<std::uint32_t>* lists[] = {&s.chainMarks, &s.levelMarks, &s.giftMarks};
  for (int i = 0; i < 3; ++i) {
    if (!lists[i]->empty()) t.marks[i].insert(lists[i]->back());
  }
}

}  // namespace

void Theatre_Begin(const ReplayRecord& record) {
  Theatre_Reset();
  t.active = true;
  t.record = record;
  t.savedSound = Platform().sound;
  t.sound.inner = t.savedSound;
  Platform().sound = &t.sound;
  Sound_Follow();
  Keep();
  Bar_Show();
}

void Theatre_End(bool reachedEnd) {
  if (!t.active) return;
  t.active = false;
  if (Platform().sound == &t.sound) Platform().sound = t.savedSound;
  if (!t.bar.isNull()) t.bar->hide();
  // The figures stay for the watcher to read; a key dismisses them.
  if (reachedEnd) Figures_Show(Stats_Current());
  else Figures_Hide();
  t.kept.clear();
}

void Theatre_AfterPass() {
  if (!t.active) return;
  const std::uint32_t pass = Replay_Cursor().pass;
  Learn_Marks();
  if (pass > t.frontier) {
    t.frontier = pass;
    t.sinceKept += Pass_Ms(Module1.WaitMs) / 1000.0;
    if (t.sinceKept >= kSnapshotSeconds && (t.kept.empty() || t.kept.back().pass < pass)) Keep();
  }
  if (t.sound.quiet > 0) return;
  if (!t.figures.isNull() && !t.figures->isHidden()) Figures_Show(Stats_Current());
  Bar_Update();
}

void Theatre_WorkAhead(int passes) {
  if (!t.active || t.frontier >= Theatre_LastPass() || t.kept.empty()) return;
  const ReplayCursor c = Replay_Cursor();
  Kept now;
  now.pass = c.pass;
  now.next = c.next;
  now.game = Snapshot_Take(&t.kept.back().game);
  now.stats = Stats_Current();
  {
    Quietly quietly;
    if (c.pass != t.frontier) Restore(t.kept.back());
    while (Replay_IsPlaying() && Replay_Cursor().pass < Theatre_LastPass() && passes-- > 0) {
      Main_Prog();
    }
    // The next turn goes on from here, not from the last snapshot of the regular ones.
    if (t.kept.back().pass < Replay_Cursor().pass) Keep();
    Restore(now);
  }
}

std::uint32_t Theatre_Pass() { return Replay_Cursor().pass; }

std::uint32_t Theatre_LastPass() { return t.record.passes > 0 ? t.record.passes - 1 : 0; }

std::size_t Theatre_Snapshots() { return t.kept.size(); }

bool Theatre_Seek(std::uint32_t target) {
  if (!t.active || !Replay_IsPlaying()) return false;
  target = std::min(target, Theatre_LastPass());
  const std::uint32_t now = Replay_Cursor().pass;
  // The last snapshot at or before the target; the game as it stands when that is nearer.
  auto after = std::upper_bound(t.kept.begin(), t.kept.end(), target,
                                [](std::uint32_t p, const Kept& k) { return p < k.pass; });
  Quietly quietly;
  if (after != t.kept.begin()) {
    const Kept& k = *std::prev(after);
    if (target < now || k.pass > now) Restore(k);
  }
  while (Replay_IsPlaying() && Replay_Cursor().pass < target) Main_Prog();
  Bar_Update();
  return Replay_IsPlaying();
}

void Theatre_Step(int direction) {
  if (!t.active) return;
  Theatre_SetPaused(true);
  const std::uint32_t now = Replay_Cursor().pass;
  if (direction < 0) {
    Theatre_Seek(now > 0 ? now - 1 : 0);
  } else if (now < Theatre_LastPass()) {
    ++t.sound.quiet;
    Main_Prog();
    --t.sound.quiet;
  }
}

bool Theatre_Jump(TheatreMark kind, int direction) {
  if (!t.active) return false;
  const std::set<std::uint32_t>& marks = t.marks[static_cast<int>(kind)];
  const std::uint32_t now = Replay_Cursor().pass;
  if (direction < 0) {
    auto it = marks.lower_bound(now);
    if (it == marks.begin()) return false;
    return Theatre_Seek(*std::prev(it));
  }
  auto it = marks.upper_bound(now);
  if (it != marks.end()) return Theatre_Seek(*it);
  // Not reached yet: play on, unseen, until one happens.
  const std::size_t known = marks.size();
  {
    Quietly quietly;
    while (Replay_IsPlaying() && marks.size() == known && Replay_Cursor().pass < Theatre_LastPass()) {
      Main_Prog();
    }
  }
  if (marks.size() == known || !Replay_IsPlaying()) return false;
  return Theatre_Seek(*marks.upper_bound(now));
}

namespace {
TheatreExporter exporter = nullptr;
}  // namespace

void Theatre_SetExporter(TheatreExporter e) { exporter = std::move(e); }

bool Theatre_Export() {
  return t.active && Replay_IsPlaying() && exporter != nullptr && exporter(t.record);
}

void Theatre_SetPaused(bool paused) {
  t.paused = paused;
  t.credit = 0;
  Bar_Update();
}

void Theatre_SetSpeed(int index) {
  t.speed = std::clamp(index, 0, static_cast<int>(std::size(kTheatreSpeeds)) - 1);
  t.credit = 0;
  Sound_Follow();
  Bar_Update();
}

int Theatre_Speed() { return t.speed; }
bool Theatre_Paused() { return t.active && t.paused; }
bool Theatre_BarVisible() { return !t.bar.isNull() && !t.bar->isHidden(); }
bool Theatre_StatsVisible() { return !t.figures.isNull() && !t.figures->isHidden(); }
bool Theatre_Muted() { return t.sound.muted || t.sound.quiet > 0; }

int Theatre_PassesThisTurn() {
  if (!t.active) return 1;
  if (t.paused) return 0;
  Theatre_WorkAhead(kAheadPerTurn);
  t.credit += kTheatreSpeeds[t.speed];
  const int passes = t.credit / 4;
  t.credit %= 4;
  return passes;
}

bool Theatre_Key(ReplayDoor door, Long code) {
  if (door != ReplayDoor::kKeyDown) return door == ReplayDoor::kKeyUp;
  Bar_Show();
  if (t.typing) {
    // Digits, then Enter to go there; Escape leaves the number, not the replay.
    if (code >= '0' && code <= '9' && t.typed.size() < 9) {
      if (t.typed != "0") t.typed += static_cast<char>(code);
      else t.typed = std::string(1, static_cast<char>(code));
    } else if (code == kTheatrePause || code == kTheatreStop) {
      if (code == kTheatrePause && !t.typed.empty()) {
        Theatre_Seek(static_cast<std::uint32_t>(std::stoul(t.typed)));
      }
      t.typing = false;
      t.typed.clear();
    }
    Bar_Update();
    return true;
  }
  const std::uint32_t now = Replay_Cursor().pass;
  const std::uint32_t seekPasses =
      static_cast<std::uint32_t>(kSeekSeconds * 1000.0 / Pass_Ms(Module1.WaitMs));
  switch (code) {
    case kTheatrePause: Theatre_SetPaused(!t.paused); break;
    case kLeft:
      if (t.paused) Theatre_Step(-1);
      else Theatre_Seek(now > seekPasses ? now - seekPasses : 0);
      break;
    case kRight:
      if (t.paused) Theatre_Step(1);
      else Theatre_Seek(now + seekPasses);
      break;
    case kUp: Theatre_SetSpeed(t.speed + 1); break;
    case kDown: Theatre_SetSpeed(t.speed - 1); break;
    case kTheatreNextMark: Theatre_Jump(t.markKind, 1); break;
    case kTheatrePrevMark: Theatre_Jump(t.markKind, -1); break;
    case kTheatreMarkKind:
      t.markKind = static_cast<TheatreMark>((static_cast<int>(t.markKind) + 1) % 3);
      break;
    case kTheatreExport: Theatre_Export(); break;
    case kTheatreStats:
      if (Theatre_StatsVisible()) Figures_Hide();
      else Figures_Show(Stats_Current());
      break;
    case kTheatreGoTo:
      t.typing = true;
      t.typed.clear();
      break;
    case kTheatreStop: return false;
    default:
      if (code >= '0' && code <= '9') {
        Theatre_Seek(static_cast<std::uint32_t>(static_cast<std::uint64_t>(Theatre_LastPass()) *
                                                (code - '0') / 10));
      }
      break;
  }
  Bar_Update();
  return true;
}

void Theatre_KeyAfterwards(ReplayDoor door) {
  if (door == ReplayDoor::kKeyDown) Figures_Hide();
}

void Theatre_Reset() {
  if (t.active && Platform().sound == &t.sound) Platform().sound = t.savedSound;
  delete t.bar.data();
  delete t.figures.data();
  t = Theatre{};
}

}  // namespace tarnix
