#include "input/settings_screen.h"

#include <QCoreApplication>
#include <QPainter>
#include <QUrl>

#include <array>
#include <vector>

#include "core/doors.h"
#include "core/hooks.h"
#include "core/keys.h"
#include "core/run_options.h"
#include "files/language.h"
#include "files/options.h"
#include "input/bindings.h"
#include "input/input.h"
#include "input/key_names.h"
#include "input/pad.h"
#include "playfield/playfield.h"
#include "window/form1.h"

namespace tarnix {

namespace {

enum Row {
  kRowSound, kRowSpeed, kRowPauseInactive, kRowSize, kRowFullScreen, kRowRumble,
  kRowMarks, kRowFlashes, kRowLanguage, kRowWorld, kRowDaily, kRowKeys, kRowQuit, kRows
};
// The keys page: the eight actions, then back to the defaults.
constexpr int kKeyRows = kActions + 1;
constexpr int kKeyColumns = 2 * kBindSlots;  // the two keys, then the two pad buttons

enum class Note { kNone, kSwapped, kRefused, kNoAddress };

// While a key is awaited: Escape gives up, Delete and BackSpace empty the place.
constexpr std::uint32_t kScanEscape = 9, kScanBackSpace = 22, kScanDelete = 119;

// The address page: what a pad turns through at the caret, and how long an address may be.
const QString kAddressWheel = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789.:/-_");
constexpr int kAddressMax = 200;
constexpr int kAddressColumns = 30;  // characters a line of the page shows

struct SettingsState {
  bool open = false;
  bool keysPage = false;
  bool addressPage = false;
  bool capturing = false;
  QString address;  // being typed on the address page
  int caret = 0;
  int row = 0;
  int keyRow = 0;
  int column = 0;
  Note note = Note::kNone;
  Long phase = 0;  // the title or the pause it was opened over
  QImage saved;    // the canvas under the screen
  std::vector<QWidget*> hidden;
};

SettingsState& State() {
  static SettingsState state;
  return state;
}

QString Tr(const char* text) { return QCoreApplication::translate("Settings", text); }

const char* const kSpeeds[4] = {
    QT_TRANSLATE_NOOP("Form1", "なし(&1)"), QT_TRANSLATE_NOOP("Form1", "軽い(&2)"),
    QT_TRANSLATE_NOOP("Form1", "普通(&3)"), QT_TRANSLATE_NOOP("Form1", "重い(&4)")};

// A menu caption without its access key: "なし(&1)" is "なし", "&Sound" is "Sound".
QString Caption(const char* source) {
  QString text = QCoreApplication::translate("Form1", source);
  const int paren = text.indexOf(QStringLiteral("(&"));
  if (paren >= 0) text.truncate(paren);
  return text.remove(QLatin1Char('&'));
}

// The menu's own captions, so that the two always say the same; the language and the keys
// have no menu item.
const char* const kRowNames[kRows] = {
    QT_TRANSLATE_NOOP("Form1", "効果音(&S)"),
    QT_TRANSLATE_NOOP("Form1", "ウエイト(&W)"),
    QT_TRANSLATE_NOOP("Form1", "非アクティブ時に一時停止"),
    QT_TRANSLATE_NOOP("Form1", "画面の大きさ"),
    QT_TRANSLATE_NOOP("Form1", "全画面表示"),
    QT_TRANSLATE_NOOP("Form1", "振動"),
    QT_TRANSLATE_NOOP("Form1", "爆弾に印を付ける"),
    QT_TRANSLATE_NOOP("Form1", "閃光を控えめに"),
    QT_TRANSLATE_NOOP("Settings", "言語"),
    QT_TRANSLATE_NOOP("Settings", "ワールドランキング"),
    QT_TRANSLATE_NOOP("Settings", "今日のチャレンジ"),
    QT_TRANSLATE_NOOP("Settings", "キーとボタン"),
    QT_TRANSLATE_NOOP("Form1", "タールニックスの終了(&X)"),
};

QString RowName(int row) {
  return row == kRowLanguage || row == kRowWorld || row == kRowDaily || row == kRowKeys
             ? Tr(kRowNames[row])
             : Caption(kRowNames[row]);
}

const char* const kActionNames[kActions] = {
    QT_TRANSLATE_NOOP("Settings", "左へ歩く"),   QT_TRANSLATE_NOOP("Settings", "右へ歩く"),
    QT_TRANSLATE_NOOP("Settings", "赤い爆弾"),   QT_TRANSLATE_NOOP("Settings", "青い爆弾"),
    QT_TRANSLATE_NOOP("Settings", "投げる"),     QT_TRANSLATE_NOOP("Settings", "落とす"),
    QT_TRANSLATE_NOOP("Settings", "一時停止"),   QT_TRANSLATE_NOOP("Settings", "次の列"),
};

QString OnOff(bool on) {
  return on ? Tr(QT_TRANSLATE_NOOP("Settings", "入")) : Tr(QT_TRANSLATE_NOOP("Settings", "切"));
}

QString LanguageName(const QString& code) {
  if (code == QLatin1String("ja")) return QStringLiteral("日本語");
  if (code == QLatin1String("en")) return QStringLiteral("English");
  return code;
}

// The world table's address in force: this run's command line's, else tarnix.conf's.
const std::string& WorldAddress() {
  return RunOptions().WorldTable.empty() ? Options().WorldTable : RunOptions().WorldTable;
}

int SpeedItem() { return static_cast<int>(std::clamp<Long>(Module1.WaitMs / 25, 0, 3)); }

QString Value(int row) {
  Form1Window& f = *Form1;
  switch (row) {
    case kRowSound: return OnOff(f.mnuO1.Checked());
    case kRowSpeed: return Caption(kSpeeds[SpeedItem()]);
    case kRowPauseInactive: return OnOff(Options().PauseWhenInactive);
    case kRowSize: return QStringLiteral("×%1").arg(f.WindowScale());
    case kRowFullScreen: return OnOff(f.FullScreen());
    case kRowRumble: return OnOff(Options().Rumble);
    case kRowMarks: return OnOff(Options().BombMarks);
    case kRowFlashes: return OnOff(Options().GentleFlashes);
    case kRowLanguage: return LanguageName(Language_Current());
    case kRowWorld:
      return WorldAddress().empty() ? OnOff(false)
                                    : QUrl(QString::fromStdString(WorldAddress())).authority();
    default: return {};
  }
}

void Lettering(QPainter& p, const QRect& box, int flags, const QString& text, bool dim = false) {
  Lettering_Draw(p, box, flags, text, dim);
}

QFont GameLettering(int pixels) { return Lettering_Font(pixels); }

void Cursor(QPainter& p, int y) {
  const QPoint tip[3] = {QPoint(6, y + 4), QPoint(6, y + 14), QPoint(11, y + 9)};
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xFF, 0xFF, 0x00));
  p.drawPolygon(tip, 3);
}

