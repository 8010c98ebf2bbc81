#include "input/pad.h"

#include <SDL.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSocketNotifier>

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/doors.h"
#include "core/hooks.h"
#include "core/keys.h"
#include "core/pollers.h"
#include "files/files.h"
#include "files/options.h"
#include "input/bindings.h"
#include "input/input.h"
#include "input/settings_screen.h"
#include "playfield/playfield.h"
#include "window/form1.h"

namespace tarnix {

namespace {

// The stick's four directions, then every button of a game controller by SDL's number. The
// stick always walks, throws and drops; each button speaks for the action it is bound to.
// A fixed type: the buttons are numbered on past the last name.
enum Control : int { kStickLeft, kStickRight, kStickUp, kStickDown, kButtons };
constexpr int kControls = kButtons + SDL_CONTROLLER_BUTTON_MAX;

constexpr Control Button(SDL_GameControllerButton b) { return static_cast<Control>(kButtons + b); }

Long KeyOf(int control) {
  constexpr Long kStick[kButtons] = {kLeft, kRight, kUp, kDown};
  if (control < kButtons) return kStick[control];
  // The settings screen hears the buttons as they were at first.
  return Settings_IsOpen() ? Bindings_DefaultButtonOf(control - kButtons)
                           : Bindings_ButtonOf(control - kButtons);
}

// The stick goes over at half way and comes back under three eighths, so that a thumb
// resting near the edge does not flicker the key.
constexpr int kStickOn = 16384;
constexpr int kStickOff = 12288;

// Idle polls: an open pad must answer a press at once. A pad plugged in shows up as a
// device node: while the game can watch the device folders it sleeps until one changes,
// then looks often for a while, as the node's permissions and SDL's own news of it may
// come a little later. Where it cannot watch them, a look a second is quick enough.
constexpr int kIdleWithPad = 20;
constexpr int kIdleWithoutPad = 1000;
constexpr int kIdleSettling = 100;
constexpr Uint64 kSettleMs = 3000;
constexpr int kNoIdlePoll = -1;

// Where the kernel makes the nodes of input devices (event*, js*) and of raw HID
// devices, which SDL also opens for some pads.
const char* const kDeviceFolders[] = {"/dev", "/dev/input"};

struct Pad {
  SDL_JoystickID id = -1;
  SDL_GameController* controller = nullptr;
  SDL_Joystick* joystick = nullptr;  // a device the mapping database does not know
  std::array<bool, kControls> on{};
};

struct DeviceWatch {
  int fd = -1;
  std::vector<std::string> folders;
  std::vector<bool> watched;
  std::unique_ptr<QSocketNotifier> notifier;
};

struct PadState {
  bool started = false;
  Uint64 lookedAt = 0;  // SDL_GetTicks64() of the last pump
  Uint64 settleUntil = 0;  // looks stay frequent until then after a device node changed
  std::vector<Pad> pads;
  std::vector<std::string> watchFolders{std::begin(kDeviceFolders), std::end(kDeviceFolders)};
  DeviceWatch watch;
};

PadState& State() {
  static PadState state;
  return state;
}

int SourceOf(const Pad& pad) { return static_cast<int>(pad.id) + 1; }

Pad* Find(SDL_JoystickID id) {
  for (Pad& pad : State().pads) {
    if (pad.id == id) return &pad;
  }
  return nullptr;
}

void Title_Redraw() {
  if (Module1.GamePhase == kTitle) Title_Draw(TitleCursorY(Module1.MenuCursor));
}

// How long an idle game may go between two looks at SDL's pads.
int Look_Interval() {
  const PadState& s = State();
  if (!s.pads.empty()) return kIdleWithPad;
  if (s.watch.fd < 0) return kIdleWithoutPad;
  return SDL_GetTicks64() < s.settleUntil ? kIdleSettling : kNoIdlePoll;
}

void Poll_Rate() { Main_AddPoller(Pad_Poll, Look_Interval()); }

// A folder created after the watch began (a device folder made when the first such
// device appears) is watched from then on.
bool Watch_Folders(DeviceWatch& w) {
  constexpr uint32_t kChanges = IN_CREATE | IN_DELETE | IN_ATTRIB | IN_MOVED_TO | IN_ONLYDIR;
  bool any = false;
  for (std::size_t i = 0; i < w.folders.size(); ++i) {
    if (!w.watched[i]) w.watched[i] = inotify_add_watch(w.fd, w.folders[i].c_str(), kChanges) >= 0;
    any = any || w.watched[i];
  }
  return any;
}

void Watch_Changed() {
  PadState& s = State();
  alignas(inotify_event) char buffer[4096];
  while (::read(s.watch.fd, buffer, sizeof buffer) > 0) {
  }
  Watch_Folders(s.watch);
  s.settleUntil = SDL_GetTicks64() + kSettleMs;
  s.lookedAt = 0;  // the next turn looks
  Poll_Rate();
}

void Watch_Start() {
  PadState& s = State();
  DeviceWatch& w = s.watch;
  w.fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (w.fd < 0) return;
  w.folders = s.watchFolders;
  w.watched.assign(w.folders.size(), false);
  if (!Watch_Folders(w) || QCoreApplication::instance() == nullptr) {
    ::close(w.fd);
    w.fd = -1;
    return;
  }
  w.notifier = std::make_unique<QSocketNotifier>(w.fd, QSocketNotifier::Read);
  QObject::connect(w.notifier.get(), &QSocketNotifier::activated, [] { Watch_Changed(); });
}

void Watch_Stop() {
  DeviceWatch& w = State().watch;
  w.notifier.reset();
  if (w.fd >= 0) ::close(w.fd);
  w.fd = -1;
}

void Back_Press() {
  // As the Game menu's item, which the name entry disables.
  if (Module1.GamePhase != kNameEntry) mnuG1_Click();
}

void Control_Set(Pad& pad, Control control, bool on) {
  if (pad.on[control] == on) return;
  pad.on[control] = on;
  // A menu of the menu bar holds the game; the keyboard's keys go to the menu meanwhile.
  // In another window the player's pad is not speaking to the game.
  if (on && (Form1->MenusOpen() > 0 || Form1->LookingAway())) return;
  if (control == Button(SDL_CONTROLLER_BUTTON_BACK)) {
    if (on) Back_Press();
    return;
  }
  if (control == Button(SDL_CONTROLLER_BUTTON_Y)) {
    if (on) Settings_IsOpen() ? Settings_Close() : Settings_Open();
    return;
  }
  // Two buttons that play nothing show a watched game's figures and make its video.
  const bool watching = Hook().Watching != nullptr && Hook().Watching();
  const auto codeOf = [watching](int c) {
    const Long bound = KeyOf(c);
    if (bound != 0 || !watching) return bound;
    if (c == Button(SDL_CONTROLLER_BUTTON_X)) return kKeyS;
    return c == Button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER) ? kKeyE : Long{0};
  };
  const Long key = codeOf(control);
  if (key == 0) return;
  bool held = false;
  for (int c = 0; c < kControls; ++c) held = held || (pad.on[c] && codeOf(c) == key);
  const int source = SourceOf(pad);
  if (held && !Input_Held(source, key)) {
    Input_KeyDown(source, key);
  } else if (!held && Input_Held(source, key)) {
    Input_KeyUp(source, key);
  }
}

void Stick_Set(Pad& pad, Control negative, Control positive, int value) {
  const auto beyond = [](bool was, int v) { return v > (was ? kStickOff : kStickOn); };
  Control_Set(pad, negative, beyond(pad.on[negative], -value));
  Control_Set(pad, positive, beyond(pad.on[positive], value));
}

void Hat_Set(Pad& pad, Uint8 hat) {
  Control_Set(pad, Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT), hat & SDL_HAT_LEFT);
  Control_Set(pad, Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT), hat & SDL_HAT_RIGHT);
  Control_Set(pad, Button(SDL_CONTROLLER_BUTTON_DPAD_UP), hat & SDL_HAT_UP);
  Control_Set(pad, Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN), hat & SDL_HAT_DOWN);
}

