// The machine's message boxes: one OK button, the game's title, the icon asked for.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "core/platform.h"
#include "support/fixture.h"

namespace tarnix::testing {
namespace {

struct SeenBox {
  bool found = false;
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  int buttonCount = 0;
  bool modal = false;
  QWidget* parent = nullptr;
};

class MessagesTest : public GameTest {
 protected:
  // Shows a real box and, from inside its own event loop, looks at it and presses OK.
  SeenBox ShowAndLook(const std::string& text, MessageIcon icon) {
    SeenBox seen;
    QTimer::singleShot(0, [&seen] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box || !box->isVisible()) continue;
        seen.found = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.buttonCount = static_cast<int>(box->buttons().size());
        seen.modal = box->isModal();
        seen.parent = box->parentWidget();
        box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->reject();
      }
    });
    RealMessageBoxes().Show(text, icon);
    return seen;
  }
};

TEST_F(MessagesTest, OneOkButtonTheGamesTitleAndTheIcon) {
  const std::pair<MessageIcon, QMessageBox::Icon> icons[] = {
      {MessageIcon::kNone, QMessageBox::NoIcon},
      {MessageIcon::kInformation, QMessageBox::Information},
      {MessageIcon::kCritical, QMessageBox::Critical}};
  for (const auto& [icon, expected] : icons) {
    const SeenBox seen = ShowAndLook("Readmeファイルが見つからないため参照できません。", icon);
    ASSERT_TRUE(seen.found) << "the box is on screen while Show waits";
    EXPECT_EQ(seen.title, QStringLiteral("タールニックス"));
    EXPECT_EQ(seen.text, QStringLiteral("Readmeファイルが見つからないため参照できません。"));
    EXPECT_EQ(seen.icon, expected);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(seen.buttonCount, 1);
    EXPECT_TRUE(seen.modal) << "the game waits for the box";
    EXPECT_EQ(seen.parent, &form()) << "the box belongs to the game's window";
  }
}

TEST_F(MessagesTest, TwoLineMessageKeepsItsLineBreak) {
  const SeenBox seen = ShowAndLook("first line\nsecond line", MessageIcon::kInformation);
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.text, QStringLiteral("first line\nsecond line"));
}

}  // namespace
}  // namespace tarnix::testing
