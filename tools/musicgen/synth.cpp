#include "synth.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace musicgen {

namespace {

// Pitch, vibrato and filter move once per block; amplitude moves every sample.
constexpr std::size_t kBlock = 32;
constexpr double kMinimumRamp = 0.003; // shortest attack or release that does not click

double seconds(std::size_t frame) {
    return static_cast<double>(frame) / kSampleRate;
}

std::size_t frames_for(double duration) {
    return static_cast<std::size_t>(std::ceil(duration * kSampleRate)) + 1;
}

double held_level(const Envelope& envelope, double t) {
    if (t < envelope.attack) {
        return t / envelope.attack;
    }
    const double into_decay = t - envelope.attack;
    if (into_decay >= envelope.decay) {
        return envelope.sustain;
    }
    const double remaining = 1.0 - into_decay / envelope.decay;
    return envelope.sustain + (1.0 - envelope.sustain) * remaining * remaining;
}

double envelope_level(const Envelope& envelope, double hold, double t) {
    if (t < hold) {
        return held_level(envelope, t);
    }
    const double released = t - hold;
    if (released >= envelope.release) {
        return 0.0;
    }
    const double remaining = 1.0 - released / envelope.release;
    return held_level(envelope, hold) * remaining * remaining;
}

// One oscillator of a tone: a band-limited classic waveform, or a two-operator FM pair.
class Oscillator {
  public:
    Oscillator(const Instrument& instrument, double phase)
        : sound_(instrument.sound), width_(instrument.pulse_width), ratio_(instrument.fm_ratio),
          phase_(phase) {}

    double next(double increment, double fm_index) {
        const double out = value(increment, fm_index);
        phase_ = advance(phase_, increment);
        if (sound_ == Sound::Fm) {
            modulator_phase_ = advance(modulator_phase_, increment * ratio_);
        }
        return out;
    }

  private:
    double value(double increment, double fm_index) const {
        switch (sound_) {
        case Sound::Saw:
            return 2.0 * phase_ - 1.0 - poly_blep(phase_, increment);
        case Sound::Square:
            return (phase_ < width_ ? 1.0 : -1.0) + poly_blep(phase_, increment) -
                   poly_blep(wrap(phase_ + 1.0 - width_), increment);
        case Sound::Triangle:
            return 4.0 * std::abs(phase_ - 0.5) - 1.0 +
                   8.0 * increment *
                       (poly_blamp(wrap(phase_ + 0.5), increment) - poly_blamp(phase_, increment));
        case Sound::Fm:
            return sine(phase_ + fm_index * sine(modulator_phase_) / kTwoPi);
        default:
            return sine(phase_);
        }
    }

