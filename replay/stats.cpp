#include "replay/stats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <QCoreApplication>

namespace tarnix {

namespace {

struct Counter {
  GameStats stats;
  Module1State before;
  bool counting = false;
  std::uint32_t pass = 0;
};

Counter counter;

std::string Fixed(double v, int digits) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", digits, v);
  return text;
}

std::string Join(const std::vector<std::string>& items, const char* sep) {
  std::string out;
  for (std::size_t i = 0; i < items.size(); ++i) out += (i ? sep : "") + items[i];
  return out;
}

std::string Clock(double seconds) {
  const int s = static_cast<int>(seconds);
  char text[16];
  std::snprintf(text, sizeof text, "%d:%02d", s / 60, s % 60);
  return text;
}

}  // namespace

int GameStats::LongestChain() const {
  return chains.empty() ? 0 : *std::max_element(chains.begin(), chains.end());
}

std::vector<int> GameStats::ChainsByGeneration() const {
  std::vector<int> by(static_cast<std::size_t>(LongestChain()), 0);
  for (int g : chains) by[static_cast<std::size_t>(g - 1)] += 1;
  return by;
}

double GameStats::ScorePerMinute() const { return seconds > 0 ? score * 60.0 / seconds : 0; }

std::vector<double> GameStats::LevelSeconds() const {
  std::vector<double> out;
  double from = 0;
  for (double at : levelStarts) {
    out.push_back(at - from);
    from = at;
  }
  out.push_back(seconds - from);
  return out;
}

double Pass_Ms(Long waitMs) {
  constexpr double kStep = 1000.0 / 64;
  return (std::floor(waitMs / kStep) + 1) * kStep;
}

double Replay_SecondsAt(const ReplayRecord& record, std::uint32_t pass) {
  constexpr Long kWaits[] = {0, 25, 50, 75};
  double ms = 0;
  Long wait = record.wait;
  std::uint32_t from = 0;
  for (const ReplayEvent& e : record.events) {
    if (e.pass >= pass) break;
    if (e.code < '0' || e.code > '3') continue;
    ms += (e.pass - from) * Pass_Ms(wait);
    from = e.pass;
    wait = kWaits[e.code - '0'];
  }
  ms += (pass - std::min(pass, from)) * Pass_Ms(wait);
  return ms / 1000.0;
}

void Stats_Begin() {
  counter = Counter{};
  counter.counting = true;
  counter.before = Module1;
}

void Stats_BeforePass(std::uint32_t pass) {
  counter.pass = pass;
  counter.before.Bombs = Module1.Bombs;
  counter.before.RedStock = Module1.RedStock;
  counter.before.BlueStock = Module1.BlueStock;
  counter.before.Level = Module1.Level;
  counter.before.GamePhase = Module1.GamePhase;
}

void Stats_AfterPass() {
  if (!counter.counting) return;
  GameStats& s = counter.stats;
  const Module1State& was = counter.before;
  const std::uint32_t mark = counter.pass > 0 ? counter.pass - 1 : 0;
  int taken[2] = {0, 0};
  for (int i = 0; i < kBombSlots; ++i) {
    const BombRecord& a = was.Bombs[static_cast<std::size_t>(i)];
    const BombRecord& b = Module1.Bombs[static_cast<std::size_t>(i)];
    if (a.State == kBombFree && b.State == kBombHeld && Module1.HeldBomb.size() == 2) {
      taken[DigitAt(Module1.HeldBomb, 2) & 1] += 1;
    }
    if (a.State == kBombHeld && b.State != kBombHeld && b.State != kBombFree) {
      const int kind = b.Kind & 1;
      if (Module1.ActionState == kThrowing) s.thrown[kind] += 1;
      else s.dropped[kind] += 1;
    }
  }
  const int gotRed = Module1.RedStock - was.RedStock + taken[0];
  const int gotBlue = Module1.BlueStock - was.BlueStock + taken[1];
  if (gotRed > 0 || gotBlue > 0) {
    s.gifts[0] += std::max(0, gotRed);
    s.gifts[1] += std::max(0, gotBlue);
    s.giftMarks.push_back(mark);
  }
  // A pass the game stood paused in is not play.
  if (was.GamePhase == kPlaying) s.seconds += Pass_Ms(Module1.WaitMs) / 1000.0;
  if (Module1.Level > was.Level && was.Level > 0) {
    s.levelPasses.push_back(counter.pass);
    s.levelStarts.push_back(s.seconds);
    s.levelMarks.push_back(mark);
  }
  s.passes = counter.pass;
  s.score = Module1.Score;
  s.level = Module1.Level;
  Stats_BeforePass(counter.pass);
}

void Stats_ChainGeneration(Long generation) {
  if (!counter.counting) return;
  GameStats& s = counter.stats;
  s.blocksBroken += Module1.BlocksBroken;
  if (generation <= 1 || s.chains.empty()) {
    s.chains.push_back(static_cast<int>(std::max<Long>(1, generation)));
    s.chainMarks.push_back(counter.pass > 0 ? counter.pass - 1 : 0);
  } else {
    s.chains.back() = std::max(s.chains.back(), static_cast<int>(generation));
  }
}

