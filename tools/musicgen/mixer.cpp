#include "mixer.h"

#include "effects.h"
#include "synth.h"

#include <algorithm>
#include <cmath>

namespace musicgen {

namespace {

struct Buses {
    StereoBuffer dry;
    StereoBuffer reverb;
    StereoBuffer echo;
};

std::size_t frame_at(double seconds) {
    return static_cast<std::size_t>(std::llround(seconds * kSampleRate));
}

void add_into(StereoBuffer& bus, std::size_t offset, const StereoBuffer& sound, PanGains gains) {
    const std::size_t count =
        std::min(sound.frames(), bus.frames() - std::min(offset, bus.frames()));
    for (std::size_t i = 0; i < count; ++i) {
        bus.left[offset + i] += static_cast<float>(sound.left[i] * gains.left);
        bus.right[offset + i] += static_cast<float>(sound.right[i] * gains.right);
    }
}

PanGains scaled(PanGains gains, double level) {
    return {gains.left * level, gains.right * level};
}

void play(const Score& score, std::size_t index, Buses& buses) {
    const NoteEvent& event = score.events[index];
    const Instrument& instrument = score.instruments[event.instrument];
    const NoteSound note{score.seconds_at(event.length_ticks),
                         event.pitch >= 0 ? midi_to_hz(event.pitch) : 0.0,
                         event.glide_from_pitch >= 0 ? midi_to_hz(event.glide_from_pitch) : 0.0,
                         event.velocity, static_cast<std::uint32_t>(index) + 1};
    const StereoBuffer sound = render_note(instrument, note);
    const std::size_t offset = frame_at(score.seconds_at(event.start_tick));
    const PanGains gains = scaled(pan_gains(instrument.pan), instrument.gain);
    add_into(buses.dry, offset, sound, gains);
    if (instrument.reverb_send > 0.0) {
        add_into(buses.reverb, offset, sound, scaled(gains, instrument.reverb_send));
    }
    if (instrument.echo_send > 0.0) {
        add_into(buses.echo, offset, sound, scaled(gains, instrument.echo_send));
    }
}

void add(StereoBuffer& into, const StereoBuffer& from, double level) {
    for (std::size_t i = 0; i < into.frames(); ++i) {
        into.left[i] += static_cast<float>(from.left[i] * level);
        into.right[i] += static_cast<float>(from.right[i] * level);
    }
}

double decibels_to_gain(double decibels) {
    return std::pow(10.0, decibels / 20.0);
}

struct Levels {
    double rms;
    double peak;
};

Levels measure(const StereoBuffer& mix) {
    double sum = 0.0;
    double peak = 0.0;
    for (std::size_t i = 0; i < mix.frames(); ++i) {
        sum += static_cast<double>(mix.left[i]) * mix.left[i] +
               static_cast<double>(mix.right[i]) * mix.right[i];
        peak = std::max({peak, static_cast<double>(std::abs(mix.left[i])),
                         static_cast<double>(std::abs(mix.right[i]))});
    }
    return {std::sqrt(sum / std::max<double>(1.0, 2.0 * mix.frames())), peak};
}

void scale(StereoBuffer& mix, double gain) {
    for (std::size_t i = 0; i < mix.frames(); ++i) {
        mix.left[i] = static_cast<float>(mix.left[i] * gain);
        mix.right[i] = static_cast<float>(mix.right[i] * gain);
    }
}

// Loudness from RMS, but never asking the limiter for more than 6 dB on the loudest peak.
void master(StereoBuffer& mix, const MasterSettings& settings) {
    const Levels levels = measure(mix);
    if (levels.peak <= 0.0) {
        return;
    }
    const double ceiling = decibels_to_gain(settings.ceiling_db);
    const double loudness = decibels_to_gain(settings.rms_db) / levels.rms;
    scale(mix, std::min(loudness, 2.0 * ceiling / levels.peak));
    limit(mix, ceiling);
}

// Raised-cosine fades: a short one in, so a first hit cannot click, and the score's fade out.
void fade_edges(StereoBuffer& mix, double fade_out_seconds) {
    const std::size_t fade_in = std::min(mix.frames(), frame_at(0.002));
    const std::size_t fade_out = std::min(mix.frames(), frame_at(fade_out_seconds));
    const auto shape = [](std::size_t step, std::size_t steps) {
        return static_cast<float>(0.5 - 0.5 * std::cos(kTwoPi / 2.0 * step / steps));
    };
    for (std::size_t i = 0; i < fade_in; ++i) {
        mix.left[i] *= shape(i, fade_in);
        mix.right[i] *= shape(i, fade_in);
    }
    for (std::size_t i = 0; i < fade_out; ++i) {
        const std::size_t at = mix.frames() - 1 - i;
        mix.left[at] *= shape(i, fade_out);
        mix.right[at] *= shape(i, fade_out);
    }
}

} // namespace

StereoBuffer mix_score(const Score& score) {
    const std::size_t frames = frame_at(score.rendered_seconds());
    Buses buses{StereoBuffer(frames), StereoBuffer(frames), StereoBuffer(frames)};
    for (std::size_t i = 0; i < score.events.size(); ++i) {
        play(score, i, buses);
    }
    const std::size_t delay = frame_at(score.seconds_at(score.echo.delay_ticks));
    {
        const StereoBuffer echoes = echo(buses.echo, delay, score.echo);
        buses.echo = StereoBuffer(); // a full-length buffer: free it before the reverb needs one
        add(buses.dry, echoes, 1.0);
        add(buses.reverb, echoes, 0.5);
    }
    add(buses.dry, reverberate(buses.reverb, score.reverb), 1.0);
    master(buses.dry, score.master);
    fade_edges(buses.dry, score.master.fade_seconds);
    return std::move(buses.dry);
}

std::vector<std::int16_t> to_pcm16(const StereoBuffer& mix) {
    std::vector<std::int16_t> pcm;
    pcm.reserve(2 * mix.frames());
    const auto convert = [](float sample) {
        const long value = std::lround(static_cast<double>(sample) * 32767.0);
        return static_cast<std::int16_t>(std::clamp(value, -32767L, 32767L));
    };
    for (std::size_t i = 0; i < mix.frames(); ++i) {
        pcm.push_back(convert(mix.left[i]));
        pcm.push_back(convert(mix.right[i]));
    }
    return pcm;
}

} // namespace musicgen