    Sound sound_;
    double width_;
    double ratio_;
    double phase_;
    double modulator_phase_ = 0.0;
};

struct UnisonVoice {
    Oscillator oscillator;
    double pitch_ratio;
    PanGains gains;
};

// Detuned copies spread across the stereo field: the classic thick lead and pad.
std::vector<UnisonVoice> make_unison(const Instrument& instrument, Noise& random) {
    std::vector<UnisonVoice> voices;
    const int count = instrument.unison;
    const double level = 1.0 / std::sqrt(static_cast<double>(count));
    for (int i = 0; i < count; ++i) {
        const double position = count > 1 ? 2.0 * i / (count - 1) - 1.0 : 0.0;
        const double phase = count > 1 ? 0.5 * (random.next() + 1.0) : 0.0;
        const PanGains pan = pan_gains(position * instrument.spread);
        voices.push_back({Oscillator(instrument, phase),
                          std::pow(2.0, position * instrument.detune_cents / 1200.0),
                          {pan.left * level, pan.right * level}});
    }
    return voices;
}

double frequency_at(const Instrument& instrument, const NoteSound& note, double t) {
    double frequency = note.frequency;
    if (note.glide_from_frequency > 0.0 && t < instrument.glide) {
        const double remaining = 1.0 - t / instrument.glide;
        frequency *= std::pow(note.glide_from_frequency / note.frequency, remaining);
    }
    if (instrument.vibrato_cents > 0.0 && t > instrument.vibrato_delay) {
        const double fade_in = std::min(1.0, (t - instrument.vibrato_delay) / 0.3);
        const double cents = instrument.vibrato_cents * fade_in * sine(instrument.vibrato_hz * t);
        frequency *= std::pow(2.0, cents / 1200.0);
    }
    return frequency;
}

StereoBuffer render_tone(const Instrument& instrument, const NoteSound& note) {
    Envelope envelope = instrument.envelope;
    envelope.attack = std::max(envelope.attack, kMinimumRamp);
    envelope.release = std::max(envelope.release, kMinimumRamp);
    const double hold = std::max(0.01, note.hold_seconds * instrument.gate);
    StereoBuffer out(frames_for(hold + envelope.release));

    Noise random(note.seed);
    std::vector<UnisonVoice> voices = make_unison(instrument, random);
    const bool filtered = instrument.cutoff_hz > 0.0;
    Svf left_filter;
    Svf right_filter;
    double sub_phase = 0.0;
    for (std::size_t start = 0; start < out.frames(); start += kBlock) {
        const double t = seconds(start);
        const double increment = frequency_at(instrument, note, t) / kSampleRate;
        const double fm_index =
            instrument.fm_index *
            (instrument.fm_decay > 0.0 ? std::exp(-t / instrument.fm_decay) : 1.0);
        if (filtered) {
            const double sweep = std::exp(-t / std::max(instrument.filter_decay, 0.001));
            const double cutoff = instrument.cutoff_hz + instrument.filter_env_hz * sweep;
            left_filter.tune(cutoff, instrument.resonance);
            right_filter.tune(cutoff, instrument.resonance);
        }
        const std::size_t end = std::min(start + kBlock, out.frames());
        for (std::size_t i = start; i < end; ++i) {
            double left = 0.0;
            double right = 0.0;
            for (UnisonVoice& voice : voices) {
                const double sample =
                    voice.oscillator.next(increment * voice.pitch_ratio, fm_index);
                left += sample * voice.gains.left;
                right += sample * voice.gains.right;
            }
            if (instrument.sub > 0.0) {
                const double sample = instrument.sub * sine(sub_phase);
                sub_phase = advance(sub_phase, increment / 2.0);
                left += sample;
                right += sample;
            }
            if (filtered) {
                left = left_filter.lowpass(left);
                right = right_filter.lowpass(right);
            }
            const double level = note.velocity * envelope_level(envelope, hold, seconds(i));
            out.left[i] = static_cast<float>(left * level);
            out.right[i] = static_cast<float>(right * level);
        }
    }
    return out;
}

// The clangy part of hats and cymbals: square waves at unrelated frequencies.
class Metal {
  public:
    explicit Metal(double base_hz) {
        static constexpr std::array<double, 6> kRatios{1.0, 1.342, 1.2312, 1.6532, 1.9523, 2.1523};
        for (std::size_t i = 0; i < kRatios.size(); ++i) {
            increments_[i] = base_hz * kRatios[i] / kSampleRate;
        }
    }

    double next() {
        double sum = 0.0;
        for (std::size_t i = 0; i < phases_.size(); ++i) {
            sum += phases_[i] < 0.5 ? 1.0 : -1.0;
            phases_[i] = advance(phases_[i], increments_[i]);
        }
        return sum / static_cast<double>(phases_.size());
    }

  private:
    std::array<double, 6> phases_{};
    std::array<double, 6> increments_{};
};

struct DrumShape {
    double pitch_hz;
    double decay; // time to fall about 43 dB
    double tone;
};

DrumShape drum_shape(const Instrument& instrument, const NoteSound& note, double pitch,
                     double decay) {
    const double own_pitch = instrument.drum_pitch_hz > 0.0 ? instrument.drum_pitch_hz : pitch;
    return {note.frequency > 0.0 ? note.frequency : own_pitch,
            instrument.drum_decay > 0.0 ? instrument.drum_decay : decay, instrument.drum_tone};
}

double falloff(double t, double decay) {
    return std::exp(-5.0 * t / decay);
}

// A sine that dives from high above its pitch, plus a click of noise for the beater.
std::vector<float> kick(const DrumShape& shape, Noise& noise) {
    std::vector<float> out(frames_for(shape.decay * 1.4));
    Svf click_filter;
    click_filter.tune(4000.0, 0.0);
    double phase = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = seconds(i);
        const double body = sine(phase) * falloff(t, shape.decay);
        phase = advance(phase, shape.pitch_hz * (1.0 + 2.5 * std::exp(-t / 0.03)) / kSampleRate);
        const double click = click_filter.lowpass(noise.next()) * std::exp(-t / 0.004) * shape.tone;
        out[i] = static_cast<float>(std::tanh(1.5 * (body + click)) / std::tanh(1.5));
    }
    return out;
}

