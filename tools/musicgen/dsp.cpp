#include "dsp.h"

#include <algorithm>
#include <cmath>

namespace musicgen {

namespace {

std::array<double, kSineTableSize + 1> make_sine_table() {
    std::array<double, kSineTableSize + 1> table{};
    for (int i = 0; i <= kSineTableSize; ++i) {
        table[i] = std::sin(kTwoPi * i / kSineTableSize);
    }
    return table;
}

} // namespace

const std::array<double, kSineTableSize + 1> kSineTable = make_sine_table();

double midi_to_hz(int pitch) {
    return 440.0 * std::pow(2.0, (pitch - 69) / 12.0);
}

PanGains pan_gains(double pan) {
    const double angle = (std::clamp(pan, -1.0, 1.0) + 1.0) * kTwoPi / 8.0;
    return {std::cos(angle) * std::sqrt(2.0), std::sin(angle) * std::sqrt(2.0)};
}

double Noise::next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 2147483648.0 - 1.0;
}

void Svf::tune(double cutoff_hz, double resonance) {
    const double cutoff = std::clamp(cutoff_hz, 10.0, 0.45 * kSampleRate);
    const double g = std::tan(kTwoPi / 2.0 * cutoff / kSampleRate);
    k_ = 2.0 - 2.0 * std::clamp(resonance, 0.0, 0.98);
    a1_ = 1.0 / (1.0 + g * (g + k_));
    a2_ = g * a1_;
    a3_ = g * a2_;
}

} // namespace musicgen
