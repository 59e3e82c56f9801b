#include "score_syntax.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace musicgen {

ScoreError::ScoreError(const std::string& file, int line, const std::string& problem)
    : std::runtime_error(file + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " +
                         problem) {}

bool is_drum(Sound sound) {
    return sound == Sound::Kick || sound == Sound::Snare || sound == Sound::Hat ||
           sound == Sound::Tom || sound == Sound::Crash;
}

namespace syntax {

namespace {

class ScoreReader {
  public:
    ScoreReader(std::string_view text, const std::string& file) : lines_(split_lines(text)) {
        syntax_.file = file;
    }

    ScoreSyntax read() {
        while (next_ < lines_.size()) {
            read_directive(lines_[next_++]);
        }
        const Place whole{&syntax_.file, 0};
        if (syntax_.header.tempo_bpm == 0.0) {
            whole.fail("missing 'tempo' line (quarter notes per minute)");
        }
        if (syntax_.song.empty()) {
            whole.fail("missing 'song' line (the order of the sections)");
        }
        return std::move(syntax_);
    }

  private:
    Place place(const Line& line) const { return {&syntax_.file, line.number}; }

    void read_directive(const Line& line) {
        const std::string& word = line.tokens[0];
        static const std::map<std::string_view, void (ScoreReader::*)(const Line&)> kDirectives{
            {"title", &ScoreReader::read_title},     {"tempo", &ScoreReader::read_tempo},
            {"meter", &ScoreReader::read_meter},     {"instrument", &ScoreReader::read_instrument},
            {"reverb", &ScoreReader::read_reverb},   {"echo", &ScoreReader::read_echo},
            {"master", &ScoreReader::read_master},   {"pattern", &ScoreReader::read_pattern},
            {"section", &ScoreReader::read_section}, {"song", &ScoreReader::read_song}};
        const auto found = kDirectives.find(word);
        if (found == kDirectives.end()) {
            place(line).fail("unknown directive " + in_quotes(word) +
                             " (expected title, tempo, meter, instrument, reverb, echo, master, "
                             "pattern, section or song)");
        }
        (this->*found->second)(line);
    }

    void expect_arguments(const Line& line, std::size_t count, std::string_view usage) const {
        if (line.tokens.size() != count + 1) {
            place(line).fail("expected '" + std::string(usage) + "'");
        }
    }

    void read_title(const Line& line) {
        std::string title;
        for (std::size_t i = 1; i < line.tokens.size(); ++i) {
            title += (i > 1 ? " " : "") + line.tokens[i];
        }
        syntax_.header.title = title;
    }

    void read_tempo(const Line& line) {
        expect_arguments(line, 1, "tempo <quarter notes per minute>");
        syntax_.header.tempo_bpm = number_in(place(line), "tempo", line.tokens[1], 20, 400);
    }

    void read_meter(const Line& line) {
        expect_arguments(line, 1, "meter <beats>/<unit>, like 4/4");
        const std::string& text = line.tokens[1];
        const std::size_t slash = text.find('/');
        const auto beats = to_integer(std::string_view(text).substr(0, slash));
        const auto unit = slash == std::string::npos
                              ? std::nullopt
                              : to_integer(std::string_view(text).substr(slash + 1));
        if (!beats || !unit || *beats < 1 || *beats > 32 ||
            (*unit != 2 && *unit != 4 && *unit != 8 && *unit != 16)) {
            place(line).fail("bad meter " + in_quotes(text) + " (like 4/4, 3/4 or 6/8)");
        }
        syntax_.header.meter_beats = *beats;
        syntax_.header.meter_unit = *unit;
    }

    void check_new_name(const Line& line, std::string_view kind, const std::string& name) const {
        if (!is_identifier(name) || name == "beat") {
            place(line).fail("bad " + std::string(kind) + " name " + in_quotes(name) +
                             " (letters, digits and _; 'beat' is taken)");
        }
    }

    // Pattern names share the note lines with notes, rests and velocities.
    void check_pattern_name(const Line& line, const std::string& name) const {
        check_new_name(line, "pattern", name);
        if (looks_like_note(name) || is_velocity(name) || name == "r") {
            place(line).fail("pattern name " + in_quotes(name) +
                             " could be read as a note, rest or velocity");
        }
    }

