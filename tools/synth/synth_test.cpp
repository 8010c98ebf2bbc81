#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "dsp.hpp"
#include "effects.hpp"
#include "wav.hpp"

namespace {

using synth::checkWav;
using synth::encodeWav;
using synth::WavLimits;

TEST(SynthMaths, OwnSineAndExpAgreeWithTheLibrary) {
    for (double c = -3.0; c <= 3.0; c += 0.0137)
        EXPECT_NEAR(synth::sineTurns(c), std::sin(2 * synth::kPi * c), 1e-9) << "at " << c << " turns";
    for (double x = -45.0; x <= 5.0; x += 0.173)
        EXPECT_NEAR(synth::expo(x) / std::exp(x), 1.0, 1e-8) << "at " << x;
}

TEST(SynthMaths, NoiseIsRepeatableAndInRange) {
    synth::Noise a(42), b(42), c(43);
    bool differs = false;
    for (int i = 0; i < 100000; ++i) {
        const double va = a.next();
        ASSERT_EQ(va, b.next()) << "the same seed must give the same noise, or the files drift";
        ASSERT_GE(va, -1.0);
        ASSERT_LT(va, 1.0);
        differs |= va != c.next();
    }
    EXPECT_TRUE(differs);
}

TEST(SynthMaths, FinishFadesToSilenceAndHitsThePeak) {
    const synth::Buffer loud(2000, 1.0);
    const auto out = synth::finish(loud, 0.5, 0.005, 0.01);
    ASSERT_EQ(out.size(), loud.size());
    EXPECT_EQ(out.front(), 0);
    EXPECT_EQ(out.back(), 0);
    EXPECT_EQ(out[1000], std::lround(0.5 * 32767));
}

// A valid one-second-limit effect: 0.1 s of a quiet sine between two zeros.
std::vector<std::int16_t> plainTone() {
    std::vector<std::int16_t> s(2205, 0);
    for (std::size_t i = 1; i + 1 < s.size(); ++i)
        s[i] = static_cast<std::int16_t>(10000 * std::sin(i * 0.1));
    s.back() = 0;
    return s;
}

void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) b[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
}

bool mentions(const std::vector<std::string>& faults, const std::string& word) {
    for (const auto& f : faults)
        if (f.find(word) != std::string::npos) return true;
    return false;
}

TEST(WavCheck, AcceptsWhatTheEncoderWrites) {
    const auto bytes = encodeWav(plainTone());
    EXPECT_EQ(bytes.size(), 44u + 2 * 2205);
    EXPECT_TRUE(checkWav(bytes, WavLimits{}).empty());
}

TEST(WavCheck, RejectsAWrongFormat) {
    auto rate = encodeWav(plainTone());
    put32(rate, 24, 44100);
    EXPECT_TRUE(mentions(checkWav(rate, {}), "sample rate"));

    auto stereo = encodeWav(plainTone());
    stereo[22] = 2;
    EXPECT_TRUE(mentions(checkWav(stereo, {}), "channels"));

    auto bits = encodeWav(plainTone());
    bits[34] = 8;
    EXPECT_TRUE(mentions(checkWav(bits, {}), "bits per sample"));

    std::vector<std::uint8_t> text(100, 'x');
    EXPECT_TRUE(mentions(checkWav(text, {}), "not a RIFF"));
}

TEST(WavCheck, RejectsLengthsThatDisagreeWithTheFile) {
    auto cut = encodeWav(plainTone());
    cut.resize(cut.size() - 100);
    const auto faults = checkWav(cut, {});
    EXPECT_TRUE(mentions(faults, "RIFF size")) << "a truncated copy must not pass as complete";
    EXPECT_TRUE(mentions(faults, "data length"));
}

TEST(WavCheck, RejectsSoundsThatWouldMisbehaveInTheGame) {
    auto clipped = plainTone();
    clipped[100] = 32767;
    EXPECT_TRUE(mentions(checkWav(encodeWav(clipped), {}), "peak"));

    auto clicks = plainTone();
    clicks.back() = 5000;
    EXPECT_TRUE(mentions(checkWav(encodeWav(clicks), {}), "last sample"));
    clicks.front() = -5000;
    EXPECT_TRUE(mentions(checkWav(encodeWav(clicks), {}), "first sample"));

    const std::vector<std::int16_t> silent(2205, 0);
    EXPECT_TRUE(mentions(checkWav(encodeWav(silent), {}), "too quiet"));

    std::vector<std::int16_t> longTone(synth::kRate, 0);
    for (std::size_t i = 1; i + 1 < longTone.size(); ++i) longTone[i] = 8000;
    WavLimits oneSecond;
    EXPECT_TRUE(mentions(checkWav(encodeWav(longTone), oneSecond), "must be under"));
    WavLimits twoSeconds;
    twoSeconds.maxSeconds = 2.0;
    EXPECT_TRUE(checkWav(encodeWav(longTone), twoSeconds).empty());
}

TEST(Effects, EveryEffectIsValidAndRepeatable) {
    ASSERT_EQ(synth::effects().size(), 7u);
    for (const auto& e : synth::effects()) {
        const auto first = synth::render(e.name);
        WavLimits limits;
        limits.maxSeconds = e.maxSeconds;
        const auto faults = checkWav(encodeWav(first), limits);
        EXPECT_TRUE(faults.empty()) << e.name << ": " << (faults.empty() ? "" : faults.front());
        EXPECT_EQ(first, synth::render(e.name)) << e.name << " must not depend on anything but the code";
    }
    EXPECT_TRUE(synth::render("nothing").empty());
}

}  // namespace
