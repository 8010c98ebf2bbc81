#include "shell/signals.h"

#include <SDL_hints.h>

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QWidget>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "window/form1.h"
#include "shell/shell.h"

namespace tarnix {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

int g_pipe[2] = {-1, -1};
struct sigaction g_previous[3];
QSocketNotifier* g_notifier = nullptr;
bool g_pending = false;
bool g_installed = false;

// A signal handler may only write to a pipe; the event loop reads it.
extern "C" void Signal_Caught(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = write(g_pipe[1], &byte, 1);
  errno = saved;
}

void Signal_Read() {
  char bytes[16];
  while (read(g_pipe[0], bytes, sizeof bytes) > 0) {
  }
  Quit_FromOutside();
}

}  // namespace

void Signals_Install() {
  // SDL would otherwise turn these signals into quit events that nobody reads.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (g_pipe[0] < 0 && pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  if (!g_installed) {
    struct sigaction action {};
    action.sa_handler = Signal_Caught;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &action, &g_previous[i]);
    g_installed = true;
  }
  // A signal that came before the event loop waits in the pipe until it is read.
  if (!g_notifier && QCoreApplication::instance()) {
    g_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(g_notifier, &QSocketNotifier::activated, qApp, [] { Signal_Read(); });
  }
}

void Signals_EndAtOnce() {
  for (const int signal : {SIGTERM, SIGINT}) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
  }
}

void Signals_Uninstall() {
  if (g_installed) {
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &g_previous[i], nullptr);
  }
  g_installed = false;
  delete g_notifier;
  g_notifier = nullptr;
  g_pending = false;
}

bool Quit_Pending() { return g_pending; }

void Quit_FromOutside() {
  // An open menu or message box would wait for a player who has gone: close them first.
  for (int i = 0; i < 16; ++i) {
    QWidget* popup = QApplication::activePopupWidget();
    if (popup == nullptr || !popup->close()) break;
  }
  for (int i = 0; i < 16; ++i) {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) break;
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    if (modal->isVisible() && !modal->close()) break;
  }
  if (Form1 == nullptr || !Form1->Loaded()) {
    g_pending = true;
    return;
  }
  g_pending = false;
  if (!Form1->Unloaded()) mnuG3_Click();
}

}  // namespace tarnix
