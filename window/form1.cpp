#include "window/form1.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

#include "core/doors.h"
#include "core/hooks.h"
#include "files/options.h"

namespace tarnix {

Form1Window* Form1 = nullptr;

namespace {

constexpr QRgb kBlack = 0x000000;
constexpr QRgb kRed = 0xFF0000;
constexpr QRgb kYellow = 0xFFFF00;
constexpr QRgb kOlive = 0x808000;

const QString kTenA = QStringLiteral("ああああああああああ");

const char* const kWindowTitle = QT_TRANSLATE_NOOP("Form1", "タールニックス");

// The window's answers to the settings file and the sound, which sit below it.
bool Sound_Ticked() { return Form1 != nullptr && Form1->mnuO1.Checked(); }

void Sound_SetTicked(bool on) {
  if (Form1 != nullptr) Form1->mnuO1.SetChecked(on);
}

void Sound_Unavailable() {
  if (Form1 == nullptr) return;
  Form1->mnuO1.SetChecked(false);
  Form1->mnuO1.SetEnabled(false);
}

int Wait_Ticked() {
  if (Form1 == nullptr) return -1;
  const MenuItem* waits[] = {&Form1->mnuO4, &Form1->mnuO5, &Form1->mnuO6, &Form1->mnuO7};
  for (int i = 0; i < 4; ++i) {
    if (waits[i]->Checked()) return i;
  }
  return -1;
}

}  // namespace

Form1Window::Form1Window() {
  Form1 = this;
  Hooks& hooks = Hook();
  hooks.SoundTicked = Sound_Ticked;
  hooks.SetSoundTicked = Sound_SetTicked;
  hooks.SoundUnavailable = Sound_Unavailable;
  hooks.WaitItemTicked = Wait_Ticked;
  QApplication::setFont(InterfaceFont(QApplication::font()));
  setWindowTitle(QCoreApplication::translate("Form1", kWindowTitle));
  // The sizes a title bar or a task switcher asks for; the launcher's larger ones come from
  // the installed icon theme. Read as PNG, so that no image plugin is loaded to guess.
  QIcon icon;
  for (const char* size : {"16", "32", "48", "128"}) {
    icon.addPixmap(QPixmap::fromImage(
        QImage(QStringLiteral(":/pictures/icon_%1.png").arg(QLatin1String(size)), "PNG")));
  }
  setWindowIcon(icon);
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  client_.setParent(&frame_);
  client_.setFixedSize(kGameWidth, kGameHeight);
  frame_.setFixedSize(kGameWidth, kGameHeight);
  QPalette black = frame_.palette();
  black.setColor(QPalette::Window, Qt::black);
  frame_.setPalette(black);
  frame_.setAutoFillBackground(true);
  frame_.installEventFilter(this);
  setCentralWidget(&frame_);
  BuildControls();
  BuildMenus();
  LoadStoredPictures();
  setFixedSize(sizeHint());
  if (const QScreen* s = screen()) {
    move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
  }
}

Form1Window::~Form1Window() {
  // A focused canvas sends itself a focus-out while it is destroyed; the game's handler
  // must not run on a half-destroyed window.
  for (QObject* filter : inputFilters_) {
    for (QObject* watched : std::initializer_list<QObject*>{this, &Picture1, &Text1}) {
      watched->removeEventFilter(filter);
    }
  }
  frame_.removeEventFilter(this);
  if (Form1 == this) Form1 = nullptr;
  Hooks& hooks = Hook();
  hooks.SoundTicked = nullptr;
  hooks.SetSoundTicked = nullptr;
  hooks.SoundUnavailable = nullptr;
  hooks.WaitItemTicked = nullptr;
}

void Form1Window::BuildControls() {
  QWidget* form = &client_;
  Picture5[5].Setup(form, 40, 456, 264, 324, kBlack, false);
  Picture5[4].Setup(form, 32, 448, 264, 36, kBlack, false);
  Picture5[3].Setup(form, 24, 440, 264, 60, kBlack, false);
  Picture8.Setup(form, 0, 0, 264, 324, kBlack, false);
  Text1.Setup(&Picture8, 68, 71, 164, 16);
  for (int k = 0; k < 5; ++k) {
    const int i = 3 * k;
    const int y = 72 + 40 * k;
    for (int s = 1; s >= 0; --s) {  // shadow first, so the front label lies over it
      auto& labels = s ? Label4 : Label3;
      const QRgb color = s ? kOlive : kYellow;
      labels[i].Setup(&Picture8, 70 + s, y + s, 161, 16, 16, color, Qt::AlignLeft, kTenA, true);
      labels[i + 1].Setup(&Picture8, 95 + s, y + 16 + s, 19, 16, 16, color, Qt::AlignRight,
                          QStringLiteral("00"), true);
      labels[i + 2].Setup(&Picture8, 176 + s, y + 16 + s, 55, 16, 16, color, Qt::AlignRight,
                          QStringLiteral("000000"), true);
    }
  }
  Label4[15].Setup(&Picture8, 72, 280, 161, 16, 16, kOlive, Qt::AlignRight, kTenA, true);
  Label3[15].Setup(&Picture8, 71, 279, 161, 16, 16, kYellow, Qt::AlignRight, kTenA, true);
  Text1.raise();

  Picture5[2].Setup(form, 16, 432, 120, 120, kBlack, false);
  Picture5[1].Setup(form, 8, 424, 120, 72, kBlack, false);
  Picture5[0].Setup(form, 0, 416, 24, 168, kBlack, false);
  Picture1.Setup(form, 0, 0, 264, 324, kBlack, true);
  Picture1.setFocusPolicy(Qt::StrongFocus);
  Picture6.Setup(&Picture1, 0, 0, 264, 60, kBlack, true, /*autoSize=*/true);
  Picture2.Setup(&Picture6, 0, 32, 24, 24, kBlack, false);
  struct Field { int left, width; const char* caption; };
  const Field fields[] = {{56, 55, "000000"}, {140, 19, "00"}, {180, 28, "000"}, {229, 28, "000"}};
  for (int f = 0; f < 4; ++f) {
    Label1[2 * f + 1].Setup(&Picture6, fields[f].left + 1, 5, fields[f].width, 16, 16, kOlive,
                            Qt::AlignRight, QString::fromLatin1(fields[f].caption), true);
    Label1[2 * f].Setup(&Picture6, fields[f].left, 4, fields[f].width, 16, 16, kYellow,
                        Qt::AlignRight, QString::fromLatin1(fields[f].caption), true);
  }
  for (int i = 0; i < 5; ++i) Picture3[i].Setup(&Picture1, 16 * i, 192, 12, 12, kRed, false);
  // The message box of the original was 63 pixels wide around x 131; substitute fonts set
  // "Game Over" wider than that, so the pair keeps the centre and gets room on both sides.
  Label2[1].Setup(&Picture1, 73, 153, 119, 21, 21, kOlive, Qt::AlignHCenter,
                  QStringLiteral("Pause"), false);
  Label2[0].Setup(&Picture1, 72, 152, 119, 21, 21, kYellow, Qt::AlignHCenter,
                  QStringLiteral("Pause"), false);
  Picture4.Setup(form, 0, 328, 240, 168, kBlack, false);

  Picture8.raise();  // the panel hides the canvas while it is shown
}

QMenu* Form1Window::AddMenu(QMenu* parent, MenuItem& item, const QString& caption) {
  QMenu* menu = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
  item.Attach(menu->menuAction());
  connect(menu, &QMenu::aboutToShow, this, [this] { ++menusOpen_; });
  connect(menu, &QMenu::aboutToHide, this, [this] { --menusOpen_; });
  return menu;
}

void Form1Window::AddItem(QMenu* menu, MenuItem& item, const QString& caption,
                          void (*handler)(), bool checkable) {
  QAction* action = menu->addAction(caption);
  action->setCheckable(checkable);
  item.Attach(action);
  connect(action, &QAction::triggered, this, [&item, handler] {
    item.SetChecked(item.Checked());  // the tick is the handler's to change, not the click's
    handler();
  });
}

QMenu* Form1Window::AddMenu(QMenu* parent, MenuItem& item, const char* caption) {
  QMenu* menu = AddMenu(parent, item, QCoreApplication::translate("Form1", caption));
  captions_.emplace_back(menu->menuAction(), caption);
  return menu;
}

void Form1Window::AddItem(QMenu* menu, MenuItem& item, const char* caption, void (*handler)(),
                          bool checkable) {
  AddItem(menu, item, QCoreApplication::translate("Form1", caption), handler, checkable);
  captions_.emplace_back(item.Action(), caption);
}

void Form1Window::BuildMenus() {
  QMenu* game = AddMenu(nullptr, mnuG0, QT_TRANSLATE_NOOP("Form1", "ゲーム(&G)"));
  connect(game, &QMenu::aboutToShow, this, [] { mnuG0_Click(); });
  AddItem(game, mnuG1, QT_TRANSLATE_NOOP("Form1", "タイトルへ戻る(&T)"), mnuG1_Click);
  mnuG2.Attach(game->addSeparator());
  AddItem(game, mnuG3, QT_TRANSLATE_NOOP("Form1", "タールニックスの終了(&X)"), mnuG3_Click);

  QMenu* options = AddMenu(nullptr, mnuO0, QT_TRANSLATE_NOOP("Form1", "オプション(&O)"));
  AddItem(options, mnuO1, QT_TRANSLATE_NOOP("Form1", "効果音(&S)"), mnuO1_Click, true);
  mnuO2.Attach(options->addSeparator());
  QMenu* wait = AddMenu(options, mnuO3, QT_TRANSLATE_NOOP("Form1", "ウエイト(&W)"));
  AddItem(wait, mnuO4, QT_TRANSLATE_NOOP("Form1", "なし(&1)"), mnuO4_Click, true);
  AddItem(wait, mnuO5, QT_TRANSLATE_NOOP("Form1", "軽い(&2)"), mnuO5_Click, true);
  AddItem(wait, mnuO6, QT_TRANSLATE_NOOP("Form1", "普通(&3)"), mnuO6_Click, true);
  AddItem(wait, mnuO7, QT_TRANSLATE_NOOP("Form1", "重い(&4)"), mnuO7_Click, true);
  BuildPortMenus(options);
  AddItem(options, mnuRumble, QT_TRANSLATE_NOOP("Form1", "振動"), mnuRumble_Click, true);
  AddItem(options, mnuDemo, QT_TRANSLATE_NOOP("Form1", "タイトルでデモ"), mnuDemo_Click, true);
  AddItem(options, mnuBombMarks, QT_TRANSLATE_NOOP("Form1", "爆弾に印を付ける"),
          mnuBombMarks_Click, true);
  AddItem(options, mnuGentleFlashes, QT_TRANSLATE_NOOP("Form1", "閃光を控えめに"),
          mnuGentleFlashes_Click, true);

  QMenu* help = AddMenu(nullptr, mnuH0, QT_TRANSLATE_NOOP("Form1", "ヘルプ(&H)"));
  AddItem(help, mnuH1, QT_TRANSLATE_NOOP("Form1", "Ｒｅａｄｍｅ参照(&R)"), mnuH1_Click);
}

void Form1Window::RetranslateUi() {
  setWindowTitle(QCoreApplication::translate("Form1", kWindowTitle));
  for (const auto& [action, caption] : captions_) {
    action->setText(QCoreApplication::translate("Form1", caption));
  }
}

void Form1Window::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) RetranslateUi();
  QMainWindow::changeEvent(event);
}

