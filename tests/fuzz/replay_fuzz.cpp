// libFuzzer entry for the replay reader: any bytes are refused or read, and whatever is read
// writes back to a file that reads as the same game. Built by scripts/fuzz.sh replay; the
// ordinary build replays replay_corpus/.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "replay/format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const tarnix::ReplayReadResult first =
      tarnix::Replay_Parse(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!first.record) return 0;
  const tarnix::ReplayReadResult again = tarnix::Replay_Parse(tarnix::Replay_Format(*first.record));
  const tarnix::ReplayRecord& a = *first.record;
  if (!again.record || again.record->events.size() != a.events.size() ||
      again.record->seed != a.seed || again.record->score != a.score ||
      again.record->passes != a.passes || again.record->name != a.name) {
    std::abort();
  }
  for (std::size_t i = 0; i < a.events.size(); ++i) {
    if (again.record->events[i].pass != a.events[i].pass ||
        again.record->events[i].code != a.events[i].code) {
      std::abort();
    }
  }
  return 0;
}
