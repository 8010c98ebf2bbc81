// libFuzzer entry for the settings reader: whole files, the stamp taken as matching so that
// the fuzzer reaches the body. Built by scripts/fuzz.sh; the ordinary build replays corpus/.
#include <cstddef>
#include <cstdint>
#include <string>

#include "files/settings_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tarnix::Settings_ParseForFuzz(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