void Footer(QPainter& p) {
  p.setFont(GameLettering(11));
  // The first bomb keys and buttons, which this screen keeps whatever was bound.
  const Bindings& b = Bindings_Defaults();
  const QString confirm = Action_ControlNames(b, kActRedBomb);
  const QString leave = Action_ControlNames(b, kActBlueBomb) + QStringLiteral("/Esc");
  Lettering(p, QRect(0, 304, 264, 16), Qt::AlignHCenter | Qt::AlignVCenter,
            Tr(QT_TRANSLATE_NOOP("Settings", "%1:決定　%2:戻る")).arg(confirm, leave), true);
}

void Draw_Main(QPainter& p) {
  const SettingsState& s = State();
  p.setFont(GameLettering(16));
  Lettering(p, QRect(0, 6, 264, 24), Qt::AlignCenter, Tr(QT_TRANSLATE_NOOP("Settings", "設定")));
  p.setFont(GameLettering(12));
  for (int r = 0; r < kRows; ++r) {
    const int y = 36 + 20 * r;
    if (r == s.row) {
      p.fillRect(QRect(2, y, 260, 19), QColor(0x20, 0x20, 0x60));
      Cursor(p, y);
    }
    // Today's challenge starts from the title, with an address to ask.
    const bool dim = r == kRowDaily && (s.phase != kTitle || WorldAddress().empty());
    Lettering(p, QRect(16, y, 150, 19), Qt::AlignLeft | Qt::AlignVCenter, RowName(r), dim);
    const QString value =
        p.fontMetrics().elidedText(Value(r), Qt::ElideMiddle, r == kRowWorld ? 130 : 106);
    Lettering(p, QRect(126, y, 130, 19), Qt::AlignRight | Qt::AlignVCenter, value);
  }
}

