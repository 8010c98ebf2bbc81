#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace synth {

struct Effect {
    std::string name;       // file name without ".wav"
    double maxSeconds;      // a longer file is a fault
};

// The seven effects the game plays, in the order they are written.
const std::vector<Effect>& effects();

// 16-bit mono samples at kRate for one effect; empty for an unknown name.
std::vector<std::int16_t> render(const std::string& name);

}  // namespace synth