void Pad_Open(int deviceIndex) {
  Pad pad;
  if (SDL_IsGameController(deviceIndex)) {
    pad.controller = SDL_GameControllerOpen(deviceIndex);
    if (!pad.controller) return;
    pad.id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad.controller));
  } else {
    SDL_Joystick* joystick = SDL_JoystickOpen(deviceIndex);
    if (!joystick) return;
    // Walking needs a hat or a stick, and a bomb a button; anything less (a motion
    // sensor, a pedal) is left alone.
    const bool directions = SDL_JoystickNumHats(joystick) > 0 || SDL_JoystickNumAxes(joystick) >= 2;
    if (!directions || SDL_JoystickNumButtons(joystick) < 1) {
      SDL_JoystickClose(joystick);
      return;
    }
    pad.joystick = joystick;
    pad.id = SDL_JoystickInstanceID(joystick);
  }
  if (Find(pad.id)) {
    if (pad.controller) SDL_GameControllerClose(pad.controller);
    if (pad.joystick) SDL_JoystickClose(pad.joystick);
    return;
  }
  State().pads.push_back(pad);
  Poll_Rate();
  Title_Redraw();
}

void Pad_Close(SDL_JoystickID id) {
  PadState& s = State();
  Pad* pad = Find(id);
  if (!pad) return;
  const bool playing = Input_LastSource() == SourceOf(*pad);
  Input_ReleaseAll(SourceOf(*pad));
  if (pad->controller) SDL_GameControllerClose(pad->controller);
  if (pad->joystick) SDL_JoystickClose(pad->joystick);
  s.pads.erase(s.pads.begin() + (pad - s.pads.data()));
  Poll_Rate();
  // The player has lost the controls: the same pause as Enter.
  if (playing && Module1.GamePhase == kPlaying) Picture1_KeyDown(kEnter, 0);
  Title_Redraw();
}