// The address in lines of the page, the character at the caret boxed (a box past the end
// is an empty place).
void Draw_Address(QPainter& p) {
  const SettingsState& s = State();
  p.setFont(GameLettering(16));
  Lettering(p, QRect(0, 6, 264, 24), Qt::AlignCenter, RowName(kRowWorld));
  p.setFont(GameLettering(12));
  const int cell = 8;
  const int left = (264 - kAddressColumns * cell) / 2;
  for (int i = 0; i <= s.address.size() && i < kAddressMax; ++i) {
    const QRect box(left + (i % kAddressColumns) * cell, 44 + (i / kAddressColumns) * 20, cell, 18);
    if (i == s.caret) p.fillRect(box, QColor(0x20, 0x20, 0x90));
    if (i < s.address.size()) {
      Lettering(p, box, Qt::AlignCenter, QString(s.address.at(i)));
    }
  }
  const char* const help[] = {
      QT_TRANSLATE_NOOP("Settings", "キーボードで入力、BackSpace で消す"),
      QT_TRANSLATE_NOOP("Settings", "↑↓:文字を選ぶ　→:次へ　←:消す"),
      QT_TRANSLATE_NOOP("Settings", "Enter/Start:決定　Esc:取り消し"),
      QT_TRANSLATE_NOOP("Settings", "空にするとワールドランキングを使いません"),
  };
  p.setFont(GameLettering(11));
  for (int i = 0; i < 4; ++i) {
    Lettering(p, QRect(0, 200 + 18 * i, 264, 16), Qt::AlignCenter, Tr(help[i]), true);
  }
  if (s.note == Note::kNoAddress) {
    Lettering(p, QRect(0, 272, 264, 16), Qt::AlignCenter,
              Tr(QT_TRANSLATE_NOOP("Settings", "http://ホスト:ポート の形で入力してください")));
  }
}

void Draw_Keys(QPainter& p) {
  const SettingsState& s = State();
  const Bindings& b = Bindings_Current();
  p.setFont(GameLettering(16));
  Lettering(p, QRect(0, 6, 264, 24), Qt::AlignCenter, RowName(kRowKeys));
  p.setFont(GameLettering(11));
  const int columnX[kKeyColumns] = {86, 130, 174, 218};
  constexpr int kColumnWidth = 42;
  for (int r = 0; r < kKeyRows; ++r) {
    const int y = 40 + 22 * r;
    if (r == s.keyRow) {
      p.fillRect(r < kActions ? QRect(columnX[s.column] - 1, y, kColumnWidth + 2, 19)
                              : QRect(2, y, 260, 19),
                 QColor(0x20, 0x20, 0x60));
      Cursor(p, y);
    }
    if (r == kActions) {
      Lettering(p, QRect(16, y, 240, 19), Qt::AlignLeft | Qt::AlignVCenter,
                Tr(QT_TRANSLATE_NOOP("Settings", "初期設定に戻す")));
      continue;
    }
    Lettering(p, QRect(16, y, 70, 19), Qt::AlignLeft | Qt::AlignVCenter, Tr(kActionNames[r]));
    for (int c = 0; c < kKeyColumns; ++c) {
      const bool key = c < kBindSlots;
      const int button = key ? -1 : b.buttons[r][c - kBindSlots];
      QString text = QStringLiteral("-");
      if (key && b.keys[r][c] != 0) {
        text = QString::fromStdString(Key_Name(b.keys[r][c]));
      } else if (button >= 0) {
        text = Pad_ButtonName(button);
      }
      if (s.capturing && r == s.keyRow && c == s.column) {
        text = QStringLiteral("?");
      } else if (button >= 0) {
        const QImage glyph = Pad_Glyph(button);
        if (!glyph.isNull()) {
          p.drawImage(columnX[c] + (kColumnWidth - glyph.width()) / 2, y + 4, glyph);
          continue;
        }
      }
      text = p.fontMetrics().elidedText(text, Qt::ElideRight, kColumnWidth);
      Lettering(p, QRect(columnX[c], y, kColumnWidth, 19), Qt::AlignHCenter | Qt::AlignVCenter,
                text);
    }
  }
  QString note;
  if (s.capturing) {
    note = s.column < kBindSlots
               ? Tr(QT_TRANSLATE_NOOP("Settings", "キーを押してください (Delete で空に)"))
               : Tr(QT_TRANSLATE_NOOP("Settings", "ボタンを押してください (Delete で空に)"));
  } else if (s.note == Note::kSwapped) {
    note = Tr(QT_TRANSLATE_NOOP("Settings", "入れ替えました"));
  } else if (s.note == Note::kRefused) {
    note = s.column < kBindSlots
               ? Tr(QT_TRANSLATE_NOOP("Settings", "キーのない操作はできません"))
               : Tr(QT_TRANSLATE_NOOP("Settings", "ボタンのない操作はできません"));
  }
  Lettering(p, QRect(0, 40 + 22 * kKeyRows + 4, 264, 18), Qt::AlignCenter, note);
}

