#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace musicgen {

constexpr int kSampleRate = 44100;
constexpr double kTwoPi = 6.283185307179586;

struct StereoBuffer {
    std::vector<float> left;
    std::vector<float> right;

    explicit StereoBuffer(std::size_t frames = 0) : left(frames), right(frames) {}
    std::size_t frames() const { return left.size(); }
};

double midi_to_hz(int pitch);

// Phase wrapped into [0, 1).
inline double wrap(double phase) {
    return phase - std::floor(phase);
}

// Moves a phase on by less than a few cycles; cheaper than wrap() in the common case.
inline double advance(double phase, double increment) {
    phase += increment;
    return phase < 1.0 ? phase : wrap(phase);
}

constexpr int kSineTableSize = 4096;
extern const std::array<double, kSineTableSize + 1> kSineTable;

// sin(2*pi*phase) from a table: the synth calls it millions of times per piece.
inline double sine(double phase) {
    const double position = wrap(phase) * kSineTableSize;
    const int index = static_cast<int>(position) & (kSineTableSize - 1);
    const double fraction = position - std::floor(position);
    return kSineTable[index] + (kSineTable[index + 1] - kSineTable[index]) * fraction;
}

// Gains for a mono source at pan -1 (left) .. +1 (right); 1 each in the centre.
struct PanGains {
    double left;
    double right;
};
PanGains pan_gains(double pan);

// Band-limiting corrections at phase 0: for a jump in a waveform (saw, square), and for a
// sudden change of slope (the corners of a triangle).
inline double poly_blep(double phase, double increment) {
    if (phase < increment) {
        const double t = phase / increment;
        return t + t - t * t - 1.0;
    }
    if (phase > 1.0 - increment) {
        const double t = (phase - 1.0) / increment;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

inline double poly_blamp(double phase, double increment) {
    if (phase < increment) {
        const double t = 1.0 - phase / increment;
        return t * t * t / 3.0;
    }
    if (phase > 1.0 - increment) {
        const double t = 1.0 + (phase - 1.0) / increment;
        return t * t * t / 3.0;
    }
    return 0.0;
}

// A deterministic white-noise source, so that the same score renders the same bytes. The state
// is kept odd: xorshift never leaves zero.
class Noise {
  public:
    explicit Noise(std::uint32_t seed) : state_((seed * 2654435761u + 0x6d2b79f5u) | 1u) {}
    double next(); // -1 .. 1

  private:
    std::uint32_t state_;
};

// Two-pole state-variable filter (trapezoidal); stays stable while its cutoff moves.
class Svf {
  public:
    void tune(double cutoff_hz, double resonance);
    double lowpass(double in) { return step(in).low; }
    double bandpass(double in) { return step(in).band; }
    double highpass(double in) {
        const Outputs out = step(in);
        return in - k_ * out.band - out.low;
    }

  private:
    struct Outputs {
        double low;
        double band;
    };
    Outputs step(double in) {
        const double v3 = in - ic2_;
        const double v1 = a1_ * ic1_ + a2_ * v3;
        const double v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
        ic1_ = 2.0 * v1 - ic1_;
        ic2_ = 2.0 * v2 - ic2_;
        return {v2, v1};
    }

    double a1_ = 1.0, a2_ = 0.0, a3_ = 0.0, k_ = 2.0;
    double ic1_ = 0.0, ic2_ = 0.0;
};

} // namespace musicgen
