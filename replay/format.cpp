#include "replay/format.h"

#include <charconv>
#include <cstring>

#include "core/keys.h"

namespace tarnix {

namespace {

constexpr std::string_view kMagic = "TARNIX-REPLAY ";
constexpr std::size_t kMaxNameBytes = 64;
constexpr std::string_view kKeyLetters = "LURDZXES";
constexpr std::int32_t kKeyCodes[] = {kLeft, kUp, kRight, kDown, kKeyZ, kKeyX, kEnter, kSpace};

bool IsEventCode(char c) {
  if (c == 'T' || (c >= '0' && c <= '3')) return true;
  const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
  return kKeyLetters.find(upper) != std::string_view::npos;
}

template <typename T>
bool ParseNumber(std::string_view text, T& out, T low, T high, int base = 10) {
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out, base);
  return ec == std::errc() && end == text.data() + text.size() && out >= low && out <= high;
}

// Reads the file line by line; every header line is "key value".
class Lines {
 public:
  explicit Lines(std::string_view bytes) : rest_(bytes) {}
  bool Next(std::string_view& line) {
    if (rest_.empty()) return false;
    const std::size_t nl = rest_.find('\n');
    if (nl == std::string_view::npos) return false;  // every line ends in a newline
    line = rest_.substr(0, nl);
    rest_.remove_prefix(nl + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
  }
  // The value of the next line, which must start with `key` and a space.
  bool Field(std::string_view key, std::string_view& value) {
    std::string_view line;
    if (!Next(line) || line.size() < key.size() + 1 || line.substr(0, key.size()) != key ||
        line[key.size()] != ' ') {
      return false;
    }
    value = line.substr(key.size() + 1);
    return true;
  }
  std::string_view Rest() const { return rest_; }

 private:
  std::string_view rest_;
};

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\n' || text[i] == '\r')) ++i;
    const std::size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\n' && text[i] != '\r') ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

ReplayReadResult Fail(ReplayError error, int version = 0) {
  ReplayReadResult r;
  r.error = error;
  r.version = version;
  return r;
}

bool ParseHeader(Lines& in, bool raced, ReplayRecord& rec, std::size_t& eventCount) {
  std::string_view v;
  if (!in.Field("game", v) || v.empty() || v.size() > 16) return false;
  rec.game = std::string(v);
  if (!in.Field("seed", v) || v.size() != 16 ||
      !ParseNumber<std::uint64_t>(v, rec.seed, 0, UINT64_MAX, 16)) {
    return false;
  }
  if (!in.Field("wait", v) || !ParseNumber<std::int32_t>(v, rec.wait, 0, 75) || rec.wait % 25) {
    return false;
  }
  if (!in.Field("start", v)) return false;
  const auto start = Words(v);
  if (start.size() != 3 || !ParseNumber<std::int32_t>(start[0], rec.facing, 0, 1) ||
      !ParseNumber<std::int32_t>(start[1], rec.anim, 0, 3) ||
      !ParseNumber<std::int32_t>(start[2], rec.broken, 0, 1000000)) {
    return false;
  }
  std::string_view line;
  if (!in.Next(line) || line.substr(0, 4) != "name" || (line.size() > 4 && line[4] != ' ')) {
    return false;
  }
  v = line.size() > 5 ? line.substr(5) : std::string_view();
  if (v.size() > kMaxNameBytes) return false;
  for (const char c : v) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  }
  rec.name = std::string(v);
  if (!in.Field("stamp", v) || v.size() != 17) return false;
  for (const char c : v) {
    if (c < '0' || c > '9') return false;
  }
  rec.stamp = std::string(v);
  if (!in.Field("end", v)) return false;
  const auto end = Words(v);
  if (end.size() != 4 || end[0].size() != 1 ||
      (end[0][0] != 'O' && end[0][0] != 'T' && end[0][0] != 'Q' && end[0][0] != 'C') ||
      !ParseNumber<std::uint32_t>(end[1], rec.passes, 0, kReplayMaxPasses) ||
      !ParseNumber<std::int32_t>(end[2], rec.level, 0, 1000000) ||
      !ParseNumber<std::int32_t>(end[3], rec.score, 0, INT32_MAX)) {
    return false;
  }
  rec.ending = static_cast<ReplayEnding>(end[0][0]);
  if (raced) {
    if (!in.Field("challenge", v) || v.empty() || v.size() > kMaxNameBytes) return false;
    for (const char c : v) {
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    }
    rec.challenge = std::string(v);
    if (!in.Field("rows", v) || v.empty() || v.size() % kRowCells != 0) return false;
    for (const char c : v) {
      if (c != '1' && c != '3' && c != '4') return false;
    }
    rec.rows = std::string(v);
  }
  return in.Field("events", v) &&
         ParseNumber<std::size_t>(v, eventCount, 0, kReplayMaxEvents);
}

}  // namespace

char Replay_KeyLetter(std::int32_t keyCode, bool down) {
  for (std::size_t i = 0; i < kKeyLetters.size(); ++i) {
    if (kKeyCodes[i] == keyCode) {
      return down ? kKeyLetters[i] : static_cast<char>(kKeyLetters[i] + 32);
    }
  }
  return 0;
}