void Form1Window::BuildPortMenus(QMenu* options) {
  options->addSeparator();
  AddItem(options, mnuPauseInactive, QT_TRANSLATE_NOOP("Form1", "非アクティブ時に一時停止"),
          mnuPauseInactive_Click, true);
  mnuPauseInactive.SetChecked(Options().PauseWhenInactive);
  QMenu* size = AddMenu(options, mnuSize, QT_TRANSLATE_NOOP("Form1", "画面の大きさ"));
  connect(size, &QMenu::aboutToShow, this, [this] { SizeMenu_Refresh(); });
  static void (*const kScaleHandlers[kMaxScale])() = {mnuScale1_Click, mnuScale2_Click,
                                                      mnuScale3_Click, mnuScale4_Click};
  for (int i = 0; i < kMaxScale; ++i) {
    AddItem(size, mnuScale[i], QStringLiteral("×%1").arg(i + 1), kScaleHandlers[i], true);
  }
  size->addSeparator();
  AddItem(size, mnuFullScreen, QT_TRANSLATE_NOOP("Form1", "全画面表示"), mnuFullScreen_Click,
          true);
  mnuFullScreen.Action()->setShortcut(QKeySequence(Qt::Key_F11));
  // F11 and Alt+Enter reach the window through its key filter; the menu only shows F11.
  mnuFullScreen.Action()->setShortcutContext(Qt::WidgetShortcut);
}

void Form1Window::Unload() { close(); }

void Form1Window::RouteInput(QObject* filter) {
  for (QObject* watched : std::initializer_list<QObject*>{this, &Picture1, &Text1}) {
    watched->installEventFilter(filter);
  }
  inputFilters_.push_back(filter);
}

bool Form1Window::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &frame_ && event->type() == QEvent::Resize) {
    PlaceClient();
  }
  return QMainWindow::eventFilter(watched, event);
}

void Form1Window::closeEvent(QCloseEvent* event) {
  // A second request while the first is still saving (a message box is open) must not
  // save again.
  if (!unloaded_ && !unloading_) {
    unloading_ = true;
    Long cancel = 0;
    Form_Unload(cancel);
    unloaded_ = true;
  }
  event->accept();
}

}  // namespace tarnix
