#include "files/options.h"

#include <QCoreApplication>
#include <QFile>
#include <QUrl>

#include <cstdio>
#include <vector>

#include "files/file_io.h"

namespace tarnix {

namespace {

constexpr char kFileName[] = "tarnix.conf";
// A file this big is not one the game wrote.
constexpr std::size_t kMaxOptionsBytes = 64 * 1024;

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

// One line of the file, read as INI: a [group], a key=value, or anything else (blank lines,
// comments), which is kept as it is.
struct IniLine {
  std::string text;
  std::string group;  // the group the line is in
  std::string key;    // empty unless the line is a key=value
  std::string value;
};

std::vector<IniLine> Lines(std::string_view bytes) {
  std::vector<IniLine> lines;
  std::string group;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    const std::string_view raw = bytes.substr(0, end);
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    IniLine line{std::string(raw), group, {}, {}};
    const std::string_view text = Trimmed(raw);
    const std::size_t equals = text.find('=');
    if (text.size() > 2 && text.front() == '[' && text.back() == ']') {
      group = std::string(text.substr(1, text.size() - 2));
      line.group = group;
    } else if (equals != std::string_view::npos && equals > 0 && text.front() != ';' &&
               text.front() != '#') {
      line.key = std::string(Trimmed(text.substr(0, equals)));
      line.value = std::string(Trimmed(text.substr(equals + 1)));
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

const std::string* Value(const std::vector<IniLine>& lines, const char* group, const char* key) {
  for (const IniLine& line : lines) {
    if (line.group == group && line.key == key) return &line.value;
  }
  return nullptr;
}

// A value as text: QSettings put one that holds a comma in double quotes.
std::string Unquoted(const std::string& value) {
  return value.size() >= 2 && value.front() == '"' && value.back() == '"'
             ? value.substr(1, value.size() - 2)
             : value;
}

// "true"/"false" as the game writes them, and 1/0; anything else keeps the default.
void ReadBool(const std::vector<IniLine>& lines, const char* group, const char* key,
              bool& value) {
  const std::string* text = Value(lines, group, key);
  if (text == nullptr) return;
  const QString word = QString::fromStdString(*text).toLower();
  if (word == QLatin1String("true") || word == QLatin1String("1")) value = true;
  if (word == QLatin1String("false") || word == QLatin1String("0")) value = false;
}

void ReadInt(const std::vector<IniLine>& lines, const char* group, const char* key, int low,
             int high, int& value) {
  const std::string* text = Value(lines, group, key);
  if (text == nullptr) return;
  bool ok = false;
  const int read = QString::fromStdString(*text).toInt(&ok);
  if (ok && read >= low && read <= high) value = read;
}

// Sets `key` in `group`, in its old place when it has one, else at the end of its group.
void Put(std::vector<IniLine>& lines, const std::string& group, const std::string& key,
         const std::string& value) {
  const std::string text = key + "=" + value;
  std::size_t groupEnd = lines.size();
  bool groupFound = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].group != group) continue;
    if (lines[i].key == key) {
      lines[i].text = text;
      lines[i].value = value;
      return;
    }
    groupFound = true;
    // After the group's last line that is not blank.
    if (!Trimmed(lines[i].text).empty()) groupEnd = i + 1;
  }
  if (!groupFound) {
    if (!lines.empty() && !Trimmed(lines.back().text).empty()) lines.push_back({"", {}, {}, {}});
    lines.push_back({"[" + group + "]", group, {}, {}});
    groupEnd = lines.size();
  }
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(groupEnd), {text, group, key, value});
}

std::string Path(const std::string& folder) { return folder + kFileName; }

const char* Bool(bool value) { return value ? "true" : "false"; }

// An options file: INI lines in UTF-8, with at least one of the game's groups.
bool Options_IsFile(std::string_view bytes) {
  bool ours = false;
  for (const char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    if ((u < 0x20 && c != '\n' && c != '\r' && c != '\t') || u == 0x7F) return false;
  }
  for (const IniLine& line : Lines(bytes)) {
    const std::string_view text = Trimmed(line.text);
    const bool group = !text.empty() && text.front() == '[';
    if (text.empty() || text.front() == ';' || text.front() == '#' || !line.key.empty()) continue;
    if (!group || text.back() != ']') return false;
    for (const char* mine : {"Window", "Pad", "View", "Keys", "PadButtons", "World"}) {
      if (line.group == mine) ours = true;
    }
  }
  return ours && QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()))
                         .toUtf8()
                         .toStdString() == bytes;
}

}  // namespace

