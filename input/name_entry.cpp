// The name box without a keyboard: up and down turn the character under the cursor, right
// and A move on, left and B take back, Start enters the name. The character being turned is
// the selected one; a caret at the end is an empty place.
#include <QString>

#include "core/doors.h"
#include "core/keys.h"
#include "input/input.h"
#include "window/form1.h"

namespace tarnix {

namespace {

const QString kTurn = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .-!?&");

void Place(TextBox& box, int position) {
  if (position < box.text().size()) {
    box.setSelection(position, 1);
  } else {
    box.setCursorPosition(position);
  }
}

void Turn(TextBox& box, int position, int step) {
  QString name = box.text();
  const int n = static_cast<int>(kTurn.size());
  if (position < name.size()) {
    const int at = static_cast<int>(kTurn.indexOf(name[position]));
    // A character typed on the keyboard that is not on the wheel starts from either end.
    const int next = at < 0 ? (step > 0 ? 0 : n - 1) : (at + step + n) % n;
    name[position] = kTurn[next];
  } else if (name.size() < box.maxLength()) {
    name.append(kTurn[step > 0 ? 0 : n - 1]);
  } else {
    return;
  }
  box.setText(name);
  Place(box, position);
}

void TakeBack(TextBox& box, int position) {
  QString name = box.text();
  if (position >= name.size()) {
    if (position == 0) return;
    name.remove(position - 1, 1);
    position -= 1;
  } else {
    name.remove(position, 1);
    if (position > 0) position -= 1;
  }
  box.setText(name);
  Place(box, position);
}

}  // namespace

void NameEntry_PadKey(Long keyCode) {
  TextBox& box = Form1->Text1;
  const int position = box.hasSelectedText() ? box.selectionStart() : box.cursorPosition();
  switch (keyCode) {
    case kUp: Turn(box, position, 1); break;
    case kDown: Turn(box, position, -1); break;
    case kRight:
    case kKeyZ:
      if (position < box.text().size() && position + 1 < box.maxLength()) Place(box, position + 1);
      break;
    case kLeft:
    case kKeyX: TakeBack(box, position); break;
    case kEnter: Text1_KeyDown(kEnter, 0); break;
    default: break;
  }
}

}  // namespace tarnix
