#include "score_syntax.h"

#include <functional>
#include <map>

namespace musicgen::syntax {

namespace {

std::vector<std::string_view> split_commas(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string_view::npos) {
            return parts;
        }
        start = comma + 1;
    }
}

double milliseconds(const Place& place, std::string_view what, std::string_view text, double high) {
    return number_in(place, std::string(what) + " (ms)", text, 0, high) / 1000.0;
}

void set_envelope(const Place& place, Instrument& instrument, const Setting& setting) {
    const auto parts = split_commas(setting.value);
    if (parts.size() != 4) {
        place.fail("adsr takes attack,decay,sustain,release (ms,ms,level,ms), not " +
                   in_quotes(setting.value));
    }
    instrument.envelope = {milliseconds(place, "attack", parts[0], 10000),
                           milliseconds(place, "decay", parts[1], 20000),
                           number_in(place, "sustain", parts[2], 0, 1),
                           milliseconds(place, "release", parts[3], 10000)};
}

void set_vibrato(const Place& place, Instrument& instrument, const Setting& setting) {
    const auto parts = split_commas(setting.value);
    if (parts.size() < 2 || parts.size() > 3) {
        place.fail("vibrato takes rate,cents[,delay ms], not " + in_quotes(setting.value));
    }
    instrument.vibrato_hz = number_in(place, "vibrato rate", parts[0], 0, 20);
    instrument.vibrato_cents = number_in(place, "vibrato depth", parts[1], 0, 200);
    instrument.vibrato_delay =
        parts.size() == 3 ? milliseconds(place, "vibrato delay", parts[2], 5000) : 0.0;
}

void set_arp_mode(const Place& place, Instrument& instrument, const Setting& setting) {
    static const std::map<std::string_view, ArpMode> kModes{
        {"up", ArpMode::Up}, {"down", ArpMode::Down}, {"updown", ArpMode::UpDown}};
    const auto found = kModes.find(setting.value);
    if (found == kModes.end()) {
        place.fail("arpmode is up, down or updown, not " + in_quotes(setting.value));
    }
    instrument.arp_mode = found->second;
}

void set_arp_step(const Place& place, Instrument& instrument, const Setting& setting) {
    instrument.arp_ticks = parse_duration(place, setting.value);
}

using InstrumentSetter = std::function<void(const Place&, Instrument&, const Setting&)>;

InstrumentSetter number(double Instrument::*field, double low, double high) {
    return [=](const Place& place, Instrument& instrument, const Setting& setting) {
        instrument.*field = number_in(place, setting.key, setting.value, low, high);
    };
}

InstrumentSetter whole_number(int Instrument::*field, int low, int high) {
    return [=](const Place& place, Instrument& instrument, const Setting& setting) {
        const auto value = to_integer(setting.value);
        if (!value || *value < low || *value > high) {
            place.fail(std::string(setting.key) + " must be a whole number from " +
                       std::to_string(low) + " to " + std::to_string(high) + ", not " +
                       in_quotes(setting.value));
        }
        instrument.*field = *value;
    };
}

InstrumentSetter time_in_ms(double Instrument::*field, double high) {
    return [=](const Place& place, Instrument& instrument, const Setting& setting) {
        instrument.*field = milliseconds(place, setting.key, setting.value, high);
    };
}

const std::map<std::string_view, InstrumentSetter>& instrument_setters() {
    static const std::map<std::string_view, InstrumentSetter> kSetters{
        {"gain", number(&Instrument::gain, 0, 4)},
        {"pan", number(&Instrument::pan, -1, 1)},
        {"adsr", set_envelope},
        {"gate", number(&Instrument::gate, 0.05, 1)},
        {"unison", whole_number(&Instrument::unison, 1, 8)},
        {"detune", number(&Instrument::detune_cents, 0, 100)},
        {"spread", number(&Instrument::spread, 0, 1)},
        {"sub", number(&Instrument::sub, 0, 2)},
        {"width", number(&Instrument::pulse_width, 0.05, 0.95)},
        {"cutoff", number(&Instrument::cutoff_hz, 20, 20000)},
        {"resonance", number(&Instrument::resonance, 0, 0.95)},
        {"fenv", number(&Instrument::filter_env_hz, 0, 20000)},
        {"fdecay", time_in_ms(&Instrument::filter_decay, 20000)},
        {"vibrato", set_vibrato},
        {"glide", time_in_ms(&Instrument::glide, 2000)},
        {"ratio", number(&Instrument::fm_ratio, 0.25, 16)},
        {"index", number(&Instrument::fm_index, 0, 20)},
        {"idecay", time_in_ms(&Instrument::fm_decay, 20000)},
        {"reverb", number(&Instrument::reverb_send, 0, 1)},
        {"echo", number(&Instrument::echo_send, 0, 1)},
        {"arp", set_arp_step},
        {"arpmode", set_arp_mode},
        {"arpoct", whole_number(&Instrument::arp_octaves, 1, 4)},
        {"pitch", number(&Instrument::drum_pitch_hz, 20, 2000)},
        {"decay", time_in_ms(&Instrument::drum_decay, 10000)},
        {"tone", number(&Instrument::drum_tone, 0, 1)},
    };
    return kSetters;
}

} // namespace

std::optional<Sound> sound_named(std::string_view name) {
    static const std::map<std::string_view, Sound> kSounds{
        {"sine", Sound::Sine},     {"triangle", Sound::Triangle},
        {"square", Sound::Square}, {"saw", Sound::Saw},
        {"fm", Sound::Fm},         {"kick", Sound::Kick},
        {"snare", Sound::Snare},   {"hat", Sound::Hat},
        {"tom", Sound::Tom},       {"crash", Sound::Crash}};
    const auto found = kSounds.find(name);
    return found == kSounds.end() ? std::nullopt : std::optional<Sound>(found->second);
}

Setting split_setting(const Place& place, std::string_view text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos || equals == 0 || equals + 1 == text.size()) {
        place.fail("expected key=value, not " + in_quotes(text));
    }
    return {text.substr(0, equals), text.substr(equals + 1)};
}

bool apply_instrument_setting(const Place& place, Instrument& instrument, const Setting& setting) {
    const auto setter = instrument_setters().find(setting.key);
    if (setter == instrument_setters().end()) {
        return false;
    }
    setter->second(place, instrument, setting);
    return true;
}

} // namespace musicgen::syntax