PortOptions& Options() {
  static PortOptions options;
  return options;
}

std::optional<std::string> Options_WorldAddress(const std::string& typed) {
  QString text = QString::fromStdString(typed).trimmed();
  if (text.isEmpty()) return std::string();
  if (!text.contains(QStringLiteral("://"))) text.prepend(QStringLiteral("http://"));
  const QUrl url(text, QUrl::StrictMode);
  const QString scheme = url.scheme().toLower();
  if (!url.isValid() || url.host().isEmpty() ||
      (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
      url.hasQuery() || url.hasFragment()) {
    return std::nullopt;
  }
  return text.toStdString();
}

void Options_Load(const std::string& folder) {
  PortOptions& o = Options();
  o = PortOptions{};
  const FileRead file = File_Read(Path(folder), kMaxOptionsBytes);
  if (file.kind == FileRead::kRefused) {
    const char* const text = QT_TRANSLATE_NOOP("Messages", "%1 を読み込めません（%2）。");
    const QString line = QCoreApplication::translate("Messages", text).arg(
        QFile::decodeName(QByteArray::fromStdString(Path(folder))), file.reason);
    std::fprintf(stderr, "tarnix: %s\n", line.toLocal8Bit().constData());
    return;
  }
  if (file.kind != FileRead::kRegular || !Options_IsFile(file.bytes)) return;
  const std::vector<IniLine> lines = Lines(file.bytes);
  ReadBool(lines, "Window", "PauseWhenInactive", o.PauseWhenInactive);
  ReadInt(lines, "Window", "Scale", 1, 4, o.Scale);
  ReadBool(lines, "Window", "FullScreen", o.FullScreen);
  ReadBool(lines, "Pad", "Rumble", o.Rumble);
  ReadBool(lines, "Title", "Demo", o.Demo);
  ReadBool(lines, "View", "BombMarks", o.BombMarks);
  ReadBool(lines, "View", "GentleFlashes", o.GentleFlashes);
  if (const std::string* language = Value(lines, "View", "Language")) {
    o.Language = Unquoted(*language);
  }
  if (const std::string* address = Value(lines, "World", "Address")) {
    o.WorldTable = Unquoted(*address);
  }
  for (const IniLine& line : lines) {
    if (!line.key.empty() && (line.group == "Keys" || line.group == "PadButtons")) {
      o.Bindings[line.group + "/" + line.key] = Unquoted(line.value);
    }
  }
}

bool Options_Save(const std::string& folder) {
  if (!File_MakeFolder(folder)) return false;
  // Keys this version does not know (a newer one wrote them) are kept, with the rest of the
  // file as it was.
  const FileRead old = File_Read(Path(folder), kMaxOptionsBytes);
  std::vector<IniLine> lines;
  if (old.kind == FileRead::kRegular && old.bytes.size() <= kMaxOptionsBytes &&
      Options_IsFile(old.bytes)) {
    lines = Lines(old.bytes);
  }
  if (!lines.empty() && lines.back().text.empty()) lines.pop_back();
  const PortOptions& o = Options();
  Put(lines, "Window", "PauseWhenInactive", Bool(o.PauseWhenInactive));
  if (o.Scale != 0) Put(lines, "Window", "Scale", std::to_string(o.Scale));
  Put(lines, "Window", "FullScreen", Bool(o.FullScreen));
  Put(lines, "Pad", "Rumble", Bool(o.Rumble));
  Put(lines, "Title", "Demo", Bool(o.Demo));
  Put(lines, "View", "BombMarks", Bool(o.BombMarks));
  Put(lines, "View", "GentleFlashes", Bool(o.GentleFlashes));
  if (!o.Language.empty()) Put(lines, "View", "Language", o.Language);
  // Emptied on the settings screen, it must not come back from the old file.
  if (!o.WorldTable.empty() || Value(lines, "World", "Address") != nullptr) {
    Put(lines, "World", "Address", o.WorldTable);
  }
  for (const auto& [path, value] : o.Bindings) {
    const std::size_t slash = path.find('/');
    if (slash != std::string::npos) Put(lines, path.substr(0, slash), path.substr(slash + 1), value);
  }
  std::string text;
  for (const IniLine& line : lines) text += line.text + "\n";

  FileWrite how;
  how.ours = Options_IsFile;
  how.limit = kMaxOptionsBytes;
  return File_Write(Path(folder), text, how);
}

}  // namespace tarnix
