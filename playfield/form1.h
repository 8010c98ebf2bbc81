// Form1: the game's one window and every control on it.
#pragma once

#include <QMainWindow>

#include <array>
#include <utility>
#include <vector>

#include "playfield/controls.h"

class QAction;
class QMenu;

namespace tarnix {

class Form1Window : public QMainWindow {
  Q_OBJECT

 public:
  Form1Window();
  ~Form1Window() override;

  // Declared parents first: members are destroyed in reverse order, children before parents.
 private:
  QWidget client_;

 public:
  std::array<PictureBox, 6> Picture5;  // stores: flashes 0..2, strips 3..4, title 5
  PictureBox Picture8;                 // high-score panel
  TextBox Text1;
  std::array<Label, 16> Label3;
  std::array<Label, 16> Label4;
  ListBox List2;
  ListBox List1;
  PictureBox Picture1;  // the canvas
  PictureBox Picture6;  // status strip
  PictureBox Picture2;  // player
  std::array<Label, 8> Label1;
  std::array<PictureBox, 5> Picture3;  // bomb sprites
  std::array<Label, 2> Label2;
  PictureBox Picture4;  // sprite sheet

  MenuItem mnuG0, mnuG1, mnuG2, mnuG3;
  MenuItem mnuO0, mnuO1, mnuO2, mnuO3, mnuO4, mnuO5, mnuO6, mnuO7;
  MenuItem mnuH0, mnuH1;
  MenuItem mnuRumble;  // the pad's rumble

  // True once the window has been unloaded: the main loop ends.
  bool Unloaded() const { return unloaded_; }
  void MarkUnloaded() { unloaded_ = true; }
  // While a menu of the menu bar is open the game does not advance.
  int MenusOpen() const { return menusOpen_; }
  // Closes the window through its unload handler.
  void Unload();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void BuildControls();
  void BuildMenus();
  QMenu* AddMenu(QMenu* parent, MenuItem& item, const QString& caption);
  void AddItem(QMenu* menu, MenuItem& item, const QString& caption, void (*handler)(),
               bool checkable = false);
  // `caption` is the Japanese source text, marked with QT_TRANSLATE_NOOP("Form1", ...): the
  // item shows it in the language in force and follows every change of language.
  QMenu* AddMenu(QMenu* parent, MenuItem& item, const char* caption);
  void AddItem(QMenu* menu, MenuItem& item, const char* caption, void (*handler)(),
               bool checkable = false);
  void RetranslateUi();

  std::vector<std::pair<QAction*, const char*>> captions_;
  bool unloaded_ = false;
  int menusOpen_ = 0;
};

// The one window; null before it exists.
extern Form1Window* Form1;

// The platform's virtual-key code for a Qt key, 0 when the game has none for it.
int VirtualKeyCode(int qtKey);

}  // namespace tarnix
