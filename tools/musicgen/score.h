#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace musicgen {

// Note lengths are counted in ticks so that bars of dotted notes and triplets add up exactly.
constexpr std::int64_t kTicksPerQuarter = 480;
constexpr std::int64_t kTicksPerWhole = 4 * kTicksPerQuarter;

// A problem in a score, reported as "file:line: problem" so the composer can jump to it.
class ScoreError : public std::runtime_error {
  public:
    ScoreError(const std::string& file, int line, const std::string& problem);
};

enum class Sound { Sine, Triangle, Square, Saw, Fm, Kick, Snare, Hat, Tom, Crash };
enum class ArpMode { Up, Down, UpDown };

bool is_drum(Sound sound);

// Times in seconds; sustain is a level.
struct Envelope {
    double attack = 0.005;
    double decay = 0.1;
    double sustain = 0.8;
    double release = 0.12;
};

struct Instrument {
    std::string name;
    Sound sound = Sound::Sine;
    double gain = 0.5;
    double pan = 0.0; // -1 left .. +1 right
    Envelope envelope;
    double gate = 1.0; // fraction of the written length a note is held
    int unison = 1;
    double detune_cents = 0.0;
    double spread = 0.0; // stereo width of the unison voices
    double sub = 0.0;    // level of a sine one octave down
    double pulse_width = 0.5;
    double cutoff_hz = 0.0; // 0: no filter
    double resonance = 0.0;
    double filter_env_hz = 0.0;
    double filter_decay = 0.2;
    double vibrato_hz = 0.0;
    double vibrato_cents = 0.0;
    double vibrato_delay = 0.0;
    double glide = 0.0;
    double fm_ratio = 2.0;
    double fm_index = 0.0;
    double fm_decay = 0.0; // 0: the index stays constant
    double reverb_send = 0.0;
    double echo_send = 0.0;
    std::int64_t arp_ticks = 0; // 0: chords sound together
    ArpMode arp_mode = ArpMode::Up;
    int arp_octaves = 1;
    double drum_pitch_hz = 0.0; // 0: the drum's own default
    double drum_decay = 0.0;    // 0: the drum's own default
    double drum_tone = 0.5;
};

// One sounding note, fully resolved: patterns expanded, ties merged, arpeggios spelled out.
struct NoteEvent {
    int instrument = 0;
    std::int64_t start_tick = 0;
    std::int64_t length_ticks = 0;
    int pitch = -1;            // MIDI note number; -1 lets a drum use its own pitch
    int glide_from_pitch = -1; // -1: no glide
    double velocity = 1.0;
};

struct ReverbSettings {
    double size = 0.8;
    double damping = 0.4;
    double width = 1.0;
};

struct EchoSettings {
    std::int64_t delay_ticks = 3 * kTicksPerQuarter / 4;
    double feedback = 0.3;
    double damping = 0.3;
};

struct MasterSettings {
    double rms_db = -16.0;
    double ceiling_db = -1.0;
    double tail_seconds = 3.0; // time after the last bar for releases and reverb to die away
    double fade_seconds = 1.5; // fade at the very end of the tail
};

struct Score {
    std::string title;
    double tempo_bpm = 0.0; // quarter notes per minute
    int meter_beats = 4;
    int meter_unit = 4;
    std::vector<Instrument> instruments;
    std::vector<NoteEvent> events; // sorted by start tick
    std::int64_t length_ticks = 0;
    ReverbSettings reverb;
    EchoSettings echo;
    MasterSettings master;

    double seconds_per_tick() const { return 60.0 / (tempo_bpm * kTicksPerQuarter); }
    double seconds_at(std::int64_t tick) const {
        return static_cast<double>(tick) * seconds_per_tick();
    }
    std::int64_t bar_ticks() const { return kTicksPerWhole * meter_beats / meter_unit; }
    // The written music, without the tail.
    double length_seconds() const { return seconds_at(length_ticks); }
    // What the rendered file lasts: the music plus its tail.
    double rendered_seconds() const { return length_seconds() + master.tail_seconds; }
};

// Throws ScoreError for anything malformed; file_name only labels the messages.
Score parse_score(std::string_view text, const std::string& file_name);
Score load_score(const std::filesystem::path& path);

} // namespace musicgen