const GameStats& Stats_Current() { return counter.stats; }

void Stats_Restore(const GameStats& stats, std::uint32_t pass) {
  counter.stats = stats;
  counter.counting = true;
  counter.before = Module1;
  counter.pass = pass;
}

void Stats_Stop() { counter.counting = false; }

std::vector<std::pair<std::string, std::string>> Stats_Rows(const GameStats& s) {
  auto Tr = [](const char* text) { return QCoreApplication::translate("Stats", text); };
  auto pair = [&](int red, int blue) {
    return Tr(QT_TRANSLATE_NOOP("Stats", "赤 %1、青 %2")).arg(red).arg(blue).toStdString();
  };
  std::vector<std::string> chains;
  const std::vector<int> by = s.ChainsByGeneration();
  for (std::size_t g = 0; g < by.size(); ++g) {
    if (by[g] > 0) chains.push_back(std::to_string(g + 1) + "×" + std::to_string(by[g]));
  }
  std::vector<std::string> levels;
  const std::vector<double> times = s.LevelSeconds();
  for (std::size_t i = 0; i < times.size(); ++i) {
    levels.push_back("Lv" + std::to_string(i + 1) + " " + Clock(times[i]));
  }
  auto row = [&](const char* label, const std::string& value) {
    return std::make_pair(Tr(label).toStdString(), value);
  };
  return {
      row(QT_TRANSLATE_NOOP("Stats", "時間"),
          Clock(s.seconds) + " (" +
              Tr(QT_TRANSLATE_NOOP("Stats", "%1 パス")).arg(s.passes).toStdString() + ")"),
      row(QT_TRANSLATE_NOOP("Stats", "スコア"),
          std::to_string(s.score) + " (" +
              Tr(QT_TRANSLATE_NOOP("Stats", "毎分 %1"))
                  .arg(QString::fromStdString(Fixed(s.ScorePerMinute(), 1)))
                  .toStdString() +
              ")"),
      row(QT_TRANSLATE_NOOP("Stats", "レベル"), std::to_string(s.level)),
      row(QT_TRANSLATE_NOOP("Stats", "投げた爆弾"), pair(s.thrown[0], s.thrown[1])),
      row(QT_TRANSLATE_NOOP("Stats", "落とした爆弾"), pair(s.dropped[0], s.dropped[1])),
      row(QT_TRANSLATE_NOOP("Stats", "壊したブロック"), std::to_string(s.blocksBroken)),
      row(QT_TRANSLATE_NOOP("Stats", "連鎖（段数×回数）"),
          std::to_string(s.chains.size()) + (chains.empty() ? "" : " (" + Join(chains, " ") + ")")),
      row(QT_TRANSLATE_NOOP("Stats", "最長の連鎖"), std::to_string(s.LongestChain())),
      row(QT_TRANSLATE_NOOP("Stats", "取ったギフト"), pair(s.gifts[0], s.gifts[1])),
      row(QT_TRANSLATE_NOOP("Stats", "レベルごとの時間"), Join(levels, " ")),
  };
}

std::string Stats_Text(const GameStats& s) {
  std::string out;
  for (const auto& [label, value] : Stats_Rows(s)) out += label + ": " + value + "\n";
  return out;
}

std::string Stats_Json(const GameStats& s) {
  auto list = [](const auto& v, auto fmt) {
    std::vector<std::string> items;
    for (const auto& x : v) items.push_back(fmt(x));
    return "[" + Join(items, ", ") + "]";
  };
  auto integer = [](auto x) { return std::to_string(x); };
  auto seconds = [](double x) { return Fixed(x, 3); };
  std::string out = "{\n";
  out += "  \"passes\": " + std::to_string(s.passes) + ",\n";
  out += "  \"seconds\": " + Fixed(s.seconds, 3) + ",\n";
  out += "  \"score\": " + std::to_string(s.score) + ",\n";
  out += "  \"level\": " + std::to_string(s.level) + ",\n";
  out += "  \"score_per_minute\": " + Fixed(s.ScorePerMinute(), 1) + ",\n";
  out += "  \"thrown\": {\"red\": " + std::to_string(s.thrown[0]) + ", \"blue\": " +
         std::to_string(s.thrown[1]) + "},\n";
  out += "  \"dropped\": {\"red\": " + std::to_string(s.dropped[0]) + ", \"blue\": " +
         std::to_string(s.dropped[1]) + "},\n";
  out += "  \"blocks_broken\": " + std::to_string(s.blocksBroken) + ",\n";
  out += "  \"chains\": " + std::to_string(s.chains.size()) + ",\n";
  out += "  \"chains_by_generation\": " + list(s.ChainsByGeneration(), integer) + ",\n";
  out += "  \"longest_chain\": " + std::to_string(s.LongestChain()) + ",\n";
  out += "  \"gifts\": {\"red\": " + std::to_string(s.gifts[0]) + ", \"blue\": " +
         std::to_string(s.gifts[1]) + "},\n";
  out += "  \"level_seconds\": " + list(s.LevelSeconds(), seconds) + "\n";
  out += "}\n";
  return out;
}

}  // namespace tarnix
