#include "wav.hpp"

#include <algorithm>
#include <cstdlib>

namespace synth {
namespace {

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

void putTag(std::vector<std::uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}

std::uint32_t get16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8);
}

std::uint32_t get32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return get16(b, at) | (get16(b, at + 2) << 16);
}

bool tagAt(const std::vector<std::uint8_t>& b, std::size_t at, const char* tag) {
    return b.size() >= at + 4 && std::equal(tag, tag + 4, b.begin() + at);
}

}  // namespace

std::vector<std::uint8_t> encodeWav(const std::vector<std::int16_t>& samples) {
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes);
    putTag(out, "RIFF");
    put32(out, 36 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);               // PCM
    put16(out, 1);               // mono
    put32(out, kWavRate);
    put32(out, kWavRate * 2);    // bytes per second
    put16(out, 2);               // bytes per frame
    put16(out, 16);              // bits per sample
    putTag(out, "data");
    put32(out, dataBytes);
    for (std::int16_t s : samples) put16(out, static_cast<std::uint16_t>(s));
    return out;
}

std::vector<std::string> checkWav(const std::vector<std::uint8_t>& b, const WavLimits& limits) {
    std::vector<std::string> faults;
    if (b.size() < 12 || !tagAt(b, 0, "RIFF") || !tagAt(b, 8, "WAVE")) {
        faults.push_back("not a RIFF WAVE file");
        return faults;
    }
    if (get32(b, 4) != b.size() - 8)
        faults.push_back("RIFF size " + std::to_string(get32(b, 4)) + " does not match the file (" +
                         std::to_string(b.size() - 8) + ")");

    // Walk the chunks; we expect "fmt " then "data", but tolerate others in between.
    std::size_t fmtAt = 0, dataAt = 0;
    std::uint32_t dataSize = 0;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        const std::uint32_t size = get32(b, at + 4);
        if (tagAt(b, at, "fmt ") && size >= 16 && at + 8 + size <= b.size()) fmtAt = at + 8;
        if (tagAt(b, at, "data")) {
            dataAt = at + 8;
            dataSize = size;
            break;
        }
        at += 8 + size + (size & 1);
    }
    if (fmtAt == 0) faults.push_back("no complete \"fmt \" chunk");
    if (dataAt == 0) faults.push_back("no \"data\" chunk");
    if (fmtAt == 0 || dataAt == 0) return faults;

    bool formatOk = true;
    const auto expect = [&](const char* what, std::uint32_t got, std::uint32_t want) {
        formatOk = formatOk && got == want;
        if (got != want)
            faults.push_back(std::string(what) + " is " + std::to_string(got) + ", expected " +
                             std::to_string(want));
    };
    expect("format tag (1 = PCM)", get16(b, fmtAt), 1);
    expect("channels", get16(b, fmtAt + 2), 1);
    expect("sample rate", get32(b, fmtAt + 4), kWavRate);
    expect("byte rate", get32(b, fmtAt + 8), kWavRate * 2);
    expect("block align", get16(b, fmtAt + 12), 2);
    expect("bits per sample", get16(b, fmtAt + 14), 16);
    if (!formatOk) return faults;

    if (dataAt + dataSize != b.size()) {
        faults.push_back("data length " + std::to_string(dataSize) + " does not match the " +
                         std::to_string(b.size() - dataAt) + " bytes that follow its header");
        return faults;
    }
    if (dataSize % 2 != 0) faults.push_back("odd data length " + std::to_string(dataSize));

    const std::size_t count = dataSize / 2;
    const double duration = static_cast<double>(count) / kWavRate;
    if (duration >= limits.maxSeconds)
        faults.push_back("lasts " + std::to_string(duration) + " s, must be under " +
                         std::to_string(limits.maxSeconds) + " s");
    if (duration < limits.minSeconds)
        faults.push_back("lasts only " + std::to_string(duration) + " s");
    if (count == 0) return faults;

    const auto sample = [&](std::size_t i) {
        return static_cast<int>(static_cast<std::int16_t>(get16(b, dataAt + 2 * i)));
    };
    int peak = 0;
    for (std::size_t i = 0; i < count; ++i) peak = std::max(peak, std::abs(sample(i)));
    if (peak > limits.maxPeak)
        faults.push_back("peak " + std::to_string(peak) + " exceeds " + std::to_string(limits.maxPeak));
    if (peak < limits.minPeak)
        faults.push_back("peak " + std::to_string(peak) + " is too quiet to hear (below " +
                         std::to_string(limits.minPeak) + ")");
    if (std::abs(sample(0)) > limits.maxEdge)
        faults.push_back("first sample " + std::to_string(sample(0)) + " would click");
    if (std::abs(sample(count - 1)) > limits.maxEdge)
        faults.push_back("last sample " + std::to_string(sample(count - 1)) + " would click");
    return faults;
}

}  // namespace synth
