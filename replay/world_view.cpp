#include "replay/world_view.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPainter>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <array>

#include "core/doors.h"
#include "files/file_io.h"
#include "files/files.h"
#include "input/bindings.h"
#include "input/pad.h"
#include "input/settings_screen.h"
#include "replay/challenge.h"
#include "replay/format.h"
#include "replay/library.h"
#include "replay/replay.h"
#include "replay/watch.h"
#include "replay/world.h"
#include "window/form1.h"

namespace tarnix {

namespace {

constexpr int kNoteMs = 6000;
constexpr int kNoteHeight = 52;  // four lines of the smallest lettering
constexpr int kNoteTop = 262;
constexpr int kNoteTopGameOver = 208;  // under the offer of the last game's replay
constexpr int kRowTop = 40;
constexpr int kRowHeight = 22;

QString Tr(const char* text) { return QCoreApplication::translate("World", text); }

enum class Wanted { kNothing, kWatch, kRace };

struct ViewState {
  QPointer<WorldTable> table;
  std::vector<QMetaObject::Connection> links;
  ScoreBoard board = ScoreBoard::kLocal;
  std::array<std::vector<WorldEntry>, 2> entries;  // all time, today
  std::array<bool, 2> loading{};
  std::array<QString, 2> failure;
  int highlighted = 0;
  int top = 0;
  qint64 replayId = 0;
  QString replayName;  // whose game it is, for the line over the canvas
  Wanted replayFor = Wanted::kNothing;
  bool watching = false;  // a world entry's replay plays
  Long lastPhase = -1;    // the phase the last door left
  bool dailyWanted = false;
  int sendsAsked = 0;     // the player's own games awaiting their answer
  bool keeping = false;   // inside Submit: a failure is the outbox's, not the network's
  // The note over the canvas.
  QPointer<PictureBox> note;
  const Form1Window* noteForm = nullptr;
  QString noteText;
  Long notePhase = -1;
  QPointer<QTimer> noteTimer;  // the note's own, gone with it
};

ViewState& View() {
  static ViewState view;
  return view;
}

bool Shown() { return Form1 != nullptr && !Form1->Unloaded(); }
bool InPlay() { return Module1.GamePhase == kPlaying || Module1.GamePhase == kPaused; }
bool HasAddress() { return View().table && !View().table->Address().isEmpty(); }
int Index(ScoreBoard board) { return board == ScoreBoard::kToday ? 1 : 0; }
WorldBoard Remote(ScoreBoard board) {
  return board == ScoreBoard::kToday ? WorldBoard::kToday : WorldBoard::kAllTime;
}
bool InWorldView() {
  return View().board != ScoreBoard::kLocal && Module1.GamePhase == kScoreView && !View().watching;
}

QString NoAddress() {
  return Tr(QT_TRANSLATE_NOOP(
      "World", "ワールドランキングのアドレスがありません。タイトルで Esc を押し、設定で入れてください。"));
}

// --- The note -------------------------------------------------------------------------

void Note_Hide() {
  ViewState& v = View();
  v.noteText.clear();
  if (v.noteTimer) v.noteTimer->stop();
  if (v.noteForm == Form1 && v.note) v.note->SetVisible(false);
}

// A few words over the canvas, never during play; gone after a while (`ms`, 0: until the
// screen changes).
void Note_Show(const QString& text, int ms = kNoteMs) {
  ViewState& v = View();
  if (!Shown() || InPlay() || Replay_IsPlaying()) return;
  Form1Window& f = *Form1;
  if (v.noteForm != Form1 || v.note.isNull()) {
    v.noteForm = Form1;
    v.note = new PictureBox;
    v.note->Setup(f.Picture1.parentWidget(), 0, kNoteTop, kGameWidth, kNoteHeight, 0, false);
    v.noteTimer = new QTimer(v.note);
    v.noteTimer->setSingleShot(true);
    QObject::connect(v.noteTimer.data(), &QTimer::timeout, [] { Note_Hide(); });
  }
  QImage strip(kGameWidth, kNoteHeight, QImage::Format_RGB32);
  strip.fill(QColor(0x10, 0x10, 0x48));
  QPainter p(&strip);
  p.setPen(QColor(0x80, 0x80, 0x00));
  p.drawRect(0, 0, kGameWidth - 1, kNoteHeight - 1);
  p.setFont(Lettering_Font(11));
  Lettering_Draw(p, QRect(6, 2, kGameWidth - 12, kNoteHeight - 4),
                 static_cast<int>(Qt::AlignCenter) | Qt::TextWordWrap, text);
  p.end();
  PictureBox& box = *v.note;
  box.ApplyScale(f.Scale());
  box.Move(0, Module1.GamePhase == kGameOverView ? kNoteTopGameOver : kNoteTop);
  box.PaintPicture(strip, 0, 0);
  box.SetVisible(true);
  box.raise();
  box.Refresh();
  v.noteText = text;
  v.notePhase = Module1.GamePhase;
  if (ms > 0) {
    v.noteTimer->start(ms);
  } else {
    v.noteTimer->stop();
  }
}

// --- The high-score view --------------------------------------------------------------

void Labels_Show(bool on) {
  for (auto* labels : {&Form1->Label3, &Form1->Label4}) {
    for (Label& label : *labels) label.SetVisible(on);
  }
}

QString Names(int action) { return Action_ControlNames(Bindings_Current(), action); }

// Under the local five: where the world's boards are, and the two keys of an entry.
void Local_DrawHint() {
  PictureBox& panel = Form1->Picture8;
  QImage hint(kGameWidth - 16, 16, QImage::Format_RGB32);
  hint.fill(Qt::black);
  QPainter p(&hint);
  p.setFont(Lettering_Font(11));
  Lettering_Draw(p, hint.rect(), Qt::AlignCenter,
                 Tr(QT_TRANSLATE_NOOP("World", "←→:ワールドランキング　%1:送る　%2:挑戦"))
                     .arg(Names(kActBlueBomb), Names(kActNextRow)),
                 true);
  p.end();
  panel.PaintPicture(hint, 8, 300);
  panel.Refresh();
}

void World_Draw() {
  ViewState& v = View();
  Form1Window& f = *Form1;
  const int b = Index(v.board);
  QImage screen = f.Picture8.Picture().isNull()
                      ? QImage(kGameWidth, kGameHeight, QImage::Format_RGB32)
                      : f.Picture8.Picture().convertToFormat(QImage::Format_RGB32);
  if (f.Picture8.Picture().isNull()) screen.fill(Qt::black);
  QPainter p(&screen);
  p.fillRect(QRect(5, 5, kGameWidth - 10, kGameHeight - 10), Qt::black);
  p.setFont(Lettering_Font(16));
  const QString title = v.board == ScoreBoard::kAllTime
                            ? Tr(QT_TRANSLATE_NOOP("World", "世界のベスト100"))
                            : Tr(QT_TRANSLATE_NOOP("World", "今日のランキング"));
  Lettering_Draw(p, QRect(0, 8, kGameWidth, 24), Qt::AlignCenter, title);
  Lettering_Draw(p, QRect(10, 8, 20, 24), Qt::AlignCenter, QStringLiteral("◀"), true);
  Lettering_Draw(p, QRect(kGameWidth - 30, 8, 20, 24), Qt::AlignCenter, QStringLiteral("▶"), true);

  const QString status = WorldView_Status();
  const std::vector<WorldEntry>& entries = v.entries[static_cast<std::size_t>(b)];
  if (!status.isEmpty()) {
    p.setFont(Lettering_Font(12));
    Lettering_Draw(p, QRect(16, 100, kGameWidth - 32, 120),
                   static_cast<int>(Qt::AlignCenter) | Qt::TextWordWrap, status);
  } else {
    p.setFont(Lettering_Font(12));
    const int last = std::min<int>(v.top + kWorldRowsShown, static_cast<int>(entries.size()));
    for (int i = v.top; i < last; ++i) {
      const WorldEntry& e = entries[static_cast<std::size_t>(i)];
      const int y = kRowTop + (i - v.top) * kRowHeight;
      if (i == v.highlighted) {
        p.fillRect(QRect(8, y, kGameWidth - 16, kRowHeight - 1), QColor(0xC0, 0, 0));
      }
      const int flags = Qt::AlignVCenter;
      Lettering_Draw(p, QRect(8, y, 30, kRowHeight), flags | Qt::AlignRight,
                     QString::number(e.rank > 0 ? e.rank : i + 1));
      Lettering_Draw(p, QRect(44, y, 118, kRowHeight), flags | Qt::AlignLeft,
                     e.name.isEmpty() ? QStringLiteral("-")
                                      : p.fontMetrics().elidedText(e.name, Qt::ElideRight, 118));
      Lettering_Draw(p, QRect(160, y, 36, kRowHeight), flags | Qt::AlignRight,
                     QStringLiteral("Lv%1").arg(e.level));
      Lettering_Draw(p, QRect(196, y, 58, kRowHeight), flags | Qt::AlignRight,
                     QString::number(e.score));
    }
    p.setFont(Lettering_Font(11));
    Lettering_Draw(p, QRect(0, kRowTop + kWorldRowsShown * kRowHeight + 2, kGameWidth, 16),
                   Qt::AlignCenter,
                   QStringLiteral("%1-%2 / %3").arg(v.top + 1).arg(last).arg(entries.size()), true);
  }
  p.setFont(Lettering_Font(11));
  Lettering_Draw(p, QRect(0, 284, kGameWidth, 16), Qt::AlignCenter,
                 Tr(QT_TRANSLATE_NOOP("World", "←→:表示の切り替え　↑↓:選ぶ")), true);
  Lettering_Draw(p, QRect(0, 300, kGameWidth, 16), Qt::AlignCenter,
                 Tr(QT_TRANSLATE_NOOP("World", "%1:再生　%2:挑戦　%3:戻る"))
                     .arg(Names(kActRedBomb), Names(kActNextRow), Names(kActPause)),
                 true);
  p.end();
  f.Picture8.PaintPicture(screen, 0, 0);
  f.Picture8.Refresh();
}

// The local five as the original showed them, with the hint under them.
void Local_Restore() {
  Form1->Picture8.Cls();
  Labels_Show(true);
  Local_DrawHint();
}

void Board_Fetch(ScoreBoard board) {
  ViewState& v = View();
  const int b = Index(board);
  if (!HasAddress() || v.loading[static_cast<std::size_t>(b)]) return;
  v.loading[static_cast<std::size_t>(b)] = true;
  v.failure[static_cast<std::size_t>(b)].clear();
  v.entries[static_cast<std::size_t>(b)].clear();
  v.table->FetchBoard(Remote(board));
}

// Silent, as Left and Right always were in the high-score view.
void Board_Switch(int step) {
  ViewState& v = View();
  const int next = (static_cast<int>(v.board) + step + 3) % 3;
  v.board = static_cast<ScoreBoard>(next);
  v.highlighted = 0;
  v.top = 0;
  Note_Hide();
  if (v.board == ScoreBoard::kLocal) {
    Local_Restore();
    Watch_Enter();
    return;
  }
  Labels_Show(false);
  Board_Fetch(v.board);
  World_Draw();
}

void Highlight_Move(int step) {
  ViewState& v = View();
  const int n = static_cast<int>(v.entries[static_cast<std::size_t>(Index(v.board))].size());
  if (n == 0 || !WorldView_Status().isEmpty()) return;
  Sound("cursor");
  v.highlighted = (v.highlighted + step + n) % n;
  if (v.highlighted < v.top) v.top = v.highlighted;
  if (v.highlighted >= v.top + kWorldRowsShown) v.top = v.highlighted - kWorldRowsShown + 1;
  World_Draw();
}

const WorldEntry* Highlighted() {
  ViewState& v = View();
  const std::vector<WorldEntry>& entries = v.entries[static_cast<std::size_t>(Index(v.board))];
  if (!WorldView_Status().isEmpty() || v.highlighted >= static_cast<int>(entries.size())) {
    return nullptr;
  }
  return &entries[static_cast<std::size_t>(v.highlighted)];
}

// --- Sending, watching, racing ----------------------------------------------------------

void Send(const std::string& file) {
  ViewState& v = View();
  if (!HasAddress()) {
    Note_Show(NoAddress());
    return;
  }
  Sound("select");
  ++v.sendsAsked;
  Note_Show(Tr(QT_TRANSLATE_NOOP("World", "ワールドランキングに送っています…")), 20000);
  v.keeping = true;
  if (!v.table->Submit(file)) --v.sendsAsked;
  v.keeping = false;
}

// The replay file of the highlighted local entry; empty, after saying so, when none is.
std::string Local_Chosen() {
  const int rank = Watch_Highlighted();
  const std::string path = rank >= 0 ? ReplayLibrary_PathFor(rank) : std::string();
  if (path.empty()) Note_Show(Tr(QT_TRANSLATE_NOOP("World", "↑↓ でゲームを選んでください。")));
  return path;
}

void Send_Local() {
  const std::string path = Local_Chosen();
  if (path.empty()) return;
  const FileRead file = File_Read(path, kReplayMaxBytes);
  if (file.kind != FileRead::kRegular) {
    Note_Show(QString::fromStdString(Replay_ErrorText(ReplayLibrary_Read(path))));
    return;
  }
  Send(file.bytes);
}

// Races start from the title: the view goes back to it as Enter takes it.
void Race(const ReplayRecord& record, const std::string& label) {
  if (Module1.GamePhase == kScoreView) Picture1_KeyDown(kEnter, 0);
  if (!Challenge_Start(record, label)) {
    Note_Show(Tr(QT_TRANSLATE_NOOP("World", "このゲームとのレースは始められませんでした。")));
  }
}

void Race_Local() {
  const std::string path = Local_Chosen();
  if (path.empty()) return;
  const ReplayReadResult r = ReplayLibrary_Read(path);
  if (!r.record) {
    Note_Show(QString::fromStdString(Replay_ErrorText(r)));
    return;
  }
  Sound("select");
  Race(*r.record, QFileInfo(QString::fromStdString(path)).fileName().toStdString());
}

void Replay_Want(Wanted what) {
  ViewState& v = View();
  const WorldEntry* e = Highlighted();
  if (e == nullptr || !HasAddress()) return;
  Sound("select");
  v.replayId = e->id;
  v.replayName = e->name;
  v.replayFor = what;
  Note_Show(Tr(QT_TRANSLATE_NOOP("World", "リプレイを読み込んでいます…")), 20000);
  v.table->FetchReplay(e->id);
}

void Replay_Arrived(qint64 id, const QByteArray& file) {
  ViewState& v = View();
  if (id != v.replayId || v.replayFor == Wanted::kNothing) return;
  const Wanted what = v.replayFor;
  v.replayFor = Wanted::kNothing;
  if (!Shown() || !InWorldView()) return;
  Note_Hide();
  const ReplayReadResult r = Replay_Parse(file.toStdString());
  if (!r.record) {
    Note_Show(Tr(QT_TRANSLATE_NOOP("World", "このリプレイは再生できません：%1"))
                  .arg(QString::fromStdString(Replay_ErrorText(r))));
    return;
  }
  if (what == Wanted::kRace) {
    Race(*r.record, "world #" + std::to_string(id));
    return;
  }
  v.watching = true;
  // It arrives from the network long after the key that asked for it came up.
  Replay_Watch(*r.record, v.replayName.toStdString(), /*byKey=*/false);
  if (!Replay_IsPlaying()) v.watching = false;
}

// --- The world table's answers ----------------------------------------------------------

void Answer_Accepted(const WorldEntry& entry, bool created) {
  ViewState& v = View();
  if (v.sendsAsked > 0) {
    --v.sendsAsked;
    Note_Show(created
                  ? Tr(QT_TRANSLATE_NOOP("World", "ワールドランキングの %1 位に入りました。")).arg(entry.rank)
                  : Tr(QT_TRANSLATE_NOOP("World", "このゲームはもうワールドランキングの %1 位にあります。"))
                        .arg(entry.rank));
  } else if (created) {
    Note_Show(Tr(QT_TRANSLATE_NOOP("World", "取っておいたゲームがワールドランキングの %1 位に入りました。"))
                  .arg(entry.rank));
  }
  for (ScoreBoard board : {ScoreBoard::kAllTime, ScoreBoard::kToday}) {
    v.entries[static_cast<std::size_t>(Index(board))].clear();
  }
  if (Shown() && InWorldView()) {
    Board_Fetch(v.board);
    World_Draw();
  }
}

void Answer_Refused(const QString& reason) {
  ViewState& v = View();
  if (v.sendsAsked > 0) --v.sendsAsked;
  Note_Show(Tr(QT_TRANSLATE_NOOP("World", "ワールドランキングに受け付けられませんでした。%1")).arg(reason));
}

void Answer_Board(WorldBoard board, const std::vector<WorldEntry>& entries) {
  ViewState& v = View();
  const std::size_t b = board == WorldBoard::kToday ? 1 : 0;
  v.loading[b] = false;
  v.failure[b].clear();
  v.entries[b] = entries;
  if (Shown() && InWorldView() && Index(v.board) == static_cast<int>(b)) {
    v.highlighted = std::min(v.highlighted, std::max(0, static_cast<int>(entries.size()) - 1));
    World_Draw();
  }
}

void Answer_Daily(const QString&, std::uint64_t seed, int rules) {
  ViewState& v = View();
  if (!v.dailyWanted) return;
  v.dailyWanted = false;
  Note_Hide();
  if (rules != kRulesVersion) {
    Note_Show(Tr(QT_TRANSLATE_NOOP("World", "今日のチャレンジはルール %1 のゲームです。このゲームのルールは %2 なので遊べません。"))
                  .arg(rules)
                  .arg(kRulesVersion));
    return;
  }
  if (!Shown() || Settings_IsOpen() || !World_StartChallenge(seed, rules)) {
    Note_Show(Tr(QT_TRANSLATE_NOOP("World", "今日のチャレンジはタイトルから始めてください。")));
  }
}

void Answer_Failed(WorldRequest request, const QString& message) {
  ViewState& v = View();
  switch (request) {
    case WorldRequest::kSubmit:
      if (v.sendsAsked == 0) return;  // a kept game tried again: it waits on, silently
      --v.sendsAsked;
      Note_Show(v.keeping
                    ? message
                    : Tr(QT_TRANSLATE_NOOP("World", "今は送れません。ゲームは取っておき、あとで送ります。（%1）"))
                          .arg(message));
      return;
    case WorldRequest::kBoard:
      for (std::size_t b = 0; b < 2; ++b) {
        if (v.loading[b]) {
          v.loading[b] = false;
          v.failure[b] = message;
        }
      }
      if (Shown() && InWorldView()) World_Draw();
      return;
    case WorldRequest::kDaily:
      if (!v.dailyWanted) return;
      v.dailyWanted = false;
      Note_Show(Tr(QT_TRANSLATE_NOOP("World", "今日のチャレンジを受け取れませんでした。%1")).arg(message));
      return;
    case WorldRequest::kReplay:
      if (v.replayFor == Wanted::kNothing) return;
      v.replayFor = Wanted::kNothing;
      Note_Show(Tr(QT_TRANSLATE_NOOP("World", "リプレイを受け取れませんでした。%1")).arg(message));
      return;
  }
}

}  // namespace

void WorldView_Attach(WorldTable* table) {
  ViewState& v = View();
  for (const QMetaObject::Connection& link : v.links) QObject::disconnect(link);
  v.links.clear();
  v.table = table;
  if (table == nullptr) return;
  v.links = {
      QObject::connect(table, &WorldTable::Accepted, table, Answer_Accepted),
      QObject::connect(table, &WorldTable::Refused, table, Answer_Refused),
      QObject::connect(table, &WorldTable::BoardArrived, table, Answer_Board),
      QObject::connect(table, &WorldTable::DailyArrived, table, Answer_Daily),
      QObject::connect(table, &WorldTable::ReplayArrived, table, Replay_Arrived),
      QObject::connect(table, &WorldTable::RequestFailed, table, Answer_Failed),
  };
}

bool WorldView_Key(Long code) {
  ViewState& v = View();
  if (!Shown()) return false;
  if (Module1.GamePhase == kGameOverView && code == kWorldSendKey) {
    const ReplayRecord& last = Replay_Recording();
    if (!last.stamp.empty() && last.ending == ReplayEnding::kGameOver) Send(Replay_Format(last));
    return true;
  }
  if (Module1.GamePhase != kScoreView || v.watching) return false;
  if (code == kLeft || code == kRight) {
    Board_Switch(code == kRight ? +1 : -1);
    return true;
  }
  if (v.board == ScoreBoard::kLocal) {
    if (code == kWorldSendKey) Send_Local();
    if (code == kWorldRaceKey) Race_Local();
    return code == kWorldSendKey || code == kWorldRaceKey;
  }
  switch (code) {
    case kUp: Highlight_Move(-1); return true;
    case kDown: Highlight_Move(+1); return true;
    case kWatchKey: Replay_Want(Wanted::kWatch); return true;
    case kWorldRaceKey: Replay_Want(Wanted::kRace); return true;
    case kWorldSendKey: return true;
    default: return false;  // Enter takes the view back to the title
  }
}

void WorldView_AfterDoor() {
  ViewState& v = View();
  if (!Shown()) return;
  if (!v.noteText.isEmpty() && Module1.GamePhase != v.notePhase) Note_Hide();
  if (v.watching) return;
  const bool inView = Module1.GamePhase == kScoreView;
  Long& lastPhase = v.lastPhase;
  if (inView && lastPhase != kScoreView) {
    v.board = ScoreBoard::kLocal;
    Local_DrawHint();
  } else if (!inView && lastPhase == kScoreView) {
    if (v.board != ScoreBoard::kLocal) Labels_Show(true);
    v.board = ScoreBoard::kLocal;
    Form1->Picture8.Cls();
  }
  lastPhase = Module1.GamePhase;
}

void WorldView_Return() {
  ViewState& v = View();
  if (!Shown()) return;
  if (!v.watching) {
    WorldView_AfterDoor();
    return;
  }
  v.watching = false;
  Labels_Show(false);
  World_Draw();
}

void WorldView_OfferLast() {
  if (!HasAddress()) return;
  Note_Show(Tr(QT_TRANSLATE_NOOP("World", "%1:ワールドランキングに送る")).arg(Names(kActBlueBomb)), 0);
}

void WorldView_DailyChallenge() {
  ViewState& v = View();
  if (!HasAddress()) {
    Note_Show(NoAddress());
    return;
  }
  v.dailyWanted = true;
  Note_Show(Tr(QT_TRANSLATE_NOOP("World", "今日のチャレンジを受け取っています…")), 20000);
  v.table->FetchDaily();
}

void WorldView_HideNote() { Note_Hide(); }

ScoreBoard WorldView_Board() { return View().board; }
int WorldView_Highlighted() { return View().highlighted; }
int WorldView_Top() { return View().top; }

const std::vector<WorldEntry>& WorldView_Entries() {
  return View().entries[static_cast<std::size_t>(Index(View().board))];
}

QString WorldView_Status() {
  const ViewState& v = View();
  if (v.board == ScoreBoard::kLocal) return {};
  if (!HasAddress()) return NoAddress();
  const auto b = static_cast<std::size_t>(Index(v.board));
  if (v.loading[b]) return Tr(QT_TRANSLATE_NOOP("World", "読み込み中…"));
  if (!v.failure[b].isEmpty()) return v.failure[b];
  if (v.entries[b].empty()) return Tr(QT_TRANSLATE_NOOP("World", "まだ誰もいません。"));
  return {};
}

QString WorldView_Note() { return View().noteText; }

void WorldView_Reset() {
  ViewState& v = View();
  for (const QMetaObject::Connection& link : v.links) QObject::disconnect(link);
  if (v.noteForm == Form1 && v.note) delete v.note.data();
  v = ViewState{};
}

}  // namespace tarnix