void Controller_Button(Pad& pad, Uint8 button, bool on) {
  if (on && Settings_Capturing()) {
    Settings_CaptureButton(button);
    return;
  }
  if (button < SDL_CONTROLLER_BUTTON_MAX) Control_Set(pad, static_cast<Control>(kButtons + button), on);
}

// An unknown device: its first four buttons stand for A, B, Start and the right shoulder.
void Joystick_Button(Pad& pad, Uint8 button, bool on) {
  constexpr Control kFirst[] = {Button(SDL_CONTROLLER_BUTTON_A), Button(SDL_CONTROLLER_BUTTON_B),
                                Button(SDL_CONTROLLER_BUTTON_START),
                                Button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER)};
  if (button < std::size(kFirst)) Control_Set(pad, kFirst[button], on);
}

void Event_Handle(const SDL_Event& e) {
  switch (e.type) {
    case SDL_JOYDEVICEADDED: Pad_Open(e.jdevice.which); break;
    case SDL_JOYDEVICEREMOVED: Pad_Close(e.jdevice.which); break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      if (Pad* pad = Find(e.cbutton.which); pad && pad->controller) {
        Controller_Button(*pad, e.cbutton.button, e.type == SDL_CONTROLLERBUTTONDOWN);
      }
      break;
    case SDL_CONTROLLERAXISMOTION:
      if (Pad* pad = Find(e.caxis.which); pad && pad->controller) {
        if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) {
          Stick_Set(*pad, kStickLeft, kStickRight, e.caxis.value);
        } else if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) {
          Stick_Set(*pad, kStickUp, kStickDown, e.caxis.value);
        }
      }
      break;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
      if (Pad* pad = Find(e.jbutton.which); pad && pad->joystick) {
        Joystick_Button(*pad, e.jbutton.button, e.type == SDL_JOYBUTTONDOWN);
      }
      break;
    case SDL_JOYHATMOTION:
      if (Pad* pad = Find(e.jhat.which); pad && pad->joystick && e.jhat.hat == 0) {
        Hat_Set(*pad, e.jhat.value);
      }
      break;
    case SDL_JOYAXISMOTION:
      if (Pad* pad = Find(e.jaxis.which); pad && pad->joystick) {
        if (e.jaxis.axis == 0) Stick_Set(*pad, kStickLeft, kStickRight, e.jaxis.value);
        if (e.jaxis.axis == 1) Stick_Set(*pad, kStickUp, kStickDown, e.jaxis.value);
      }
      break;
    default: break;
  }
}

