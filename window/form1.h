// Form1: the game's one window and every control on it.
#pragma once

#include <QMainWindow>

#include <QSize>

#include <array>
#include <utility>
#include <vector>

#include "window/controls.h"

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
  QWidget frame_;   // black around the game in full screen
  QWidget client_;  // the game's area: 264 x 324 game pixels

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
  // The port's own items, after the original's.
  MenuItem mnuPauseInactive;
  MenuItem mnuSize;
  std::array<MenuItem, 4> mnuScale;  // x1 .. x4
  MenuItem mnuFullScreen;
  MenuItem mnuRumble;  // the pad's rumble
  MenuItem mnuDemo;    // a replay on the title when nobody plays
  MenuItem mnuBombMarks;      // red and blue bombs told apart by shape
  MenuItem mnuGentleFlashes;  // fewer, softer explosion flashes

  // True once the window has been unloaded: the main loop ends.
  bool Unloaded() const { return unloaded_; }
  void MarkUnloaded() { unloaded_ = true; }
  // While a menu of the menu bar is open the game does not advance.
  int MenusOpen() const { return menusOpen_; }
  // The player is in another window: what a gamepad presses meanwhile is not for the game,
  // as the keyboard's keys are not. The keyboard source notices it.
  bool LookingAway() const { return lookingAway_; }
  void SetLookingAway(bool away) { lookingAway_ = away; }
  // True from the start of the unload handler until the window has closed.
  bool Unloading() const { return unloading_; }
  // Hands the canvas's, the name box's and the window's own events to `filter` first: the
  // input sources translate them into the doors' calls. Undone when the window goes.
  void RouteInput(QObject* filter);
  // Closes the window through its unload handler.
  void Unload();
  // True once start-up has finished loading the window.
  bool Loaded() const { return loaded_; }
  void MarkLoaded() { loaded_ = true; }

  // The factor every game pixel is drawn at now (the window's, or full screen's).
  int Scale() const { return scale_; }
  // The window's factor when it is not full screen.
  int WindowScale() const { return windowScale_; }
  void SetWindowScale(int n);
  bool FullScreen() const { return fullScreen_; }
  void SetFullScreen(bool on);
  // The size and full screen for this run, from the command line, then tarnix.conf, then
  // the screen; called once before the window is shown.
  void ApplyStartOptions();
  // The size part of it, for a screen whose free area is `area` with the window adding
  // `extra` around the game (an estimate of the frame, before it is shown).
  void ApplyStartSize(QSize area, QSize extra);
  // The desktop's real frame is known: a size the first start guessed steps down until the
  // window fits. Once, and never over a size the player or the command line chose.
  void FrameKnown(QSize area, QSize extra);
  // The screen's area a window may take, and what the window adds around the game.
  QSize AvailableArea() const;
  QSize FrameExtra() const;
  // Ticks the remembered size and disables the ones that do not fit.
  void SizeMenu_Refresh();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void ApplyScale(int n);
  void PlaceClient();
  void Centre();
  void FrameCheck();
  void BuildPortMenus(QMenu* options);
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
  bool unloading_ = false;
  bool loaded_ = false;
  int menusOpen_ = 0;
  bool lookingAway_ = false;
  int scale_ = 1;
  int windowScale_ = 1;
  int firstStartScale_ = 0;  // the first start's size, until the frame is known
  bool fullScreen_ = false;
  QPoint normalPos_;
  std::vector<QObject*> inputFilters_;
};

// The one window; null before it exists.
extern Form1Window* Form1;

// Fills the store boxes with the stored pictures.
void LoadStoredPictures();
// The bombs with their marks (tools/ draws the layout): the sheet's bomb row at y 0, then
// the figure carrying a marked bomb, 10 frames a row, from kMarksFigureRow: red facing
// right, red facing left, blue facing right, blue facing left. Null when missing.
const QImage& BombMarks_Picture();
inline constexpr int kBombRow = 72;  // the bombs' row in the sprite sheet
inline constexpr int kMarksFigureRow = 12;
inline constexpr int kStockIconX[2] = {166, 215};
inline constexpr int kStockIconY = 6;
// Puts the marked bombs (or the unmarked ones) into the sheet and the stock icons of the
// strips, and into the strip on screen.
void BombMarks_Apply(bool on);

// The game's area in game pixels, and the largest whole factor offered.
inline constexpr int kGameWidth = 264;
inline constexpr int kGameHeight = 324;
inline constexpr int kMaxScale = 4;
// Whether the game at `factor`, with `extra` around it (menu bar, frame), fits in `area`.
bool Scale_Fits(int factor, QSize area, QSize extra);
// The largest factor that fits; 1 when none does.
int Scale_Largest(QSize area, QSize extra);
// The first start's size: the largest whose window, frame included, fits the screen's area.
int Scale_FirstChoice(QSize area, QSize extra);
// The same once the real frame is known: never larger than what was chosen.
int Scale_FirstRecheck(int chosen, QSize area, QSize extra);
// The frame a desktop commonly draws around a window (title bar, borders), until it is known.
inline constexpr QSize kFrameEstimate(8, 34);
// Whether the session (the desktop's name) shows every game full screen; the first start then
// opens full screen, at the largest factor.
bool Session_FullScreen(const char* desktop);

}  // namespace tarnix
