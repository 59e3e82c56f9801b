#pragma once

// The score as written, before patterns are expanded into notes. Shared by the parser and the
// expander; not part of the tool's interface.

#include "score.h"

#include <map>
#include <optional>

namespace musicgen::syntax {

// Where a problem was found; turns it into a ScoreError.
struct Place {
    const std::string* file;
    int line;

    [[noreturn]] void fail(const std::string& problem) const;
};

struct Item {
    enum class Kind { Notes, Rest, Velocity, Bar, Ref, Group };

    Kind kind = Kind::Rest;
    int line = 0;
    std::vector<int> pitches;   // Notes: one pitch, or a chord
    std::int64_t ticks = 0;     // Notes, Rest
    bool tie = false;           // Notes
    double velocity = 1.0;      // Velocity
    std::string ref;            // Ref
    int transpose = 0;          // Ref
    int repeat = 1;             // Ref, Group
    std::vector<Item> children; // Group
};

struct GridRow {
    std::string instrument;
    std::string steps; // one character a step: x X o or a rest
    int line = 0;
};

struct Pattern {
    std::string name;
    int line = 0;
    bool is_grid = false;
    std::int64_t step_ticks = 0;
    std::vector<Item> body;
    std::vector<GridRow> rows;
};

struct Layer {
    std::string voice; // an instrument, or "beat" for a line of drum grids
    int line = 0;
    std::vector<Item> body;

    bool is_beat() const { return voice == "beat"; }
};

struct Section {
    std::string name;
    int line = 0;
    std::vector<Layer> layers;
};

struct SongEntry {
    std::string section;
    int repeat = 1;
    int line = 0;
};

struct ScoreSyntax {
    std::string file;
    Score header; // everything except events and length
    std::map<std::string, Pattern> patterns;
    std::map<std::string, Section> sections;
    std::vector<SongEntry> song;
};

// A line of the score, cut into tokens, comments dropped.
struct Line {
    int number = 0;
    std::vector<std::string> tokens;
};

struct Setting {
    std::string_view key;
    std::string_view value;
};

// Words and numbers (score_words.cpp).
std::vector<Line> split_lines(std::string_view text);
std::string in_quotes(std::string_view text);
std::optional<double> to_number(std::string_view text);
std::optional<int> to_integer(std::string_view text);
double number_in(const Place& place, std::string_view what, std::string_view text, double low,
                 double high);
std::int64_t parse_duration(const Place& place, std::string_view text);
int parse_pitch(const Place& place, std::string_view name);
bool is_identifier(std::string_view text);
bool looks_like_note(std::string_view token);
bool is_velocity(std::string_view token);

// Notes, chords, groups and references, across the given lines (score_body.cpp).
std::vector<Item> read_body(const std::string& file, const std::vector<Line>& lines);

// Instrument lines (instrument_settings.cpp).
std::optional<Sound> sound_named(std::string_view name);
Setting split_setting(const Place& place, std::string_view text);
bool apply_instrument_setting(const Place& place, Instrument& instrument, const Setting& setting);

ScoreSyntax parse_syntax(std::string_view text, const std::string& file);

// Fills score.events and score.length_ticks from the song.
void expand_song(const ScoreSyntax& syntax, Score& score);

} // namespace musicgen::syntax