    void read_instrument(const Line& line) {
        if (line.tokens.size() < 3) {
            place(line).fail("expected 'instrument <name> <sound or instrument> key=value...'");
        }
        const std::string& name = line.tokens[1];
        check_new_name(line, "instrument", name);
        auto& instruments = syntax_.header.instruments;
        const auto same_name = [](std::string_view n) {
            return [n](const Instrument& in) { return in.name == n; };
        };
        if (std::any_of(instruments.begin(), instruments.end(), same_name(name))) {
            place(line).fail("instrument " + in_quotes(name) + " is defined twice");
        }
        Instrument instrument;
        const std::string& kind = line.tokens[2];
        const auto base = std::find_if(instruments.begin(), instruments.end(), same_name(kind));
        if (base != instruments.end()) {
            instrument = *base;
        } else if (const auto sound = sound_named(kind)) {
            instrument.sound = *sound;
        } else {
            place(line).fail("unknown instrument type " + in_quotes(kind) +
                             " (sine, triangle, square, saw, fm, kick, snare, hat, tom, crash, "
                             "or an instrument defined above)");
        }
        instrument.name = name;
        for (std::size_t i = 3; i < line.tokens.size(); ++i) {
            const Setting setting = split_setting(place(line), line.tokens[i]);
            if (!apply_instrument_setting(place(line), instrument, setting)) {
                place(line).fail("unknown instrument setting " + in_quotes(setting.key));
            }
        }
        instruments.push_back(std::move(instrument));
    }

    template <typename Apply> void read_settings(const Line& line, Apply apply) {
        for (std::size_t i = 1; i < line.tokens.size(); ++i) {
            const Setting setting = split_setting(place(line), line.tokens[i]);
            if (!apply(setting)) {
                place(line).fail("unknown " + line.tokens[0] + " setting " +
                                 in_quotes(setting.key));
            }
        }
    }

    void read_reverb(const Line& line) {
        auto& reverb = syntax_.header.reverb;
        read_settings(line, [&](const Setting& s) {
            const Place at = place(line);
            if (s.key == "size") {
                reverb.size = number_in(at, "reverb size", s.value, 0, 1);
            } else if (s.key == "damp") {
                reverb.damping = number_in(at, "reverb damp", s.value, 0, 1);
            } else if (s.key == "width") {
                reverb.width = number_in(at, "reverb width", s.value, 0, 1);
            } else {
                return false;
            }
            return true;
        });
    }

    void read_echo(const Line& line) {
        auto& echo = syntax_.header.echo;
        read_settings(line, [&](const Setting& s) {
            const Place at = place(line);
            if (s.key == "time") {
                echo.delay_ticks = parse_duration(at, s.value);
                if (echo.delay_ticks > kTicksPerWhole) {
                    at.fail("echo time is at most a whole note");
                }
            } else if (s.key == "feedback") {
                echo.feedback = number_in(at, "echo feedback", s.value, 0, 0.95);
            } else if (s.key == "damp") {
                echo.damping = number_in(at, "echo damp", s.value, 0, 1);
            } else {
                return false;
            }
            return true;
        });
    }

    void read_master(const Line& line) {
        auto& master = syntax_.header.master;
        read_settings(line, [&](const Setting& s) {
            const Place at = place(line);
            if (s.key == "rms") {
                master.rms_db = number_in(at, "master rms (dBFS)", s.value, -40, -6);
            } else if (s.key == "ceiling") {
                master.ceiling_db = number_in(at, "master ceiling (dBFS)", s.value, -20, -0.1);
            } else if (s.key == "tail") {
                master.tail_seconds = number_in(at, "master tail (s)", s.value, 0.1, 20);
            } else if (s.key == "fade") {
                master.fade_seconds = number_in(at, "master fade (s)", s.value, 0.01, 20);
            } else {
                return false;
            }
            return true;
        });
        if (master.fade_seconds > master.tail_seconds) {
            place(line).fail("master fade cannot be longer than the tail");
        }
    }

    // The lines of a pattern or section, up to its 'end'.
    std::vector<Line> read_block(const Line& opening) {
        std::vector<Line> block;
        while (next_ < lines_.size()) {
            const Line& line = lines_[next_++];
            if (line.tokens[0] == "end") {
                if (line.tokens.size() > 1) {
                    place(line).fail("'end' stands alone on its line");
                }
                return block;
            }
            block.push_back(line);
        }
        place(opening).fail(opening.tokens[0] + " " + in_quotes(opening.tokens[1]) +
                            " has no 'end'");
    }