void Mappings_Load() {
  const std::string file = Settings_Folder() + "gamecontrollerdb.txt";
  if (QFileInfo(QString::fromStdString(file)).isFile()) {
    // Lines SDL cannot read are skipped by SDL; a file it cannot read at all changes nothing.
    SDL_GameControllerAddMappingsFromFile(file.c_str());
  }
  // The environment speaks for this run, so it has the last word over the file.
  if (const char* env = SDL_getenv("SDL_GAMECONTROLLERCONFIG")) {
    SDL_GameControllerAddMappingsFromRW(SDL_RWFromConstMem(env, static_cast<int>(SDL_strlen(env))), 1);
  }
}

}  // namespace

void Pad_Start() {
  PadState& s = State();
  if (s.started) return;
  // SDL must leave SIGINT and SIGTERM to the game; set before any part of SDL starts.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // Buttons by where they sit, on every pad: south takes the red bomb whatever it is printed
  // with, and the glyphs say what it is printed with.
  SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return;
  s.started = true;
  s.lookedAt = 0;  // the pads already there at once
  Mappings_Load();
  Watch_Start();
  Poll_Rate();
}

void Pad_Stop() {
  PadState& s = State();
  if (!s.started) return;
  while (!s.pads.empty()) {
    const Pad& pad = s.pads.back();
    Input_ReleaseAll(SourceOf(pad));
    if (pad.controller) SDL_GameControllerClose(pad.controller);
    if (pad.joystick) SDL_JoystickClose(pad.joystick);
    s.pads.pop_back();
  }
  Main_RemovePoller(Pad_Poll);
  Watch_Stop();
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  s.started = false;
}

void Pad_Poll() {
  PadState& s = State();
  // Without a pad the only news can be a pad plugged in; a pump costs about 20 µs, which
  // every pass need not pay.
  if (s.pads.empty()) {
    const int interval = Look_Interval();
    if (s.lookedAt != 0 && (interval == kNoIdlePoll || SDL_GetTicks64() - s.lookedAt <
                                                           static_cast<Uint64>(interval))) {
      return;
    }
  }
  Pad_PollNow();
  if (s.pads.empty()) Poll_Rate();  // a settling spell may have ended
}

