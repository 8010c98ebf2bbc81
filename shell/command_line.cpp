#include "shell/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "files/language.h"
#include "core/version.h"

namespace tarnix {

namespace {

struct Option {
  QCommandLineOption option;
  bool listed = true;
};

QString Tr(const char* text) { return QCoreApplication::translate("CommandLine", text); }

// The options with their help in the language in force.
std::vector<Option> Options_List() {
  std::vector<Option> list;
  auto add = [&list](const QStringList& names, const QString& help, const QString& value = {}) {
    list.push_back({QCommandLineOption(names, help, value), true});
  };
  add({QStringLiteral("h"), QStringLiteral("help")},
      Tr(QT_TRANSLATE_NOOP("CommandLine", "このヘルプを表示して終了します。")));
  add({QStringLiteral("version")},
      Tr(QT_TRANSLATE_NOOP("CommandLine", "ゲームの名前とバージョンを表示して終了します。")));
  add({QStringLiteral("fullscreen")},
      Tr(QT_TRANSLATE_NOOP("CommandLine", "フルスクリーンで起動します（今回だけ）。")));
  add({QStringLiteral("windowed")},
      Tr(QT_TRANSLATE_NOOP("CommandLine", "ウィンドウで起動します（今回だけ）。")));
  add({QStringLiteral("scale")},
      Tr(QT_TRANSLATE_NOOP("CommandLine",
                           "画面の大きさ：ゲームの1ドットを N×N に（N は 1～4、今回だけ）。")),
      QStringLiteral("N"));
  add({QStringLiteral("lang")},
      Tr(QT_TRANSLATE_NOOP("CommandLine",
                           "今回の表示言語（%1）。デスクトップの言語より優先します。"))
          .arg(Language_Available().join(QStringLiteral(", "))),
      QStringLiteral("LANG"));
  add({QStringLiteral("replay")},
      Tr(QT_TRANSLATE_NOOP("CommandLine", "リプレイファイル FILE を再生します。")),
      QStringLiteral("FILE"));
  add({QStringLiteral("verify")},
      Tr(QT_TRANSLATE_NOOP("CommandLine",
                           "FILE をウィンドウなしで再生し、レベルとスコアを確かめます"
                           "（一致すれば終了コード 0）。")),
      QStringLiteral("FILE"));
  add({QStringLiteral("stats")},
      Tr(QT_TRANSLATE_NOOP("CommandLine",
                           "FILE をウィンドウなしで再生し、ゲームの成績（爆弾、連鎖、ギフト、"
                           "レベルごとの時間、毎分のスコア）を表示します。")),
      QStringLiteral("FILE"));
  add({QStringLiteral("json")},
      Tr(QT_TRANSLATE_NOOP("CommandLine", "--stats の成績を JSON で表示します。")));
  // Qt's own options reach the application object untouched.
  for (const char* name : {"platform", "display", "style", "qwindowgeometry", "qwindowtitle",
                           "qwindowicon", "platformtheme", "session"}) {
    list.push_back({QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")),
                    false});
  }
  for (const char* name : {"reverse", "nograb", "dograb", "sync"}) {
    list.push_back({QCommandLineOption(QString::fromLatin1(name)), false});
  }
  return list;
}

QString Usage(const std::vector<Option>& options) {
  QString text =
      Tr(QT_TRANSLATE_NOOP("CommandLine", "使い方: %1 [オプション]")).arg(QStringLiteral("tarnix")) +
      u'\n';
  text += Tr(QT_TRANSLATE_NOOP("CommandLine",
                               "タールニックス：せり上がるブロックの井戸に爆弾を落とすアクションパズル。")) +
          QStringLiteral("\n\n");
  text += Tr(QT_TRANSLATE_NOOP("CommandLine", "オプション:")) + u'\n';
  QStringList left;
  int width = 0;
  for (const Option& o : options) {
    if (!o.listed) continue;
    QStringList names;
    for (const QString& name : o.option.names()) {
      names << (name.size() == 1 ? u'-' + name : QStringLiteral("--") + name);
    }
    QString item = QStringLiteral("  ") + names.join(QStringLiteral(", "));
    if (!o.option.valueName().isEmpty()) item += u' ' + o.option.valueName();
    left << item;
    width = std::max(width, static_cast<int>(item.size()));
  }
  int row = 0;
  for (const Option& o : options) {
    if (!o.listed) continue;
    text += left[row++].leftJustified(width + 2) + o.option.description() + u'\n';
  }
  return text;
}

void Print(std::FILE* out, const QString& text) {
  const QByteArray bytes = text.toLocal8Bit();
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), out);
}

int Fail(const QString& error, const QString& usage) {
  Print(stderr, QStringLiteral("tarnix: ") + error + u'\n');
  Print(stderr, usage);
  return 2;
}