    void read_pattern(const Line& line) {
        if (line.tokens.size() < 2 || line.tokens.size() > 3) {
            place(line).fail("expected 'pattern <name>' or 'pattern <name> grid=<step>'");
        }
        Pattern pattern;
        pattern.name = line.tokens[1];
        pattern.line = line.number;
        check_pattern_name(line, pattern.name);
        if (syntax_.patterns.contains(pattern.name)) {
            place(line).fail("pattern " + in_quotes(pattern.name) + " is defined twice");
        }
        if (line.tokens.size() == 3) {
            const Setting grid = split_setting(place(line), line.tokens[2]);
            if (grid.key != "grid") {
                place(line).fail("unknown pattern setting " + in_quotes(grid.key));
            }
            pattern.is_grid = true;
            pattern.step_ticks = parse_duration(place(line), grid.value);
        }
        const std::vector<Line> block = read_block(line);
        if (block.empty()) {
            place(line).fail("pattern " + in_quotes(pattern.name) + " is empty");
        }
        if (pattern.is_grid) {
            read_grid_rows(pattern, block);
        } else {
            pattern.body = read_body(syntax_.file, block);
        }
        syntax_.patterns.emplace(pattern.name, std::move(pattern));
    }

    void read_grid_rows(Pattern& pattern, const std::vector<Line>& block) {
        for (const Line& line : block) {
            GridRow row{line.tokens[0], "", line.number};
            for (std::size_t i = 1; i < line.tokens.size(); ++i) {
                row.steps += line.tokens[i] == "|" ? "" : line.tokens[i];
            }
            const auto bad = row.steps.find_first_not_of("xXo.-");
            if (bad != std::string::npos) {
                place(line).fail("unknown step " + in_quotes(row.steps.substr(bad, 1)) +
                                 " in a drum row (x hit, X accent, o ghost, . or - rest)");
            }
            if (row.steps.empty()) {
                place(line).fail("drum row for " + in_quotes(row.instrument) + " has no steps");
            }
            if (!pattern.rows.empty() && row.steps.size() != pattern.rows[0].steps.size()) {
                place(line).fail("this drum row has " + std::to_string(row.steps.size()) +
                                 " steps but the first row has " +
                                 std::to_string(pattern.rows[0].steps.size()));
            }
            pattern.rows.push_back(std::move(row));
        }
    }

    void read_section(const Line& line) {
        expect_arguments(line, 1, "section <name>");
        Section section{line.tokens[1], line.number, {}};
        check_new_name(line, "section", section.name);
        if (syntax_.sections.contains(section.name)) {
            place(line).fail("section " + in_quotes(section.name) + " is defined twice");
        }
        for (const Line& layer_line : read_block(line)) {
            Line body = layer_line;
            body.tokens.erase(body.tokens.begin());
            if (body.tokens.empty()) {
                place(layer_line).fail("expected '<instrument or beat> <notes and patterns>'");
            }
            section.layers.push_back(
                {layer_line.tokens[0], layer_line.number, read_body(syntax_.file, {body})});
        }
        if (section.layers.empty()) {
            place(line).fail("section " + in_quotes(section.name) + " is empty");
        }
        syntax_.sections.emplace(section.name, std::move(section));
    }

    void read_song(const Line& line) {
        if (!syntax_.song.empty()) {
            place(line).fail("only one 'song' line is allowed");
        }
        for (std::size_t i = 1; i < line.tokens.size(); ++i) {
            std::string_view text = line.tokens[i];
            SongEntry entry{std::string(text.substr(0, text.find('*'))), 1, line.number};
            if (text.find('*') != std::string_view::npos) {
                const auto times = to_integer(text.substr(text.find('*') + 1));
                if (!times || *times < 1 || *times > 999) {
                    place(line).fail("bad repeat count in " + in_quotes(text));
                }
                entry.repeat = *times;
            }
            syntax_.song.push_back(std::move(entry));
        }
        if (syntax_.song.empty()) {
            place(line).fail("the song line lists no sections");
        }
    }

    std::vector<Line> lines_;
    std::size_t next_ = 0;
    ScoreSyntax syntax_;
};

} // namespace

ScoreSyntax parse_syntax(std::string_view text, const std::string& file) {
    return ScoreReader(text, file).read();
}

} // namespace syntax

Score parse_score(std::string_view text, const std::string& file_name) {
    syntax::ScoreSyntax syntax = syntax::parse_syntax(text, file_name);
    Score score = syntax.header;
    syntax::expand_song(syntax, score);
    constexpr double kLongestPiece = 20 * 60.0; // keeps a stray "*999" from eating all memory
    if (score.rendered_seconds() > kLongestPiece) {
        throw ScoreError(file_name, 0,
                         "the piece lasts " + std::to_string(score.rendered_seconds() / 60.0) +
                             " minutes; at most 20 are rendered");
    }
    return score;
}

Score load_score(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw ScoreError(path.string(), 0, "cannot open the score");
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        throw ScoreError(path.string(), 0, "cannot read the score");
    }
    return parse_score(text.str(), path.string());
}

} // namespace musicgen
