// What any Qt Widgets window costs on this machine, for comparison with the game's memory:
// a window of the game's size with a menu bar of three Japanese captions and a label, drawn,
// then its resident memory. scripts/measure.sh runs it under the same Xvfb as the game.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QMainWindow window;
  for (const char* caption : {"ゲーム(&G)", "オプション(&O)", "ヘルプ(&H)"}) {
    window.menuBar()->addMenu(QString::fromUtf8(caption))->addAction(QStringLiteral("-"));
  }
  window.setCentralWidget(new QLabel(QStringLiteral("Score")));
  window.resize(264, 344);
  window.show();
  QTimer::singleShot(1500, [&app] {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
      if (line.rfind("VmRSS:", 0) == 0) std::printf("floor_rss_kb %ld\n", std::stol(line.substr(6)));
    }
    app.quit();
  });
  return app.exec();
}