void Parser_Setup(QCommandLineParser& parser, const std::vector<Option>& options) {
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  for (const Option& o : options) parser.addOption(o.option);
}

}  // namespace

std::optional<int> CommandLine_Parse(const QStringList& args) {
  CommandLine& line = RunOptions();
  line = CommandLine{};
  // A first reading finds --lang, so that the help and the errors of the second are in the
  // language this run will speak.
  {
    QCommandLineParser first;
    Parser_Setup(first, Options_List());
    first.parse(args);
    if (first.isSet(QStringLiteral("lang"))) {
      line.Lang = first.value(QStringLiteral("lang")).toLower().toStdString();
    }
  }
  Language_Install(Language_Choose(QLocale::system().uiLanguages(), line.Lang));

  const std::vector<Option> options = Options_List();
  const QString usage = Usage(options);
  QCommandLineParser parser;
  Parser_Setup(parser, options);
  if (!parser.parse(args)) return Fail(parser.errorText(), usage);
  if (!parser.positionalArguments().isEmpty()) {
    return Fail(Tr(QT_TRANSLATE_NOOP("CommandLine", "引数 '%1' は使えません。"))
                    .arg(parser.positionalArguments().first()),
                usage);
  }
  if (parser.isSet(QStringLiteral("help"))) {
    Print(stdout, usage);
    return 0;
  }
  if (parser.isSet(QStringLiteral("version"))) {
    Print(stdout, QStringLiteral("Tarnix Ver%1\n").arg(QLatin1String(kGameVersion)));
    return 0;
  }
  if (!line.Lang.empty() && !Language_Available().contains(QString::fromStdString(line.Lang))) {
    return Fail(Tr(QT_TRANSLATE_NOOP("CommandLine", "--lang には %1 のどれかを指定してください。"))
                    .arg(Language_Available().join(QStringLiteral(", "))),
                usage);
  }
  line.FullScreen = parser.isSet(QStringLiteral("fullscreen"));
  line.Windowed = parser.isSet(QStringLiteral("windowed"));
  if (line.FullScreen && line.Windowed) {
    return Fail(Tr(QT_TRANSLATE_NOOP("CommandLine",
                                     "--fullscreen と --windowed は同時には指定できません。")),
                usage);
  }
  if (parser.isSet(QStringLiteral("scale"))) {
    const QString value = parser.value(QStringLiteral("scale"));
    bool ok = false;
    line.Scale = value.toInt(&ok);
    if (!ok || line.Scale < 1 || line.Scale > 4) {
      line.Scale = 0;
      return Fail(Tr(QT_TRANSLATE_NOOP("CommandLine",
                                       "--scale には 1、2、3、4 のどれかを指定してください（'%1' は使えません）。"))
                      .arg(value),
                  usage);
    }
  }
  line.Replay = parser.value(QStringLiteral("replay")).toStdString();
  line.Verify = parser.value(QStringLiteral("verify")).toStdString();
  line.Stats = parser.value(QStringLiteral("stats")).toStdString();
  line.Json = parser.isSet(QStringLiteral("json"));
  return std::nullopt;
}

}  // namespace tarnix

namespace tarnix {

namespace {

struct HeldMessage {
  QtMsgType type;
  QString text;
  QByteArray category;
};

QtMessageHandler& PreviousHandler() {
  static QtMessageHandler handler = nullptr;
  return handler;
}

std::vector<HeldMessage>& HeldMessages() {
  static std::vector<HeldMessage> held;
  return held;
}

void Display_Handler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {
    // Qt's own advice ("reinstalling the application may fix this") misleads: nothing is
    // broken but the session.
    Display_Report();
    std::fflush(stderr);
    std::_Exit(1);
  }
  HeldMessages().push_back({type, text, QByteArray(context.category ? context.category : "")});
}

}  // namespace

bool Display_Named() {
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM").trimmed();
  const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
  const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
  if (platform.isEmpty()) return x11 || wayland;
  if (platform.startsWith("xcb")) return x11;
  if (platform.startsWith("wayland")) return wayland;
  return true;
}

void Display_Report() {
  std::fputs("tarnix: no usable display: neither DISPLAY nor WAYLAND_DISPLAY leads to a "
             "running desktop session, so the game cannot open its window.\n",
             stderr);
}

void Display_GuardBegin() {
  HeldMessages().clear();
  PreviousHandler() = qInstallMessageHandler(Display_Handler);
}

void Display_GuardEnd() {
  qInstallMessageHandler(PreviousHandler());
  std::vector<HeldMessage> held;
  held.swap(HeldMessages());
  for (const HeldMessage& m : held) {
    const QMessageLogContext context(nullptr, 0, nullptr, m.category.constData());
    qt_message_output(m.type, context, m.text);
  }
}

}  // namespace tarnix
