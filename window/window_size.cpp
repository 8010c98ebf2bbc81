// The window's size: every game pixel an N x N block, in a window or full screen.
#include <QGuiApplication>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>

#include <algorithm>
#include <cstdlib>

#include "window/form1.h"
#include "core/run_options.h"
#include "files/options.h"

namespace tarnix {

bool Scale_Fits(int factor, QSize area, QSize extra) {
  return kGameWidth * factor + extra.width() <= area.width() &&
         kGameHeight * factor + extra.height() <= area.height();
}

int Scale_Largest(QSize area, QSize extra) {
  for (int n = kMaxScale; n > 1; --n) {
    if (Scale_Fits(n, area, extra)) return n;
  }
  return 1;
}

int Scale_FirstChoice(QSize area, QSize extra) { return Scale_Largest(area, extra); }

int Scale_FirstRecheck(int chosen, QSize area, QSize extra) {
  return std::min(chosen, Scale_Largest(area, extra));
}

bool Session_FullScreen(const char* desktop) {
  // A handheld's game session shows one window over the whole screen whatever it asks for.
  return desktop != nullptr && QByteArray(desktop).toLower().contains("gamescope");
}

QSize Form1Window::AvailableArea() const {
  const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  return s ? s->availableGeometry().size() : QSize(kGameWidth, kGameHeight);
}

QSize Form1Window::FrameExtra() const {
  const int menu = menuBar()->isVisible() ? menuBar()->height() : menuBar()->sizeHint().height();
  // The frame the desktop draws around the window is known only once it is shown; before, a
  // common title bar and border stand in for it.
  QSize frame(0, 0);
  if (!fullScreen_) frame = isVisible() ? frameGeometry().size() - geometry().size() : kFrameEstimate;
  return QSize(frame.width(), menu + frame.height());
}

void Form1Window::ApplyScale(int n) {
  scale_ = n;
  for (PictureBox* box : {&Picture5[0], &Picture5[1], &Picture5[2], &Picture5[3], &Picture5[4],
                          &Picture5[5], &Picture8, &Picture1, &Picture6, &Picture2, &Picture4}) {
    box->ApplyScale(n);
  }
  for (PictureBox& box : Picture3) box.ApplyScale(n);
  for (auto* labels : {&Label3, &Label4}) {
    for (Label& label : *labels) label.ApplyScale(n);
  }
  for (Label& label : Label1) label.ApplyScale(n);
  for (Label& label : Label2) label.ApplyScale(n);
  // And the labels made later over the canvas: a replay's banner, a race's lead.
  for (Label* label : Picture1.findChildren<Label*>()) label->ApplyScale(n);
  Text1.ApplyScale(n);
  client_.setFixedSize(kGameWidth * n, kGameHeight * n);
  PlaceClient();
}

void Form1Window::PlaceClient() {
  const QSize room = frame_.size();
  client_.move(std::max(0, (room.width() - client_.width()) / 2),
               std::max(0, (room.height() - client_.height()) / 2));
}

void Form1Window::SetWindowScale(int n) {
  firstStartScale_ = 0;  // a size set after the first start's is nobody's guess
  windowScale_ = std::clamp(n, 1, kMaxScale);
  if (fullScreen_) {
    SizeMenu_Refresh();
    return;
  }
  ApplyScale(windowScale_);
  frame_.setFixedSize(client_.size());
  if (layout()) layout()->invalidate();  // the size hint is cached until the layout runs
  setFixedSize(sizeHint());
  SizeMenu_Refresh();
}

void Form1Window::SetFullScreen(bool on) {
  if (on == fullScreen_) return;
  fullScreen_ = on;
  if (on) {
    normalPos_ = pos();
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect whole = s ? s->geometry() : QRect(QPoint(0, 0), AvailableArea());
    ApplyScale(Scale_Largest(whole.size(), QSize(0, menuBar()->sizeHint().height())));
    frame_.setMinimumSize(0, 0);
    frame_.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setWindowState(windowState() | Qt::WindowFullScreen);
    // Without a window manager nobody else makes the window cover the screen.
    setGeometry(whole);
  } else {
    setWindowState(windowState() & ~Qt::WindowFullScreen);
    SetWindowScale(windowScale_);
    move(normalPos_);
  }
  mnuFullScreen.SetChecked(on);
  SizeMenu_Refresh();
}

void Form1Window::SizeMenu_Refresh() {
  const QSize area = AvailableArea();
  const QSize extra = FrameExtra();
  for (int i = 0; i < kMaxScale; ++i) {
    mnuScale[i].SetChecked(i + 1 == windowScale_);
    // A window bigger than the screen would hide part of the well; x1 stays, as the least.
    mnuScale[i].SetEnabled(i == 0 || Scale_Fits(i + 1, area, extra));
  }
}

void Form1Window::ApplyStartSize(QSize area, QSize extra) {
  PortOptions& options = Options();
  const bool first = options.Scale == 0;
  if (first) options.Scale = Scale_FirstChoice(area, extra);
  // A remembered size shrinks to the screen of the day; one asked for on the command line
  // is taken as it is.
  const int scale = RunOptions().Scale != 0
                        ? RunOptions().Scale
                        : std::min(options.Scale, Scale_Largest(area, extra));
  SetWindowScale(scale);
  if (first && RunOptions().Scale == 0) firstStartScale_ = scale;
}

void Form1Window::FrameKnown(QSize area, QSize extra) {
  const int chosen = firstStartScale_;
  firstStartScale_ = 0;
  if (chosen == 0 || fullScreen_ || windowScale_ != chosen) return;
  const int n = Scale_FirstRecheck(chosen, area, extra);
  if (n == chosen) return;
  Options().Scale = n;
  SetWindowScale(n);
  Centre();
}

void Form1Window::FrameCheck() {
  // The desktop's frame is known once the window has been shown and framed.
  if (firstStartScale_ != 0 && isVisible() && frameGeometry().size() != geometry().size()) {
    FrameKnown(AvailableArea(), FrameExtra());
  }
}

bool Form1Window::event(QEvent* event) {
  const bool handled = QMainWindow::event(event);
  switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate: FrameCheck(); break;
    default: break;
  }
  return handled;
}

void Form1Window::Centre() {
  if (const QScreen* s = screen()) {
    const QSize outer = frameGeometry().size();
    move(s->availableGeometry().center() - QPoint(outer.width() / 2, outer.height() / 2));
  }
}

void Form1Window::ApplyStartOptions() {
  PortOptions& options = Options();
  if (options.Scale == 0 && Session_FullScreen(std::getenv("XDG_CURRENT_DESKTOP"))) {
    options.FullScreen = true;
  }
  ApplyStartSize(AvailableArea(), FrameExtra());
  Centre();
  SetFullScreen(RunOptions().FullScreen || (!RunOptions().Windowed && options.FullScreen));
}

}  // namespace tarnix