void Draw() {
  QImage screen(kGameWidth, kGameHeight, QImage::Format_RGB32);
  screen.fill(Qt::black);
  QPainter p(&screen);
  if (State().keysPage) {
    Draw_Keys(p);
  } else if (State().addressPage) {
    Draw_Address(p);  // its own keys, which its lines say
  } else {
    Draw_Main(p);
  }
  if (!State().addressPage) Footer(p);
  p.end();
  Form1->Picture1.PaintPicture(screen, 0, 0);
  Form1->Picture1.Refresh();
}

void Speed_Choose(int item) {
  switch (item) {
    case 0: mnuO4_Click(); break;
    case 1: mnuO5_Click(); break;
    case 2: mnuO6_Click(); break;
    default: mnuO7_Click(); break;
  }
}

void Size_Choose(int n) {
  switch (n) {
    case 1: mnuScale1_Click(); break;
    case 2: mnuScale2_Click(); break;
    case 3: mnuScale3_Click(); break;
    default: mnuScale4_Click(); break;
  }
}

// The next size the menu offers, round from the largest back to x1.
int Size_Next(int from, int step) {
  int n = from;
  for (int i = 0; i < kMaxScale; ++i) {
    n = (n - 1 + step + kMaxScale) % kMaxScale + 1;
    if (Form1->mnuScale[n - 1].Enabled()) return n;
  }
  return from;
}

void Language_Next(int step) {
  const QStringList codes = Language_Available();
  const int at = std::max(0, static_cast<int>(codes.indexOf(Language_Current())));
  const QString next = codes.at((at + step + codes.size()) % codes.size());
  Language_Install(next);
  Options().Language = next.toStdString();
}

