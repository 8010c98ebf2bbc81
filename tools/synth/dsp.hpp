// Small building blocks for the sound effects.
//
// The committed WAV files must come out byte for byte the same on every
// machine, so nothing here calls the C maths library: sine and exp are
// computed with plain arithmetic, and the noise comes from our own
// generator with a fixed seed.
#pragma once

#include <cstdint>
#include <vector>

namespace synth {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

using Buffer = std::vector<double>;

// Number of samples in `seconds`.
int samples(double seconds);

// sin(2π·cycles): the argument is in turns, which is what a phase accumulator holds.
double sineTurns(double cycles);
// e^x for the moderate arguments envelopes and filters need (|x| < 50).
double expo(double x);

// Soft saturation without a hard corner: keeps a blast loud but round.
double softClip(double x);

// xorshift32: tiny, fast and identical everywhere.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
    double next();  // uniform in [-1, 1)
private:
    std::uint32_t state_;
};

// Phase accumulator; the frequency may change every sample for glides and vibrato.
class Osc {
public:
    double sine(double hz);
    double triangle(double hz);
    // A sawtooth built from its first `harmonics` partials, so that it does not
    // alias at our low sample rate.
    double saw(double hz, int harmonics);
    // Odd partials only: a mellow square.
    double square(double hz, int harmonics);
private:
    double advance(double hz);
    double phase_ = 0.0;
};

// One-pole low-pass; the high-pass is what the low-pass leaves out.
class OnePole {
public:
    double lowpass(double x, double cutoffHz);
    double highpass(double x, double cutoffHz);
private:
    double y_ = 0.0;
};

// Exponential fall to about 1/1000 (−60 dB) after `seconds`.
double decay(double t, double seconds);
// Linear rise over `attack` seconds, then exponential decay.
double pluck(double t, double attack, double release);
// Smooth 0 → 1 → 0 gate: raised-cosine edges inside [start, start + length].
double gate(double t, double start, double length, double edge);
// 1 until `edge` seconds before `length`, then a raised-cosine fall to 0: ends a
// ringing note without cutting it off.
double tail(double t, double length, double edge);

// Adds `src` into `dst` starting at sample `offset`, growing `dst` as needed.
void mixInto(Buffer& dst, const Buffer& src, int offset, double gain = 1.0);

// Scales to the given peak (fraction of full scale), fades both ends so that
// the first and last samples are exactly zero, and converts to 16-bit.
std::vector<std::int16_t> finish(const Buffer& in, double peak, double fadeIn, double fadeOut);

}  // namespace synth
