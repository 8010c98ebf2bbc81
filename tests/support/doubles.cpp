#include "support/doubles.h"

namespace tarnix::testing {

std::vector<std::string> SoundRecorder::Names() const {
  std::vector<std::string> names;
  for (const std::string& path : played) {
    const auto slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".wav") == 0) {
      name.resize(name.size() - 4);
    }
    names.push_back(name);
  }
  return names;
}

double ScriptedRandom::Rnd() {
  if (!script.empty()) {
    const double value = script.front();
    script.pop_front();
    return value;
  }
  return seeded_.Rnd();
}

double ScriptedRandom::Seeded::Rnd() {
  // The same generator as the game's, so a seed means the same thing in both.
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  z ^= z >> 31;
  return static_cast<double>(z >> 11) * (1.0 / 9007199254740992.0);
}

}  // namespace tarnix::testing