// Confirm, or Left and Right on a row: `step` is +1 or -1.
void Main_Change(int step) {
  SettingsState& s = State();
  switch (s.row) {
    case kRowSound:
      if (Form1->mnuO1.Enabled()) mnuO1_Click();
      break;
    case kRowSpeed: Speed_Choose((SpeedItem() + step + 4) % 4); break;
    case kRowPauseInactive: mnuPauseInactive_Click(); break;
    case kRowSize: Size_Choose(Size_Next(Form1->WindowScale(), step)); break;
    case kRowFullScreen: mnuFullScreen_Click(); break;
    case kRowRumble: mnuRumble_Click(); break;
    case kRowMarks: mnuBombMarks_Click(); break;
    case kRowFlashes: mnuGentleFlashes_Click(); break;
    case kRowLanguage: Language_Next(step); break;
    case kRowWorld:
      if (step > 0) {
        s.addressPage = true;
        s.address = QString::fromStdString(WorldAddress());
        s.caret = static_cast<int>(s.address.size());
        s.note = Note::kNone;
      }
      break;
    case kRowDaily:
      if (step > 0 && s.phase == kTitle && !WorldAddress().empty()) {
        Settings_Close();
        if (Hook().DailyChallenge) Hook().DailyChallenge();
        return;
      }
      break;
    case kRowKeys:
      if (step > 0) {
        s.keysPage = true;
        s.keyRow = 0;
        s.column = 0;
        s.note = Note::kNone;
      }
      break;
    case kRowQuit:
      if (step > 0) {
        Settings_Reset();
        mnuG3_Click();
        return;
      }
      break;
    default: break;
  }
}

void Main_Key(Long code) {
  SettingsState& s = State();
  switch (code) {
    case kUp: s.row = (s.row + kRows - 1) % kRows; break;
    case kDown: s.row = (s.row + 1) % kRows; break;
    case kLeft:
      if (s.row < kRowWorld) Main_Change(-1);
      break;
    case kRight:
      if (s.row < kRowWorld) Main_Change(+1);
      break;
    case kKeyZ:
    case kEnter: Main_Change(+1); break;
    case kKeyX:
    case kEscape: Settings_Close(); return;
    default: return;
  }
  if (s.open) Draw();
}

void Keys_Key(Long code) {
  SettingsState& s = State();
  switch (code) {
    case kUp: s.keyRow = (s.keyRow + kKeyRows - 1) % kKeyRows; break;
    case kDown: s.keyRow = (s.keyRow + 1) % kKeyRows; break;
    case kLeft: s.column = (s.column + kKeyColumns - 1) % kKeyColumns; break;
    case kRight: s.column = (s.column + 1) % kKeyColumns; break;
    case kKeyZ:
    case kEnter:
      if (s.keyRow == kActions) {
        Bindings_Reset();
        s.note = Note::kNone;
      } else {
        s.capturing = true;
      }
      break;
    case kKeyX:
    case kEscape: s.keysPage = false; break;
    default: return;
  }
  Draw();
}

// The pad's way to write, as the name entry's: up and down turn the character at the caret,
// right moves on, left takes back.
void Address_Turn(int step) {
  SettingsState& s = State();
  const int n = static_cast<int>(kAddressWheel.size());
  if (s.caret < s.address.size()) {
    const int at = static_cast<int>(kAddressWheel.indexOf(s.address.at(s.caret)));
    const int next = at < 0 ? (step > 0 ? 0 : n - 1) : (at + step + n) % n;
    s.address[s.caret] = kAddressWheel.at(next);
  } else if (s.address.size() < kAddressMax) {
    s.address.append(kAddressWheel.at(step > 0 ? 0 : n - 1));
  }
}

void Address_TakeBack() {
  SettingsState& s = State();
  if (s.caret >= s.address.size()) {
    if (s.caret == 0) return;
    s.address.remove(--s.caret, 1);
  } else {
    s.address.remove(s.caret, 1);
    if (s.caret > 0) --s.caret;
  }
}

void Address_Key(Long code) {
  SettingsState& s = State();
  s.note = Note::kNone;
  switch (code) {
    case kUp: Address_Turn(+1); break;
    case kDown: Address_Turn(-1); break;
    case kRight:
    case kKeyZ:
      if (s.caret < s.address.size()) ++s.caret;
      break;
    case kLeft:
    case kKeyX: Address_TakeBack(); break;
    case kEnter: {
      const std::optional<std::string> address = Options_WorldAddress(s.address.toStdString());
      if (!address) {
        s.note = Note::kNoAddress;
        break;
      }
      s.addressPage = false;
      if (*address != WorldAddress()) {
        Options().WorldTable = *address;
        if (Hook().WorldAddressChanged) Hook().WorldAddressChanged();
      }
      break;
    }
    case kEscape: s.addressPage = false; break;
    default: return;
  }
  Draw();
}

