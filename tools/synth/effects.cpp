#include "effects.hpp"

#include "dsp.hpp"

namespace synth {
namespace {

double seconds(int i) {
    return static_cast<double>(i) / kRate;
}

// Equal temperament, A4 = 440 Hz; `semitones` counted from A4.
double note(int semitones) {
    return 440.0 * expo(semitones * 0.6931471805599453 / 12.0);
}

constexpr int C4 = -9, D4 = -7, E4 = -5, G4 = -2, B4 = 2, C5 = 3, E5 = 7, G5 = 10, C6 = 15, E6 = 19,
              G6 = 22;

// One struck bell note: inharmonic partials that die away faster the higher they are.
Buffer bell(double hz, double length) {
    struct Partial { double ratio, gain, decay; };
    const Partial partials[] = {{1.0, 1.0, length}, {2.0, 0.35, length * 0.6},
                                {2.76, 0.45, length * 0.35}, {5.40, 0.2, length * 0.15}};
    Buffer b(samples(length));
    for (const Partial& p : partials) {
        if (hz * p.ratio >= kRate / 2.0) continue;
        Osc osc;
        for (std::size_t i = 0; i < b.size(); ++i)
            b[i] += p.gain * osc.sine(hz * p.ratio) * pluck(seconds(i), 0.003, p.decay) *
                    tail(seconds(i), length, 0.05);
    }
    return b;
}

// A brassy note: a sawtooth whose brightness follows its loudness, with
// vibrato creeping in on long notes.
Buffer horn(double hz, double length, double vibrato) {
    Buffer b(samples(length));
    Osc osc, lfo;
    OnePole tone;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = seconds(i);
        const double env = gate(t, 0.0, length, 0.012) * (0.75 + 0.25 * decay(t, 0.15));
        const double depth = vibrato * (t > 0.15 ? (t - 0.15) / (length) : 0.0);
        const double f = hz * (1.0 + depth * lfo.sine(5.5));
        b[i] = env * tone.lowpass(osc.saw(f, 8), 450.0 + 2200.0 * env);
    }
    return b;
}

// "up": a row of stone grinds its way up the well. A low hum that climbs a
// little, with gravel grinding on top so that small speakers still carry it.
Buffer rumble() {
    const double length = 0.50;
    Buffer b(samples(length));
    Noise noise(0x5EED0001u);
    Osc hum, body, grind;
    OnePole gravelLow, gravelHigh, warm;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = seconds(i);
        const double f = 52.0 + 26.0 * t / length;
        const double env = gate(t, 0.0, length, 0.04) * (t < 0.25 ? 1.0 : decay(t - 0.25, 0.5));
        const double tone = 0.8 * hum.sine(f) + 0.35 * body.triangle(2.0 * f);
        const double gravel = gravelHigh.highpass(gravelLow.lowpass(noise.next(), 420.0), 90.0);
        const double rattle = 0.55 + 0.45 * grind.sine(23.0);
        b[i] = env * warm.lowpass(tone + 4.0 * gravel * rattle, 900.0);
    }
    return b;
}

// "bomb": a crack, a thump that drops in pitch, and a roar of noise whose
// brightness dies away faster than its loudness.
Buffer blast() {
    const double length = 0.85;
    Buffer b(samples(length));
    Noise noise(0x5EED0002u);
    Osc thump;
    OnePole roar1, roar2, crack;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = seconds(i);
        const double n = noise.next();
        const double pitch = 38.0 + 150.0 * expo(-t / 0.06);
        const double low = thump.sine(pitch) * pluck(t, 0.002, 0.40);
        const double cutoff = 220.0 + 6500.0 * expo(-t / 0.07);
        const double body = roar2.lowpass(roar1.lowpass(n, cutoff), cutoff) * pluck(t, 0.001, 0.75);
        const double snap = crack.highpass(n, 1800.0) * decay(t, 0.035);
        b[i] = softClip(1.8 * (1.1 * low + 2.6 * body + 0.6 * snap));
    }
    return b;
}

// "get": a gift picked up. Three quick bell notes climbing a major chord.
Buffer chime() {
    Buffer b;
    mixInto(b, bell(note(C6), 0.30), 0);
    mixInto(b, bell(note(E6), 0.30), samples(0.065));
    mixInto(b, bell(note(G6), 0.50), samples(0.13));
    return b;
}