// A short drum tone under a burst of band-limited noise for the wires; tone sets the balance.
std::vector<float> snare(const DrumShape& shape, Noise& noise) {
    std::vector<float> out(frames_for(shape.decay * 1.4));
    Svf low_cut;
    Svf high_cut;
    low_cut.tune(900.0, 0.1);
    high_cut.tune(9000.0, 0.0);
    double phase = 0.0;
    double overtone_phase = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = seconds(i);
        const double frequency = shape.pitch_hz * (1.0 + 0.3 * std::exp(-t / 0.01));
        const double body = (sine(phase) + 0.5 * sine(overtone_phase)) * std::exp(-t / 0.05);
        phase = advance(phase, frequency / kSampleRate);
        overtone_phase = advance(overtone_phase, 1.72 * frequency / kSampleRate);
        const double wires =
            high_cut.lowpass(low_cut.highpass(noise.next())) * falloff(t, shape.decay);
        out[i] = static_cast<float>(shape.tone * body + (1.0 - shape.tone) * 1.6 * wires);
    }
    return out;
}

// Hats and crashes: noise and metal above a high-pass; tone brightens.
std::vector<float> cymbal(const DrumShape& shape, Noise& noise, double low_cut_hz) {
    std::vector<float> out(frames_for(shape.decay * 1.4));
    Metal metal(shape.pitch_hz);
    Svf low_cut;
    Svf high_cut;
    low_cut.tune(low_cut_hz, 0.2);
    high_cut.tune(9000.0 + 8000.0 * shape.tone, 0.0);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = seconds(i);
        const double attack = std::min(1.0, t / 0.001);
        const double source = 0.65 * noise.next() + 0.55 * metal.next();
        const double level = attack * falloff(t, shape.decay);
        out[i] = static_cast<float>(1.5 * high_cut.lowpass(low_cut.highpass(source)) * level);
    }
    return out;
}

// A pitched drum: a sine that settles onto its note, with a little skin noise.
std::vector<float> tom(const DrumShape& shape, Noise& noise) {
    std::vector<float> out(frames_for(shape.decay * 1.4));
    Svf skin;
    skin.tune(2500.0, 0.0);
    double phase = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = seconds(i);
        const double body = sine(phase) * falloff(t, shape.decay);
        phase = advance(phase, shape.pitch_hz * (1.0 + 0.6 * std::exp(-t / 0.05)) / kSampleRate);
        const double hit = skin.lowpass(noise.next()) * std::exp(-t / 0.02) * shape.tone;
        out[i] = static_cast<float>(body + hit);
    }
    return out;
}

std::vector<float> drum_samples(const Instrument& instrument, const NoteSound& note) {
    Noise noise(note.seed);
    switch (instrument.sound) {
    case Sound::Kick:
        return kick(drum_shape(instrument, note, 50.0, 0.35), noise);
    case Sound::Snare:
        return snare(drum_shape(instrument, note, 185.0, 0.2), noise);
    case Sound::Hat:
        return cymbal(drum_shape(instrument, note, 320.0, 0.07), noise, 7000.0);
    case Sound::Crash:
        return cymbal(drum_shape(instrument, note, 420.0, 1.8), noise, 3500.0);
    default:
        return tom(drum_shape(instrument, note, 110.0, 0.4), noise);
    }
}

StereoBuffer render_drum(const Instrument& instrument, const NoteSound& note) {
    std::vector<float> samples = drum_samples(instrument, note);
    const std::size_t fade = std::min(samples.size(), frames_for(0.005));
    for (std::size_t i = 0; i < fade; ++i) {
        samples[samples.size() - 1 - i] *= static_cast<float>(i) / static_cast<float>(fade);
    }
    StereoBuffer out(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const float sample = samples[i] * static_cast<float>(note.velocity);
        out.left[i] = sample;
        out.right[i] = sample;
    }
    return out;
}

} // namespace

StereoBuffer render_note(const Instrument& instrument, const NoteSound& note) {
    return is_drum(instrument.sound) ? render_drum(instrument, note)
                                     : render_tone(instrument, note);
}

} // namespace musicgen
