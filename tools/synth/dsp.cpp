#include "dsp.hpp"

#include <algorithm>
#include <cmath>

namespace synth {

int samples(double seconds) {
    return static_cast<int>(seconds * kRate + 0.5);
}

double sineTurns(double cycles) {
    double x = cycles - std::floor(cycles);  // [0, 1)
    if (x >= 0.5) x -= 1.0;                  // [-0.5, 0.5)
    if (x > 0.25) x = 0.5 - x;               // fold onto [-0.25, 0.25]
    if (x < -0.25) x = -0.5 - x;
    const double t = 2.0 * kPi * x;          // [-π/2, π/2]: Taylor converges fast here
    const double t2 = t * t;
    double term = t;
    double sum = t;
    for (int n = 1; n <= 6; ++n) {
        term *= -t2 / ((2.0 * n) * (2.0 * n + 1.0));
        sum += term;
    }
    return sum;
}

double expo(double x) {
    const double y = x / 1024.0;
    double term = 1.0;
    double sum = 1.0;
    for (int n = 1; n <= 7; ++n) {
        term *= y / n;
        sum += term;
    }
    for (int i = 0; i < 10; ++i) sum *= sum;
    return sum;
}

double softClip(double x) {
    return x / (1.0 + (x < 0 ? -x : x));
}

double Noise::next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 2147483648.0 - 1.0;
}

double Osc::advance(double hz) {
    const double p = phase_;
    phase_ += hz / kRate;
    phase_ -= std::floor(phase_);
    return p;
}

double Osc::sine(double hz) {
    return sineTurns(advance(hz));
}

double Osc::triangle(double hz) {
    const double p = advance(hz);
    return p < 0.5 ? 4.0 * p - 1.0 : 3.0 - 4.0 * p;
}

double Osc::saw(double hz, int harmonics) {
    const double p = advance(hz);
    const int limit = std::min(harmonics, static_cast<int>(kRate / 2 / hz));
    double sum = 0.0;
    for (int k = 1; k <= limit; ++k) sum += sineTurns(k * p) / k;
    return sum * (2.0 / kPi);
}

double Osc::square(double hz, int harmonics) {
    const double p = advance(hz);
    double sum = 0.0;
    for (int k = 1; k <= harmonics && k * hz < kRate / 2.0; k += 2) sum += sineTurns(k * p) / k;
    return sum * (4.0 / kPi);
}

double OnePole::lowpass(double x, double cutoffHz) {
    const double a = 1.0 - expo(-2.0 * kPi * cutoffHz / kRate);
    y_ += a * (x - y_);
    return y_;
}

double OnePole::highpass(double x, double cutoffHz) {
    return x - lowpass(x, cutoffHz);
}

double decay(double t, double seconds) {
    return expo(-6.907755 * t / seconds);  // ln 1000
}

double pluck(double t, double attack, double release) {
    if (t < 0) return 0.0;
    if (t < attack) return t / attack;
    return decay(t - attack, release);
}

double gate(double t, double start, double length, double edge) {
    const double u = t - start;
    if (u <= 0 || u >= length) return 0.0;
    const double e = std::min(edge, length / 2);
    const double d = std::min(u, length - u);
    if (d >= e) return 1.0;
    const double s = sineTurns(d / e / 4.0);
    return s * s;
}

double tail(double t, double length, double edge) {
    const double left = length - t;
    if (left <= 0) return 0.0;
    if (left >= edge) return 1.0;
    const double s = sineTurns(left / edge / 4.0);
    return s * s;
}

void mixInto(Buffer& dst, const Buffer& src, int offset, double gain) {
    if (dst.size() < src.size() + offset) dst.resize(src.size() + offset, 0.0);
    for (std::size_t i = 0; i < src.size(); ++i) dst[i + offset] += gain * src[i];
}

std::vector<std::int16_t> finish(const Buffer& in, double peak, double fadeIn, double fadeOut) {
    Buffer b = in;
    const int n = static_cast<int>(b.size());
    const int nIn = std::max(1, samples(fadeIn));
    const int nOut = std::max(1, samples(fadeOut));
    for (int i = 0; i < n; ++i) {
        double g = 1.0;
        if (i < nIn) {
            const double s = sineTurns(static_cast<double>(i) / nIn / 4.0);
            g *= s * s;
        }
        const int fromEnd = n - 1 - i;
        if (fromEnd < nOut) {
            const double s = sineTurns(static_cast<double>(fromEnd) / nOut / 4.0);
            g *= s * s;
        }
        b[i] *= g;
    }
    double maxAbs = 0.0;
    for (double v : b) maxAbs = std::max(maxAbs, v < 0 ? -v : v);
    const double scale = maxAbs > 0 ? peak * 32767.0 / maxAbs : 0.0;
    std::vector<std::int16_t> out(n);
    for (int i = 0; i < n; ++i) {
        const long v = std::lround(b[i] * scale);
        out[i] = static_cast<std::int16_t>(std::clamp(v, -32767L, 32767L));
    }
    return out;
}

}  // namespace synth
