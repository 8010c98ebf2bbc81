#include "shell/command_line.h"

#include <QCommandLineParser>

#include <cstdio>

#include "shell/version.h"

namespace tarnix {

CommandLine& RunOptions() {
  static CommandLine line;
  return line;
}

std::optional<int> CommandLine_Parse(const QStringList& args) {
  QCommandLineParser parser;
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Show this help and quit."));
  const QCommandLineOption version(QStringLiteral("version"),
                                   QStringLiteral("Show the version and quit."));
  const QCommandLineOption fullscreen(QStringLiteral("fullscreen"),
                                      QStringLiteral("Start in full screen."));
  const QCommandLineOption windowed(QStringLiteral("windowed"),
                                    QStringLiteral("Start in a window."));
  const QCommandLineOption scale(QStringLiteral("scale"),
                                 QStringLiteral("Window size 1-4 for this run."),
                                 QStringLiteral("N"));
  const QCommandLineOption replay(QStringLiteral("replay"),
                                  QStringLiteral("Play the replay in FILE."),
                                  QStringLiteral("FILE"));
  const QCommandLineOption verify(
      QStringLiteral("verify"),
      QStringLiteral("Replay FILE without a window and check its level and score; "
                     "exit status 0 when they match."),
      QStringLiteral("FILE"));
  parser.addOptions({help, version, fullscreen, windowed, scale, replay, verify});
  CommandLine& line = RunOptions();
  line = CommandLine{};
  if (!parser.parse(args)) {
    std::fprintf(stderr, "tarnix: %s\n", qPrintable(parser.errorText()));
    return 2;
  }
  if (parser.isSet(help)) {
    std::printf("%s", qPrintable(parser.helpText()));
    return 0;
  }
  if (parser.isSet(version)) {
    std::printf("Tarnix Ver%s\n", kGameVersion);
    return 0;
  }
  line.FullScreen = parser.isSet(fullscreen);
  line.Windowed = parser.isSet(windowed);
  if (parser.isSet(scale)) {
    bool ok = false;
    line.Scale = parser.value(scale).toInt(&ok);
    if (!ok || line.Scale < 1 || line.Scale > 4) {
      std::fprintf(stderr, "tarnix: --scale takes 1, 2, 3 or 4\n");
      return 2;
    }
  }
  line.Replay = parser.value(replay).toStdString();
  line.Verify = parser.value(verify).toStdString();
  return std::nullopt;
}

}  // namespace tarnix
