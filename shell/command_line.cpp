#include "shell/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "shell/version.h"

namespace tarnix {

namespace {

struct Option {
  QCommandLineOption option;
  bool listed = true;
};

QString Tr(const char* text) { return QCoreApplication::translate("CommandLine", text); }

std::vector<Option> Options_List() {
  std::vector<Option> list;
  auto add = [&list](const QStringList& names, const QString& help, const QString& value = {}) {
    list.push_back({QCommandLineOption(names, help, value), true});
  };
  add({QStringLiteral("h"), QStringLiteral("help")}, Tr("Show this help and quit."));
  add({QStringLiteral("version")}, Tr("Show the game's name and version and quit."));
  add({QStringLiteral("fullscreen")}, Tr("Start in full screen (this run only)."));
  add({QStringLiteral("windowed")}, Tr("Start in a window (this run only)."));
  add({QStringLiteral("scale")}, Tr("Window size: every game pixel N x N, N from 1 to 4 (this run only)."),
      QStringLiteral("N"));
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
  QString text = Tr("Usage: %1 [options]").arg(QStringLiteral("tarnix")) + u'\n';
  text += Tr("Tarnix, an action puzzle: bombs in a well of rising blocks.") + QStringLiteral("\n\n");
  text += Tr("Options:") + u'\n';
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

}  // namespace

CommandLine& RunOptions() {
  static CommandLine line;
  return line;
}

std::optional<int> CommandLine_Parse(const QStringList& args) {
  const std::vector<Option> options = Options_List();
  const QString usage = Usage(options);
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  for (const Option& o : options) parser.addOption(o.option);
  CommandLine& line = RunOptions();
  line = CommandLine{};
  if (!parser.parse(args)) return Fail(parser.errorText(), usage);
  if (!parser.positionalArguments().isEmpty()) {
    return Fail(Tr("unexpected argument '%1'.").arg(parser.positionalArguments().first()), usage);
  }
  if (parser.isSet(QStringLiteral("help"))) {
    Print(stdout, usage);
    return 0;
  }
  if (parser.isSet(QStringLiteral("version"))) {
    Print(stdout, QStringLiteral("Tarnix Ver%1\n").arg(QLatin1String(kGameVersion)));
    return 0;
  }
  line.FullScreen = parser.isSet(QStringLiteral("fullscreen"));
  line.Windowed = parser.isSet(QStringLiteral("windowed"));
  if (line.FullScreen && line.Windowed) {
    return Fail(Tr("--fullscreen and --windowed exclude each other."), usage);
  }
  if (parser.isSet(QStringLiteral("scale"))) {
    const QString value = parser.value(QStringLiteral("scale"));
    bool ok = false;
    line.Scale = value.toInt(&ok);
    if (!ok || line.Scale < 1 || line.Scale > 4) {
      line.Scale = 0;
      return Fail(Tr("--scale takes 1, 2, 3 or 4, not '%1'.").arg(value), usage);
    }
  }
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