std::int32_t Replay_LetterKey(char letter) {
  const char upper = (letter >= 'a' && letter <= 'z') ? static_cast<char>(letter - 32) : letter;
  const std::size_t at = kKeyLetters.find(upper);
  return at == std::string_view::npos || upper == 0 ? 0 : kKeyCodes[at];
}

std::string Replay_Format(const ReplayRecord& rec) {
  std::string name = rec.name.substr(0, kMaxNameBytes);
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  char seed[17];
  std::snprintf(seed, sizeof seed, "%016llx", static_cast<unsigned long long>(rec.seed));
  std::string out;
  out.reserve(256 + rec.events.size() * 4);
  const bool raced = !rec.challenge.empty();
  out += std::string(kMagic) +
         std::to_string(raced ? kReplayChallengeFormatVersion : kReplayFormatVersion) + "\n";
  out += "rules " + std::to_string(kRulesVersion) + "\n";
  out += "game " + rec.game + "\n";
  out += std::string("seed ") + seed + "\n";
  out += "wait " + std::to_string(rec.wait) + "\n";
  out += "start " + std::to_string(rec.facing) + " " + std::to_string(rec.anim) + " " +
         std::to_string(rec.broken) + "\n";
  out += "name " + name + "\n";
  out += "stamp " + rec.stamp + "\n";
  out += std::string("end ") + static_cast<char>(rec.ending) + " " + std::to_string(rec.passes) +
         " " + std::to_string(rec.level) + " " + std::to_string(rec.score) + "\n";
  if (raced) {
    std::string label = rec.challenge.substr(0, kMaxNameBytes);
    for (char& c : label) {
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    }
    out += "challenge " + label + "\n";
    out += "rows " + rec.rows + "\n";
  }
  out += "events " + std::to_string(rec.events.size()) + "\n";
  std::uint32_t previous = 0;
  std::size_t onLine = 0;
  for (const ReplayEvent& e : rec.events) {
    if (onLine > 0) out += onLine % 16 == 0 ? '\n' : ' ';
    if (e.pass != previous) out += std::to_string(e.pass - previous);
    out += e.code;
    previous = e.pass;
    ++onLine;
  }
  out += "\n";
  return out;
}

bool Replay_IsFile(std::string_view bytes) { return bytes.substr(0, kMagic.size()) == kMagic; }

ReplayReadResult Replay_Parse(std::string_view bytes) {
  if (bytes.size() > kReplayMaxBytes) return Fail(ReplayError::kTooLarge);
  Lines in(bytes);
  std::string_view line;
  if (bytes.substr(0, kMagic.size()) != kMagic || !in.Next(line)) {
    return Fail(ReplayError::kNotReplay);
  }
  int format = 0;
  if (!ParseNumber<int>(line.substr(kMagic.size()), format, 0, 1000000)) {
    return Fail(ReplayError::kDamaged);
  }
  if (format != kReplayFormatVersion && format != kReplayChallengeFormatVersion) {
    return Fail(ReplayError::kFormatVersion, format);
  }
  std::string_view v;
  int rules = 0;
  if (!in.Field("rules", v) || !ParseNumber<int>(v, rules, 0, 1000000)) {
    return Fail(ReplayError::kDamaged);
  }
  if (rules != kRulesVersion) return Fail(ReplayError::kRulesVersion, rules);

  ReplayRecord rec;
  std::size_t count = 0;
  if (!ParseHeader(in, format == kReplayChallengeFormatVersion, rec, count)) return Fail(ReplayError::kDamaged);
  const std::string_view body = in.Rest();
  // A complete file ends with the newline after the last event.
  if ((count > 0 && (body.empty() || body.back() != '\n'))) return Fail(ReplayError::kDamaged);
  if (body.size() > count * 12 + 2) return Fail(ReplayError::kDamaged);
  const auto words = Words(body);
  if (words.size() != count) return Fail(ReplayError::kDamaged);
  rec.events.reserve(count);
  std::uint64_t pass = 0;
  std::size_t atThisPass = 0;
  for (const std::string_view word : words) {
    const char code = word.back();
    if (!IsEventCode(code)) return Fail(ReplayError::kDamaged);
    std::uint32_t delta = 0;
    if (word.size() > 1 &&
        !ParseNumber<std::uint32_t>(word.substr(0, word.size() - 1), delta, 1,
                                    kReplayMaxPasses)) {
      return Fail(ReplayError::kDamaged);
    }
    pass += delta;
    if (pass > rec.passes) return Fail(ReplayError::kDamaged);
    atThisPass = delta == 0 ? atThisPass + 1 : 1;
    if (atThisPass > kReplayMaxEventsPerPass) return Fail(ReplayError::kCrowded);
    rec.events.push_back({static_cast<std::uint32_t>(pass), code});
  }
  ReplayReadResult result;
  result.record = std::move(rec);
  return result;
}

}  // namespace tarnix
