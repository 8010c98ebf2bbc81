#include "shell/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "files/language.h"
#include "files/options.h"
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
                           "（一致すれば終了コード 0、打ち切られた記録がそこまで一致すれば 3）。")),
      QStringLiteral("FILE"));
  add({QStringLiteral("stats")},
      Tr(QT_TRANSLATE_NOOP("CommandLine",
                           "FILE をウィンドウなしで再生し、ゲームの成績（爆弾、連鎖、ギフト、"
                           "レベルごとの時間、毎分のスコア）を表示します。")),
      QStringLiteral("FILE"));
  add({QStringLiteral("json")},
      Tr(QT_TRANSLATE_NOOP("CommandLine", "--stats の成績を JSON で表示します。")));
  add({QStringLiteral("export")},
      Tr(QT_TRANSLATE_NOOP("CommandLine",
                           "後に続くリプレイファイルを、ウィンドウなしで音つきの動画 FILE.webm（VP9 と "
                           "Opus）にします。大きさは --scale N（既定は 2）。")),
      QStringLiteral("FILE.webm"));
  add({QStringLiteral("mute")},
      Tr(QT_TRANSLATE_NOOP("CommandLine", "--export の動画に音を入れません。")));
  add({QStringLiteral("world-table")},
      Tr(QT_TRANSLATE_NOOP("CommandLine",
                           "ワールドランキングのアドレス（http://ホスト:ポート）。今回だけ、"
                           "設定画面のアドレスに代わって使います。")),
      QStringLiteral("URL"));
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

// What Qt's own -platform and -display options said, for the check for a display.
struct QtOptions {
  QString platform;
  QString display;
  bool platformSet = false;
  bool displaySet = false;
};
QtOptions& GivenToQt() {
  static QtOptions given;
  return given;
}

// The no-display line, put into the run's language while its catalog is in force: by the
// time it is needed the catalog may be gone.
QByteArray& NoDisplayLine() {
  static QByteArray line;
  return line;
}

