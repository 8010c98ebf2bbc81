#include <QCoreApplication>
#include <QMessageBox>

#include "window/form1.h"
#include "core/platform.h"

namespace tarnix {

namespace {

class DialogMessageBoxes final : public MessageBoxes {
 public:
  void Show(const std::string& text, MessageIcon icon) override {
    QMessageBox box(Form1);
    box.setWindowTitle(QCoreApplication::translate("Form1", "タールニックス"));
    box.setText(QString::fromStdString(text));
    box.setIcon(icon == MessageIcon::kCritical      ? QMessageBox::Critical
                : icon == MessageIcon::kInformation ? QMessageBox::Information
                                                    : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
  }
};

}  // namespace

MessageBoxes& RealMessageBoxes() {
  static DialogMessageBoxes boxes;
  return boxes;
}

}  // namespace tarnix
