#include "input/keyboard.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>

#include <string>
#include <vector>

#include "core/doors.h"
#include "core/keys.h"
#include "files/options.h"
#include "input/bindings.h"
#include "input/input.h"
#include "input/settings_screen.h"
#include "window/form1.h"

namespace tarnix {

namespace {

struct HeldKey {
  quint32 scanCode;
  int qtKey;
  int code;
};

class KeyboardSource final : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override;

  // The game's code for a key press, remembered so that its release says the same.
  int Press(const QKeyEvent& key);
  int Release(const QKeyEvent& key);
  void Forget() { held_.clear(); }

 private:
  std::vector<HeldKey> held_;
};

KeyboardSource& Keyboard() {
  static KeyboardSource keyboard;
  return keyboard;
}

// A key bound to an action speaks for it; a key the game's actions once had but the player
// moved elsewhere says nothing; any other (Escape, say) keeps its own meaning. Without a scan
// code (a synthetic event) the key means what it says. The settings screen hears the keys as
// they were at first.
int KeyCode(quint32 scan, int qtKey) {
  if (scan == 0) return VirtualKeyCode(qtKey);
  if (Settings_IsOpen()) {
    const Long first = Bindings_DefaultKeyOf(scan);
    return first != 0 ? static_cast<int>(first) : VirtualKeyCode(qtKey);
  }
  const Long bound = Bindings_KeyOf(scan);
  if (bound != 0) return static_cast<int>(bound);
  const int code = VirtualKeyCode(qtKey);
  return Bindings_IsActionCode(code) ? 0 : code;
}

// What the key is called in the player's layout: what it types, or Qt's name for it.
std::string KeyLabel(const QKeyEvent& key) {
  const QString text = key.text().trimmed();
  if (text.size() == 1 && text.at(0).isPrint()) return text.toUpper().toStdString();
  return QKeySequence(key.key()).toString(QKeySequence::NativeText).toStdString();
}

int KeyboardSource::Press(const QKeyEvent& key) {
  const quint32 scan = key.nativeScanCode();
  for (const HeldKey& held : held_) {
    if (scan != 0 ? held.scanCode == scan : held.qtKey == key.key()) return held.code;
  }
  Key_NameSeen(scan, KeyLabel(key));
  const int code = KeyCode(scan, key.key());
  if (code != 0) held_.push_back({scan, key.key(), code});
  return code;
}

int KeyboardSource::Release(const QKeyEvent& key) {
  const quint32 scan = key.nativeScanCode();
  for (auto it = held_.begin(); it != held_.end(); ++it) {
    if (scan != 0 ? it->scanCode == scan : it->qtKey == key.key()) {
      const int code = it->code;
      if (!key.isAutoRepeat()) held_.erase(it);
      return code;
    }
  }
  return KeyCode(scan, key.key());
}

bool Canvas_Event(QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (FullScreenToggleKey(*key)) {
      if (type == QEvent::KeyPress && !key->isAutoRepeat()) mnuFullScreen_Click();
      return true;
    }
    if (type == QEvent::KeyPress && Settings_Capturing()) {
      Key_NameSeen(key->nativeScanCode(), KeyLabel(*key));
      if (!key->isAutoRepeat()) Settings_CaptureKey(key->nativeScanCode());
      return true;
    }
    if (type == QEvent::KeyPress && Settings_Editing()) {
      if (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete) {
        Settings_Erase();
        return true;
      }
      const QString text = key->text();
      if (!text.isEmpty() && text.at(0).isPrint() && !text.at(0).isSpace()) {
        Settings_Type(text);
        return true;
      }
    }
    KeyboardSource& keyboard = Keyboard();
    const int code = type == QEvent::KeyPress ? keyboard.Press(*key) : keyboard.Release(*key);
    if (code == 0) return false;
    if (type == QEvent::KeyPress) {
      Input_KeyDown(kKeyboardSource, code);
    } else if (!key->isAutoRepeat()) {
      // The platform the game was made for sent no repeated releases.
      Input_KeyUp(kKeyboardSource, code);
    }
    return true;
  }
  if (type == QEvent::FocusOut) {
    // Opening a menu or switching to another application is no loss of focus here.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
        reason != Qt::MenuBarFocusReason) {
      Picture1_LostFocus();
    }
  }
  return false;
}

bool NameBox_Event(QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  if (FullScreenToggleKey(*key)) {
    if (!key->isAutoRepeat()) mnuFullScreen_Click();
    return true;
  }
  // The box itself receives the characters the layout types; the handler hears the code.
  // The key that pauses confirms the name too, as Enter did both: Enter always does, so a
  // player who moved the pause elsewhere is never kept in the box.
  const quint32 scan = key->nativeScanCode();
  const bool confirms = scan != 0 && Bindings_KeyOf(scan) == kEnter;
  const int code = confirms ? kEnter : VirtualKeyCode(key->key());
  if (code != 0) Text1_KeyDown(code, 0);
  return code == kEnter;
}

bool KeyboardSource::eventFilter(QObject* watched, QEvent* event) {
  Form1Window* form = Form1;
  if (form == nullptr || form->Unloaded()) return false;
  if (watched == &form->Picture1) return Canvas_Event(event);
  if (watched == &form->Text1) return NameBox_Event(event);
  if (watched == form) {
    if (event->type() == QEvent::WindowActivate) {
      form->SetLookingAway(false);
    } else if (event->type() == QEvent::WindowDeactivate ||
               (event->type() == QEvent::WindowStateChange && form->isMinimized())) {
      Window_Deactivated();
    }
  }
  return false;
}

}  // namespace

void Keyboard_Install(Form1Window& form) {
  Keyboard().Forget();
  form.RouteInput(&Keyboard());
}

int VirtualKeyCode(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return kEnter;
    case Qt::Key_Escape: return kEscape;
    case Qt::Key_Space: return kSpace;
    case Qt::Key_Left: return kLeft;
    case Qt::Key_Up: return kUp;
    case Qt::Key_Right: return kRight;
    case Qt::Key_Down: return kDown;
    default: break;
  }
  // Letters and digits carry their upper-case ASCII codes on both platforms.
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
    return qtKey;
  }
  return 0;
}

bool FullScreenToggleKey(const QKeyEvent& key) {
  if (key.key() == Qt::Key_F11) return true;
  return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
         key.modifiers().testFlag(Qt::AltModifier);
}

void Keys_ReleaseAll() {
  Keyboard().Forget();
  Input_ReleaseEverySource();
  // Outside play the handler leaves the flags alone; every way back into play clears them, so
  // clearing what the last game left changes nothing the rules see. In play they are the
  // game's own (a replay's, say), and every source has just let go of its keys.
  if (Module1.GamePhase != kPlaying) {
    for (char& flag : Module1.KeyFlags) flag = '0';
  }
}

void Window_Deactivated() {
  Form1Window* form = Form1;
  if (form == nullptr || form->Unloaded() || form->Unloading()) return;  // it hides as it closes
  Keys_ReleaseAll();
  // A message box of the game's own is not looking away.
  const QWidget* active = QApplication::activeWindow();
  if (active != nullptr && active != form) return;
  form->SetLookingAway(true);
  if (Module1.GamePhase == kPlaying && Options().PauseWhenInactive) Picture1_KeyDown(kEnter, 0);
}

}  // namespace tarnix
