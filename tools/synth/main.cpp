// tarnix_synth OUTDIR        writes the game's seven sound effects into OUTDIR
// tarnix_synth --check DIR   verifies the effects in DIR; exits 1 on any fault

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "effects.hpp"
#include "wav.hpp"

namespace fs = std::filesystem;

namespace {

int write(const fs::path& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    for (const synth::Effect& e : synth::effects()) {
        const fs::path file = dir / (e.name + ".wav");
        const auto bytes = synth::encodeWav(synth::render(e.name));
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::cerr << "tarnix_synth: cannot write " << file.string() << "\n";
            return 1;
        }
    }
    return 0;
}

int check(const fs::path& dir) {
    int bad = 0;
    for (const synth::Effect& e : synth::effects()) {
        const fs::path file = dir / (e.name + ".wav");
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            std::cerr << file.string() << ": missing or unreadable\n";
            ++bad;
            continue;
        }
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        synth::WavLimits limits;
        limits.maxSeconds = e.maxSeconds;
        for (const std::string& fault : synth::checkWav(bytes, limits)) {
            std::cerr << file.string() << ": " << fault << "\n";
            ++bad;
        }
    }
    if (bad) {
        std::cerr << "tarnix_synth: " << bad << " fault(s) in " << dir.string() << "\n";
        return 1;
    }
    std::cout << "tarnix_synth: all " << synth::effects().size() << " effects in " << dir.string()
              << " are fine\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]).rfind("--", 0) != 0) return write(argv[1]);
    if (argc == 3 && std::string(argv[1]) == "--check") return check(argv[2]);
    std::cerr << "usage: tarnix_synth OUTDIR\n"
                 "       tarnix_synth --check DIR\n";
    return 2;
}