void Pad_PollNow() {
  PadState& s = State();
  if (!s.started) return;
  s.lookedAt = SDL_GetTicks64();
  SDL_PumpEvents();
  SDL_Event events[32];
  int n;
  while ((n = SDL_PeepEvents(events, 32, SDL_GETEVENT, SDL_JOYAXISMOTION,
                             SDL_CONTROLLERSENSORUPDATE)) > 0) {
    for (int i = 0; i < n; ++i) Event_Handle(events[i]);
  }
  // Nothing else here reads SDL's queue; what the pads did not ask for must not pile up.
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

int Pad_Count() { return static_cast<int>(State().pads.size()); }

void Pad_WatchFolders(const std::vector<std::string>& folders) {
  auto& watched = State().watchFolders;
  watched = folders;
  if (watched.empty()) watched.assign(std::begin(kDeviceFolders), std::end(kDeviceFolders));
}

int Pad_AttachVirtual() {
  SDL_VirtualJoystickDesc desc;
  SDL_zero(desc);
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  return SDL_JoystickAttachVirtualEx(&desc);
}

void Pad_Rumble(Long generation) {
  PadState& s = State();
  if (!Options().Rumble || s.pads.empty()) return;
  const int g = std::clamp(static_cast<int>(generation), 1, 8) - 1;
  const auto low = static_cast<Uint16>(0x2000 + 0x1800 * g);
  const auto high = static_cast<Uint16>(0x1000 + 0x1000 * g);
  const Uint32 ms = 80 + 15 * g;
  // The pad in the player's hands; every pad while the keyboard plays.
  const bool padPlaying = std::any_of(s.pads.begin(), s.pads.end(), [](const Pad& pad) {
    return Input_LastSource() == SourceOf(pad);
  });
  for (Pad& pad : s.pads) {
    if (padPlaying && Input_LastSource() != SourceOf(pad)) continue;
    // A pad without a motor says so and is left alone.
    if (pad.controller) SDL_GameControllerRumble(pad.controller, low, high, ms);
    if (pad.joystick) SDL_JoystickRumble(pad.joystick, low, high, ms);
  }
}

QString Action_ControlNames(const Bindings& bindings, int action) {
  const QString key = QString::fromStdString(Key_Name(bindings.keys[action][0]));
  return Pad_Count() > 0 ? Pad_ButtonName(bindings.buttons[action][0]) + u'/' + key : key;
}

int Pad_DrawText(QPainter& painter, int x, int y, int height, const QString& text,
                 const std::vector<int>& buttons, QColor color, QColor shadow, bool draw) {
  const int left = x;
  QString rest = text;
  const auto drawText = [&](const QString& piece) {
    const int w = painter.fontMetrics().horizontalAdvance(piece);
    if (draw && !piece.isEmpty()) {
      painter.setPen(shadow);
      painter.drawText(QRect(x + 1, y + 1, w + 2, height), Qt::AlignLeft | Qt::AlignVCenter, piece);
      painter.setPen(color);
      painter.drawText(QRect(x, y, w + 2, height), Qt::AlignLeft | Qt::AlignVCenter, piece);
    }
    x += w;
  };
  for (;;) {
    const int at = rest.indexOf(QLatin1Char('%'));
    const int n = at >= 0 && at + 1 < rest.size() ? rest.at(at + 1).digitValue() : -1;
    if (n < 1 || n > static_cast<int>(buttons.size())) break;
    drawText(rest.left(at));
    const int button = buttons[static_cast<std::size_t>(n - 1)];
    const QImage glyph = Pad_Glyph(button);
    if (glyph.isNull()) {
      drawText(Pad_ButtonName(button));
    } else {
      if (draw) painter.drawImage(x, y + (height - glyph.height()) / 2, glyph);
      x += glyph.width() + 1;
    }
    rest = rest.mid(at + 2);
  }
  drawText(rest);
  return x - left;
}

void Pad_DrawTitleLine() {
  if (State().pads.empty() || !Form1) return;
  const Bindings& b = Bindings_Current();
  const QString text = QCoreApplication::translate(
      "Messages", "%1:赤　%2:青　%4:決定　%5:タイトル　%3:設定");
  const std::vector<int> buttons = {b.buttons[kActRedBomb][0], b.buttons[kActBlueBomb][0],
                                    kSettingsButton, b.buttons[kActPause][0],
                                    SDL_CONTROLLER_BUTTON_BACK};
  // Drawn over the title's own black band between the high-score item and the credits.
  QImage line = Form1->Picture5[5].Picture().copy(0, 266, 264, 16);
  if (line.isNull()) return;
  QPainter painter(&line);
  QFont font = Form1->Label3[0].font();
  font.setPixelSize(11);
  font.setBold(false);
  painter.setFont(font);
  const QColor yellow(0xFF, 0xFF, 0x00), olive(0x80, 0x80, 0x00);
  const int width = Pad_DrawText(painter, 0, 0, 16, text, buttons, yellow, olive, false);
  Pad_DrawText(painter, std::max(0, (264 - width) / 2), 0, 16, text, buttons, yellow, olive);
  painter.end();
  Form1->Picture1.PaintPicture(line, 0, 266);
}

bool Pad_InHand() {
  const PadState& s = State();
  return std::any_of(s.pads.begin(), s.pads.end(),
                     [](const Pad& pad) { return Input_LastSource() == SourceOf(pad); });
}

PadFamily Pad_Family() {
  const PadState& s = State();
  const Pad* shown = nullptr;
  for (const Pad& pad : s.pads) {
    if (shown == nullptr || Input_LastSource() == SourceOf(pad)) shown = &pad;
  }
  if (shown == nullptr || shown->controller == nullptr) return PadFamily::kOther;
  switch (SDL_GameControllerGetType(shown->controller)) {
    case SDL_CONTROLLER_TYPE_XBOX360:
    case SDL_CONTROLLER_TYPE_XBOXONE:
    case SDL_CONTROLLER_TYPE_AMAZON_LUNA:
    case SDL_CONTROLLER_TYPE_GOOGLE_STADIA:
    case SDL_CONTROLLER_TYPE_NVIDIA_SHIELD: return PadFamily::kXbox;
    case SDL_CONTROLLER_TYPE_PS3:
    case SDL_CONTROLLER_TYPE_PS4:
    case SDL_CONTROLLER_TYPE_PS5: return PadFamily::kPlayStation;
    case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_PRO:
    case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_LEFT:
    case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_RIGHT:
    case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_PAIR: return PadFamily::kNintendo;
    default: return PadFamily::kOther;
  }
}

QImage Pad_Glyph(int button) {
  if (button < SDL_CONTROLLER_BUTTON_A || button > SDL_CONTROLLER_BUTTON_Y) return {};
  static const QImage glyphs(QStringLiteral(":/pictures/pad_glyphs.png"), "PNG");
  if (glyphs.isNull()) return {};
  // SDL numbers the face buttons south, east, west, north: the columns of the picture.
  return glyphs.copy(kGlyphSize * button, kGlyphSize * static_cast<int>(Pad_Family()),
                     kGlyphSize, kGlyphSize);
}

QString Pad_ButtonName(int button) {
  // The face buttons as each family prints them, south, east, west, north.
  static const char* const kFaces[4][4] = {{"A", "B", "X", "Y"},
                                           {"\u2715", "\u25cb", "\u25a1", "\u25b3"},
                                           {"B", "A", "Y", "X"},
                                           {"S", "E", "W", "N"}};
  static const char* const kNames[SDL_CONTROLLER_BUTTON_MAX] = {
      "A", "B", "X", "Y", "BACK", "GUIDE", "START", "LS", "RS", "LB", "RB",
      "\u2191", "\u2193", "\u2190", "\u2192", "M1", "P1", "P2", "P3", "P4", "TP"};
  if (button < 0 || button >= SDL_CONTROLLER_BUTTON_MAX) return QStringLiteral("-");
  // Back, Start and the shoulders as the family prints them too.
  static const int kOwn[] = {SDL_CONTROLLER_BUTTON_BACK, SDL_CONTROLLER_BUTTON_START,
                             SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER};
  static const char* const kOwnNames[4][4] = {{"BACK", "START", "LB", "RB"},
                                              {"SHARE", "OPTIONS", "L1", "R1"},
                                              {"−", "+", "L", "R"},
                                              {"BACK", "START", "LB", "RB"}};
  const int family = static_cast<int>(Pad_Family());
  if (button <= SDL_CONTROLLER_BUTTON_Y) return QString::fromUtf8(kFaces[family][button]);
  for (int i = 0; i < 4; ++i) {
    if (kOwn[i] == button) return QString::fromUtf8(kOwnNames[family][i]);
  }
  return QString::fromUtf8(kNames[button]);
}

}  // namespace tarnix
