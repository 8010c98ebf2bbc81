#include "files/settings_format.h"

#include <iconv.h>

#include <QDir>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

namespace tarnix::settings_format {

namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Length of the UTF-8 sequence a lead byte starts; a stray byte counts as one.
std::size_t Utf8Length(unsigned char lead) {
  if (lead >= 0xF0 && lead < 0xF8) return 4;
  if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
  if (lead >= 0xC0) return 2;
  return 1;
}

// Runs the conversion; `onBad` is told where an unconvertible sequence starts and answers
// how many input bytes to skip (0 gives up).
template <typename OnBad>
bool Convert(iconv_t cd, const std::string& in, std::string& out, OnBad onBad) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::vector<char> buffer(in.size() * 3 + 16);
  char* src = const_cast<char*>(in.data());
  std::size_t srcLeft = in.size();
  while (srcLeft > 0) {
    char* dst = buffer.data();
    std::size_t dstLeft = buffer.size();
    const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    const int err = errno;
    out.append(buffer.data(), buffer.size() - dstLeft);
    if (r != static_cast<std::size_t>(-1)) break;
    if (err == E2BIG) continue;
    const std::size_t skip = std::min(srcLeft, onBad(static_cast<unsigned char>(*src), out));
    if (skip == 0) return false;
    src += skip;
    srcLeft -= skip;
  }
  return true;
}

// Everything between the first and the last double quote.
std::optional<std::string> Quoted(const std::string& line) {
  const std::size_t first = line.find('"');
  const std::size_t last = line.rfind('"');
  if (first == std::string::npos || last == first) return std::nullopt;
  return line.substr(first + 1, last - first - 1);
}

std::optional<Long> Number(const std::string& line) {
  if (line.empty() || line.size() > 6) return std::nullopt;
  Long value = 0;
  for (char c : line) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

Long Clamped(long long value) {
  return static_cast<Long>(std::clamp<long long>(value, 0, kNumberMax));
}

// The leading number of a score text, as the table's text is read everywhere else.
long long ScoreNumber(const std::string& text) {
  try {
    return std::stoll(text);
  } catch (...) {
    return 0;
  }
}

}  // namespace

// The converters are opened per call rather than kept: the save that runs while the process
// exits must not meet one that the exit has already closed.
std::string Cp932Encode(const std::string& utf8) {
  Converter converter("CP932", "UTF-8");
  std::string out;
  if (!converter.ok()) return std::string(utf8.size(), '?');
  Convert(converter.get(), utf8, out, [](unsigned char lead, std::string& sofar) {
    sofar += '?';
    return Utf8Length(lead);
  });
  return out;
}

std::optional<std::string> Cp932Decode(const std::string& bytes) {
  Converter converter("UTF-8", "CP932");
  std::string out;
  if (!converter.ok()) return std::nullopt;
  if (!Convert(converter.get(), bytes, out,
               [](unsigned char, std::string&) { return std::size_t{0}; })) {
    return std::nullopt;
  }
  return out;
}

std::string Stamp(const QDateTime& when) {
  const QDateTime local = when.toLocalTime();
  const QDate d = local.date();
  const QTime t = local.time();
  char text[16];
  std::snprintf(text, sizeof text, "%02d%02d%02d%02d%02d", d.year() % 100, d.month(), d.day(),
                t.hour(), t.minute());
  return text;
}

std::string Header(const std::string& stamp) {
  const int major = 1;
  const std::string padded = "00" + std::to_string(1);
  const std::string minor = padded.substr(padded.size() - 2);
  return "タールニックス Ver" + std::to_string(major) + "." + minor + " 設定ファイル [" + stamp +
         "]";
}

StoredEntry Stored(const HiScoreEntry& entry) {
  std::string name = entry.Name;
  // A line feed would split the entry over two lines.
  for (char& c : name) {
    if (c == '\n') c = '?';
  }
  return {Cp932Encode(name), Clamped(entry.Level), Clamped(ScoreNumber(entry.Score))};
}

std::string BuildFile(const SettingsData& data, const std::string& stamp) {
  std::string text;
  auto line = [&text](const std::string& s) { text += s + "\r\n"; };
  auto quoted = [&line](const std::string& s) { line("\"" + s + "\""); };

  quoted(Header(stamp));
  std::string options = data.SoundOn ? "1" : "0";
  if (data.WaitItem >= 0 && data.WaitItem <= 3) options += static_cast<char>('0' + data.WaitItem);
  quoted(options);
  text = Cp932Encode(text);
  for (const HiScoreEntry& entry : data.HiScore) {
    const StoredEntry stored = Stored(entry);
    quoted(stored.name);
    line(std::to_string(stored.level));
    line(std::to_string(stored.score));
  }
  return text;
}

std::optional<SettingsData> ParseFile(const std::string& bytes,
                                      const std::optional<std::string>& stamp) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (static_cast<int>(lines.size()) < kLineCount && start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string raw = bytes.substr(start, end - start);
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    std::optional<std::string> decoded = Cp932Decode(raw);
    if (!decoded) return std::nullopt;
    lines.push_back(std::move(*decoded));
    start = end + 1;
  }
  if (static_cast<int>(lines.size()) < kLineCount) return std::nullopt;

  const std::optional<std::string> header = Quoted(lines[0]);
  if (!header) return std::nullopt;
  if (stamp && QString::fromStdString(*header).mid(24, 10) != QString::fromStdString(*stamp)) {
    return std::nullopt;
  }

  SettingsData data;
  const std::optional<std::string> options = Quoted(lines[1]);
  if (!options) return std::nullopt;
  data.SoundOn = !options->empty() && options->front() == '1';
  const char last = options->empty() ? '\0' : options->back();
  data.WaitItem = (last >= '0' && last <= '3') ? last - '0' : -1;

  for (int i = 0; i < kHiScoreRanks; ++i) {
    const std::optional<std::string> name = Quoted(lines[2 + 3 * i]);
    const std::optional<Long> level = Number(lines[3 + 3 * i]);
    const std::optional<Long> score = Number(lines[4 + 3 * i]);
    if (!name || !level || !score) return std::nullopt;
    data.HiScore[i] = HiScoreEntry{*name, *level, std::to_string(*score)};
  }
  return data;
}

Hooks& SettingsHooks() {
  static Hooks hooks;
  return hooks;
}

QString UserFolder() {
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + "/.config";
  if (!base.endsWith('/')) base += '/';
  return base + "tarnix/";
}

}  // namespace tarnix::settings_format

namespace tarnix {

bool Settings_ParseForFuzz(const std::string& bytes) {
  return settings_format::ParseFile(bytes, std::nullopt).has_value();
}

}  // namespace tarnix
