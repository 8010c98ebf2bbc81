#include "shell/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLocale>

#include <cstdio>

#include "shell/language.h"
#include "shell/version.h"

namespace tarnix {

namespace {

// The options with their help in the language in force.
void Options_Add(QCommandLineParser& parser) {
  parser.addOptions({
      {{QStringLiteral("h"), QStringLiteral("help")},
       QCoreApplication::translate("CommandLine", "このヘルプを表示して終了します。")},
      {QStringLiteral("version"),
       QCoreApplication::translate("CommandLine", "バージョンを表示して終了します。")},
      {QStringLiteral("fullscreen"),
       QCoreApplication::translate("CommandLine", "フルスクリーンで起動します。")},
      {QStringLiteral("windowed"),
       QCoreApplication::translate("CommandLine", "ウィンドウで起動します。")},
      {QStringLiteral("scale"),
       QCoreApplication::translate("CommandLine", "今回のウィンドウの大きさ（1～4倍）。"),
       QStringLiteral("N")},
      {QStringLiteral("lang"),
       QCoreApplication::translate("CommandLine",
                                   "今回の表示言語（%1）。デスクトップの言語より優先します。")
           .arg(Language_Available().join(QStringLiteral(", "))),
       QStringLiteral("LANG")},
      {QStringLiteral("replay"),
       QCoreApplication::translate("CommandLine", "リプレイファイル FILE を再生します。"),
       QStringLiteral("FILE")},
      {QStringLiteral("verify"),
       QCoreApplication::translate("CommandLine",
                                   "FILE をウィンドウなしで再生し、レベルとスコアを確かめます"
                                   "（一致すれば終了コード 0）。"),
       QStringLiteral("FILE")},
  });
}

}  // namespace

CommandLine& RunOptions() {
  static CommandLine line;
  return line;
}

std::optional<int> CommandLine_Parse(const QStringList& args) {
  CommandLine& line = RunOptions();
  line = CommandLine{};
  // A first reading finds --lang, so that the help and the errors of the second are in the
  // language this run will speak.
  {
    QCommandLineParser first;
    Options_Add(first);
    first.parse(args);
    if (first.isSet(QStringLiteral("lang"))) {
      line.Lang = first.value(QStringLiteral("lang")).toLower().toStdString();
    }
  }
  Language_Install(Language_Choose(QLocale::system().uiLanguages(), line.Lang));

  QCommandLineParser parser;
  Options_Add(parser);
  if (!parser.parse(args)) {
    std::fprintf(stderr, "tarnix: %s\n", qPrintable(parser.errorText()));
    return 2;
  }
  if (parser.isSet(QStringLiteral("help"))) {
    std::printf("%s", qPrintable(parser.helpText()));
    return 0;
  }
  if (parser.isSet(QStringLiteral("version"))) {
    std::printf("Tarnix Ver%s\n", kGameVersion);
    return 0;
  }
  if (!line.Lang.empty() && !Language_Available().contains(QString::fromStdString(line.Lang))) {
    std::fprintf(stderr, "tarnix: %s\n",
                 qPrintable(QCoreApplication::translate(
                                "CommandLine", "--lang には %1 のどれかを指定してください。")
                                .arg(Language_Available().join(QStringLiteral(", ")))));
    return 2;
  }
  line.FullScreen = parser.isSet(QStringLiteral("fullscreen"));
  line.Windowed = parser.isSet(QStringLiteral("windowed"));
  if (parser.isSet(QStringLiteral("scale"))) {
    bool ok = false;
    line.Scale = parser.value(QStringLiteral("scale")).toInt(&ok);
    if (!ok || line.Scale < 1 || line.Scale > 4) {
      std::fprintf(stderr, "tarnix: %s\n",
                   qPrintable(QCoreApplication::translate(
                       "CommandLine", "--scale には 1、2、3、4 のどれかを指定してください。")));
      return 2;
    }
  }
  line.Replay = parser.value(QStringLiteral("replay")).toStdString();
  line.Verify = parser.value(QStringLiteral("verify")).toStdString();
  return std::nullopt;
}

}  // namespace tarnix