void NoDisplay_Prepare() {
  NoDisplayLine() =
      (QStringLiteral("tarnix: ") +
       Tr(QT_TRANSLATE_NOOP("CommandLine",
                            "使える画面がありません。DISPLAY も WAYLAND_DISPLAY も（-display も）"
                            "動いているデスクトップにつながらないため、ウィンドウを開けません。")) +
       u'\n')
          .toLocal8Bit();
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
  NoDisplay_Prepare();

  const std::vector<Option> options = Options_List();
  const QString usage = Usage(options);
  QCommandLineParser parser;
  Parser_Setup(parser, options);
  if (!parser.parse(args)) return Fail(parser.errorText(), usage);
  // --export alone takes the replay as its one argument.
  const QStringList positional = parser.positionalArguments();
  const bool exporting = parser.isSet(QStringLiteral("export"));
  if (positional.size() > (exporting ? 1 : 0)) {
    return Fail(Tr(QT_TRANSLATE_NOOP("CommandLine", "引数 '%1' は使えません。"))
                    .arg(positional.at(exporting ? 1 : 0)),
                usage);
  }
  if (exporting && positional.isEmpty()) {
    return Fail(Tr(QT_TRANSLATE_NOOP("CommandLine",
                                     "--export には動画にするリプレイファイルを続けてください。")),
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
  // An empty value is a mistake (a script's unset variable), never "the default".
  for (const Option& o : options) {
    const QString name = o.option.names().constFirst();
    if (o.option.valueName().isEmpty() || !parser.isSet(name)) continue;
    if (parser.values(name).contains(QString())) {
      return Fail(Tr(QT_TRANSLATE_NOOP("CommandLine", "%1 に空の値は指定できません。"))
                      .arg((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name),
                  usage);
    }
  }
  QtOptions& qt = GivenToQt();
  qt = QtOptions{parser.value(QStringLiteral("platform")), parser.value(QStringLiteral("display")),
                 parser.isSet(QStringLiteral("platform")), parser.isSet(QStringLiteral("display"))};
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
  line.Replay = CommandLine_Bytes(parser.value(QStringLiteral("replay")));
  line.Verify = CommandLine_Bytes(parser.value(QStringLiteral("verify")));
  line.Stats = CommandLine_Bytes(parser.value(QStringLiteral("stats")));
  line.Json = parser.isSet(QStringLiteral("json"));
  line.Export = CommandLine_Bytes(parser.value(QStringLiteral("export")));
  if (exporting) line.ExportReplay = CommandLine_Bytes(positional.first());
  line.Mute = parser.isSet(QStringLiteral("mute"));
  const std::optional<std::string> address =
      Options_WorldAddress(parser.value(QStringLiteral("world-table")).toStdString());
  if (address) line.WorldTable = *address;
  if (!address) {
    return Fail(Tr(QT_TRANSLATE_NOOP("CommandLine", "--world-table の '%1' はアドレスではありません。"))
                    .arg(parser.value(QStringLiteral("world-table"))),
                usage);
  }
  return std::nullopt;
}

// A byte that is not part of UTF-8 becomes the lone surrogate U+DC80..U+DCFF, which no
// valid text holds, so that the bytes come back exactly.
QStringList CommandLine_Arguments(int argc, char** argv) {
  QStringList args;
  for (int i = 0; i < argc; ++i) {
    const auto* p = reinterpret_cast<const unsigned char*>(argv[i]);
    const std::size_t size = std::strlen(argv[i]);
    QString arg;
    for (std::size_t at = 0; at < size;) {
      const unsigned char lead = p[at];
      const int length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2
                                         : lead >= 0xE0 && lead < 0xF0 ? 3
                                         : lead >= 0xF0 && lead < 0xF5 ? 4 : 0;
      char32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
      bool valid = length > 0 && at + static_cast<std::size_t>(length) <= size;
      for (int k = 1; valid && k < length; ++k) {
        valid = (p[at + k] & 0xC0) == 0x80;
        code = (code << 6) | (p[at + k] & 0x3F);
      }
      // Overlong forms, surrogates and what lies past U+10FFFF are not UTF-8 either.
      valid = valid && !(length == 3 && code < 0x800) && !(length == 4 && code < 0x10000) &&
              !(code >= 0xD800 && code <= 0xDFFF) && code <= 0x10FFFF;
      if (valid) {
        arg += QString::fromUcs4(&code, 1);
        at += static_cast<std::size_t>(length);
      } else {
        arg += QChar(static_cast<char16_t>(0xDC00 | lead));
        ++at;
      }
    }
    args << arg;
  }
  return args;
}

std::string CommandLine_Bytes(const QString& arg) {
  std::string bytes;
  for (qsizetype i = 0; i < arg.size(); ++i) {
    const char16_t unit = arg[i].unicode();
    // A pair is taken whole below, so a low surrogate met here stands alone.
    if (unit >= 0xDC80 && unit <= 0xDCFF) {
      bytes += static_cast<char>(unit & 0xFF);
    } else {
      const qsizetype length = QChar::isHighSurrogate(unit) && i + 1 < arg.size() ? 2 : 1;
      bytes += arg.mid(i, length).toStdString();
      i += length - 1;
    }
  }
  return bytes;
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
  // Qt takes its command line's word over the environment's.
  const QtOptions& qt = GivenToQt();
  const QByteArray platform =
      qt.platformSet ? qt.platform.toUtf8().trimmed() : qgetenv("QT_QPA_PLATFORM").trimmed();
  const bool x11 = qt.displaySet || !qEnvironmentVariableIsEmpty("DISPLAY");
  const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
  if (platform.isEmpty()) return x11 || wayland;
  if (platform.startsWith("xcb")) return x11;
  if (platform.startsWith("wayland")) return wayland;
  return true;
}

void Display_Report() {
  if (NoDisplayLine().isEmpty()) NoDisplay_Prepare();
  std::fputs(NoDisplayLine().constData(), stderr);
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
