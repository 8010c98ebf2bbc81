#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace synth {

// The format the game loads: PCM, 16-bit, mono, 22050 Hz.
constexpr int kWavRate = 22050;

// A complete file: RIFF header, "fmt " chunk, "data" chunk.
std::vector<std::uint8_t> encodeWav(const std::vector<std::int16_t>& samples);

struct WavLimits {
    double maxSeconds = 1.0;
    double minSeconds = 0.03;
    int maxPeak = 29000;   // about −1 dBFS
    int minPeak = 2000;    // a silent file is as broken as a clipped one
    int maxEdge = 64;      // first and last sample: anything louder clicks
};

// Everything wrong with `bytes` as one of our effects, one line each; empty when it is fine.
std::vector<std::string> checkWav(const std::vector<std::uint8_t>& bytes, const WavLimits& limits);

}  // namespace synth