void Note_Result(BindResult result) {
  SettingsState& s = State();
  s.capturing = false;
  s.note = result == BindResult::kSwapped   ? Note::kSwapped
           : result == BindResult::kRefused ? Note::kRefused
                                            : Note::kNone;
  Draw();
}

}  // namespace

bool Settings_IsOpen() { return State().open; }
bool Settings_Capturing() { return State().open && State().capturing; }

void Settings_Open() {
  SettingsState& s = State();
  if (s.open || Form1 == nullptr) return;
  if (Module1.GamePhase != kTitle && Module1.GamePhase != kPaused) return;
  s = SettingsState{};
  s.open = true;
  s.phase = Module1.GamePhase;
  // The keys mean other things here: a key held now lets go, when it does, as a release.
  Input_ForgetHeld();
  s.saved = Form1->Picture1.Image().copy();
  // The player may have switched layouts since the screen was last open.
  KeyNames_Refresh();
  // The strip, the figure, the bombs and the pause message lie over the canvas.
  Form1Window& f = *Form1;
  std::vector<QWidget*> over = {&f.Picture6, &f.Label2[0], &f.Label2[1]};
  for (PictureBox& bomb : f.Picture3) over.push_back(&bomb);
  for (QWidget* w : over) {
    if (!w->isHidden()) {
      w->hide();
      s.hidden.push_back(w);
    }
  }
  Draw();
}

void Settings_Close() {
  SettingsState& s = State();
  if (!s.open) return;
  for (QWidget* w : s.hidden) w->show();
  Input_ForgetHeld();
  if (Module1.GamePhase == kTitle) {
    Title_Draw(TitleCursorY(Module1.MenuCursor));  // in the language chosen here
  } else {
    Form1->Picture1.PaintPicture(s.saved, 0, 0);
    Form1->Picture1.Refresh();
  }
  s = SettingsState{};
}

void Settings_Key(Long code) {
  SettingsState& s = State();
  if (!s.open || s.capturing) return;
  // The menu bar or the pad's Back may have moved the game on (back to the title, say) under
  // the screen, which drew its own: what was kept for the way back no longer belongs.
  if (Module1.GamePhase != s.phase) {
    Settings_Reset();
    return;
  }
  if (s.keysPage) {
    Keys_Key(code);
  } else if (s.addressPage) {
    Address_Key(code);
  } else {
    Main_Key(code);
  }
}

bool Settings_Editing() { return State().open && State().addressPage; }

void Settings_Type(const QString& text) {
  SettingsState& s = State();
  if (!Settings_Editing()) return;
  for (const QChar c : text) {
    if (!c.isPrint() || c.isSpace() || s.address.size() >= kAddressMax) continue;
    s.address.insert(s.caret++, c);
  }
  s.note = Note::kNone;
  Draw();
}

void Settings_Erase() {
  if (!Settings_Editing()) return;
  SettingsState& s = State();
  if (s.caret > 0) s.address.remove(--s.caret, 1);
  Draw();
}

void Settings_CaptureKey(std::uint32_t scan) {
  SettingsState& s = State();
  if (!Settings_Capturing()) return;
  const bool emptying = scan == kScanDelete || scan == kScanBackSpace;
  if (scan == kScanEscape || (s.column >= kBindSlots && !emptying)) {  // or a key for a button
    s.capturing = false;
    Draw();
    return;
  }
  if (emptying) {
    Note_Result(s.column < kBindSlots ? Unbind_Key(s.keyRow, s.column)
                                      : Unbind_Button(s.keyRow, s.column - kBindSlots));
    return;
  }
  Note_Result(Bind_Key(s.keyRow, s.column, scan));
}

void Settings_CaptureButton(int button) {
  SettingsState& s = State();
  if (!Settings_Capturing()) return;
  if (s.column < kBindSlots) {
    s.capturing = false;
    Draw();
    return;
  }
  Note_Result(Bind_Button(s.keyRow, s.column - kBindSlots, button));
}

void Settings_Reset() { State() = SettingsState{}; }

}  // namespace tarnix