// "over": the game is lost. A minor phrase walking down, the last note
// sagging with a slow vibrato.
Buffer lament() {
    Buffer b;
    const int steps[] = {B4, G4, E4};
    for (int k = 0; k < 3; ++k) mixInto(b, horn(note(steps[k]), 0.21, 0.0), samples(0.24 * k), 0.9);

    const double length = 0.85;
    Buffer last(samples(length));
    Osc osc, lfo;
    OnePole tone;
    const double from = note(D4 + 1), to = note(D4 - 1);
    for (std::size_t i = 0; i < last.size(); ++i) {
        const double t = seconds(i);
        const double slide = t / length;
        const double f = (from + (to - from) * slide * slide) * (1.0 + 0.012 * lfo.sine(4.5) * slide);
        const double env = gate(t, 0.0, length, 0.015) * (0.4 + 0.6 * decay(t, 1.6));
        last[i] = env * tone.lowpass(osc.saw(f, 8), 400.0 + 1200.0 * (1.0 - slide));
    }
    mixInto(b, last, samples(0.72));
    return b;
}

// "height": a new high score. A quick rising fanfare landing on a held chord.
Buffer fanfare() {
    struct Step { int pitch; double at, length; };
    const Step melody[] = {{G4, 0.00, 0.09}, {C5, 0.10, 0.09}, {E5, 0.20, 0.09}, {G5, 0.30, 0.17},
                           {E5, 0.49, 0.08}, {G5, 0.58, 0.08}};
    Buffer b;
    for (const Step& s : melody) mixInto(b, horn(note(s.pitch), s.length, 0.0), samples(s.at));
    const int at = samples(0.68);
    mixInto(b, horn(note(C6), 0.58, 0.012), at);
    mixInto(b, horn(note(G5), 0.58, 0.0), at, 0.45);
    mixInto(b, horn(note(E5), 0.58, 0.0), at, 0.40);
    mixInto(b, horn(note(C4), 0.58, 0.0), at, 0.35);
    return b;
}

// "cursor": the title cursor moves. A soft, short upward blip.
Buffer blip() {
    Buffer b(samples(0.075));
    Osc osc, octave;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = seconds(i);
        const double f = 880.0 + 440.0 * (t < 0.025 ? t / 0.025 : 1.0);
        b[i] = pluck(t, 0.004, 0.06) * (osc.sine(f) + 0.15 * octave.triangle(2.0 * f));
    }
    return b;
}

// "select": a choice is made. A firm tick followed by two bright steps up.
Buffer confirm() {
    const double length = 0.19;
    Buffer b(samples(length));
    Noise noise(0x5EED0007u);
    Osc first, second;
    OnePole tick, tone;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = seconds(i);
        const double click = tick.highpass(noise.next(), 2500.0) * decay(t, 0.012);
        const double a = first.square(note(E5), 9) * gate(t, 0.0, 0.055, 0.004);
        const double c = second.square(note(B4 + 12), 9) * gate(t, 0.05, 0.135, 0.004)
                         * decay(t > 0.05 ? t - 0.05 : 0.0, 0.25);
        b[i] = 0.8 * click + tone.lowpass(a + c, 2600.0);
    }
    return b;
}

}  // namespace

const std::vector<Effect>& effects() {
    static const std::vector<Effect> all = {
        {"up", 1.0},     {"bomb", 1.0},   {"get", 1.0},    {"over", 2.0},
        {"height", 2.0}, {"cursor", 1.0}, {"select", 1.0},
    };
    return all;
}

std::vector<std::int16_t> render(const std::string& name) {
    // Each effect gets its own loudness: the cursor should whisper, the blast should not.
    if (name == "up") return finish(rumble(), 0.62, 0.004, 0.03);
    if (name == "bomb") return finish(blast(), 0.88, 0.001, 0.04);
    if (name == "get") return finish(chime(), 0.70, 0.002, 0.03);
    if (name == "over") return finish(lament(), 0.72, 0.004, 0.05);
    if (name == "height") return finish(fanfare(), 0.74, 0.004, 0.05);
    if (name == "cursor") return finish(blip(), 0.45, 0.002, 0.01);
    if (name == "select") return finish(confirm(), 0.60, 0.001, 0.02);
    return {};
}

}  // namespace synth
