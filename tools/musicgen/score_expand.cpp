#include "score_syntax.h"

#include <algorithm>
#include <sstream>

namespace musicgen::syntax {

namespace {

// Notes struck together, before ties are merged and arpeggios spelled out.
struct Strike {
    std::int64_t start = 0;
    std::int64_t length = 0;
    std::vector<int> pitches; // empty: a drum hit at the drum's own pitch
    double velocity = 1.0;
    bool tie = false;
    int instrument = -1; // -1: the instrument of the line that plays it
    int line = 0;
};

struct Fragment {
    std::vector<Strike> strikes;
    std::int64_t length = 0;

    void append(const Fragment& other) {
        for (Strike strike : other.strikes) {
            strike.start += length;
            strikes.push_back(std::move(strike));
        }
        length += other.length;
    }
};

// How an expansion was reached: what to call it in messages, and what the references on the
// way changed.
struct Scope {
    std::string where;
    int transpose = 0;
    double velocity = 1.0;
    bool beat_line = false;
};

std::string quarters(std::int64_t ticks) {
    std::ostringstream text;
    text << static_cast<double>(ticks) / kTicksPerQuarter;
    return text.str();
}

double step_velocity(char step) {
    switch (step) {
    case 'X':
        return 1.0;
    case 'x':
        return 0.8;
    case 'o':
        return 0.45;
    default:
        return 0.0;
    }
}

// A section's notes, timed from its start; it lasts as long as its longest line.
struct SectionMusic {
    std::vector<NoteEvent> events;
    std::int64_t length = 0;
};

class Expander {
  public:
    Expander(const ScoreSyntax& syntax, const Score& score) : syntax_(syntax), score_(score) {}

    SectionMusic section(const Section& section) {
        SectionMusic music;
        for (const Layer& layer : section.layers) {
            const int instrument = layer.is_beat() ? -1 : instrument_index(layer.voice, layer.line);
            const Scope scope{"section " + in_quotes(section.name), 0, 1.0, layer.is_beat()};
            const Fragment fragment = body(layer.body, scope);
            realize(fragment, instrument, music.events);
            music.length = std::max(music.length, fragment.length);
        }
        if (music.length % score_.bar_ticks() != 0) {
            place(section.line)
                .fail("section " + in_quotes(section.name) + " lasts " + quarters(music.length) +
                      " quarter notes, not a whole number of " + meter() + " bars");
        }
        return music;
    }

  private:
    Place place(int line) const { return {&syntax_.file, line}; }

    std::string meter() const {
        return std::to_string(score_.meter_beats) + "/" + std::to_string(score_.meter_unit);
    }

    int instrument_index(const std::string& name, int line) const {
        const auto& instruments = score_.instruments;
        const auto found = std::find_if(instruments.begin(), instruments.end(),
                                        [&](const Instrument& in) { return in.name == name; });
        if (found == instruments.end()) {
            place(line).fail("unknown instrument " + in_quotes(name));
        }
        return static_cast<int>(found - instruments.begin());
    }

    Fragment body(const std::vector<Item>& items, const Scope& scope) {
        Fragment fragment;
        double velocity = 1.0;
        std::int64_t last_bar = 0;
        for (const Item& item : items) {
            switch (item.kind) {
            case Item::Kind::Notes:
                fragment.strikes.push_back(strike(item, scope, velocity, fragment.length));
                fragment.length += item.ticks;
                break;
            case Item::Kind::Rest:
                fragment.length += item.ticks;
                break;
            case Item::Kind::Velocity:
                velocity = item.velocity;
                break;
            case Item::Kind::Bar:
                check_bar(item, scope, last_bar, fragment.length);
                last_bar = fragment.length;
                break;
            case Item::Kind::Ref:
            case Item::Kind::Group:
                fragment.append(repeated(item, scope, velocity));
                break;
            }
        }
        return fragment;
    }

    // A bar line closes one bar, or several when a pattern reference spans them.
    void check_bar(const Item& item, const Scope& scope, std::int64_t start,
                   std::int64_t end) const {
        const std::int64_t bar = score_.bar_ticks();
        const std::int64_t length = end - start;
        if (length % bar == 0 && (length > 0 || start == 0)) {
            return;
        }
        const std::string rule = "; a " + meter() + " bar lasts " + quarters(bar);
        if (length < 2 * bar) {
            place(item.line).fail("bar " + std::to_string(start / bar + 1) + " of " + scope.where +
                                  " lasts " + quarters(length) + " quarter notes" + rule);
        }
        place(item.line).fail("the bars before this bar line in " + scope.where + " last " +
                              quarters(length) + " quarter notes, not a whole number of bars" +
                              rule);
    }

    Strike strike(const Item& item, const Scope& scope, double velocity, std::int64_t start) const {
        if (scope.beat_line) {
            place(item.line).fail("notes on a 'beat' line have no instrument; write them on the "
                                  "drum's own line");
        }
        Strike strike{start, item.ticks, {}, velocity * scope.velocity, item.tie, -1, item.line};
        for (const int pitch : item.pitches) {
            const int moved = pitch + scope.transpose;
            if (moved < 0 || moved > 127) {
                place(item.line).fail("transposed note is out of range in " + scope.where);
            }
            strike.pitches.push_back(moved);
        }
        return strike;
    }

    Fragment repeated(const Item& item, const Scope& scope, double velocity) {
        const Scope inner{scope.where, scope.transpose, scope.velocity * velocity, scope.beat_line};
        const Fragment once =
            item.kind == Item::Kind::Group ? body(item.children, inner) : reference(item, inner);
        Fragment all;
        for (int i = 0; i < item.repeat; ++i) {
            all.append(once);
        }
        return all;
    }

    Fragment reference(const Item& item, const Scope& scope) {
        const auto found = syntax_.patterns.find(item.ref);
        if (found == syntax_.patterns.end()) {
            place(item.line).fail("unknown pattern " + in_quotes(item.ref));
        }
        const Pattern& pattern = found->second;
        if (pattern.is_grid != scope.beat_line) {
            place(item.line).fail(pattern.is_grid
                                      ? "pattern " + in_quotes(item.ref) +
                                            " is a drum grid; play it on a 'beat' line"
                                      : "pattern " + in_quotes(item.ref) +
                                            " has notes; play it on an instrument's line");
        }
        if (pattern.is_grid) {
            return grid(pattern, scope.velocity);
        }
        if (std::find(stack_.begin(), stack_.end(), item.ref) != stack_.end()) {
            place(item.line).fail("pattern " + in_quotes(item.ref) + " refers to itself");
        }
        stack_.push_back(item.ref);
        const Scope inner{"pattern " + in_quotes(item.ref), scope.transpose + item.transpose,
                          scope.velocity, false};
        Fragment fragment = body(pattern.body, inner);
        stack_.pop_back();
        return fragment;
    }

    Fragment grid(const Pattern& pattern, double velocity) const {
        Fragment fragment;
        for (const GridRow& row : pattern.rows) {
            const int instrument = instrument_index(row.instrument, row.line);
            if (!is_drum(score_.instruments[instrument].sound)) {
                place(row.line).fail("drum rows play drums; " + in_quotes(row.instrument) +
                                     " is not a drum (write its notes on its own line)");
            }
            for (std::size_t step = 0; step < row.steps.size(); ++step) {
                const double hit = step_velocity(row.steps[step]);
                if (hit > 0.0) {
                    const auto start = static_cast<std::int64_t>(step) * pattern.step_ticks;
                    fragment.strikes.push_back({start,
                                                pattern.step_ticks,
                                                {},
                                                hit * velocity,
                                                false,
                                                instrument,
                                                row.line});
                }
            }
        }
        std::stable_sort(fragment.strikes.begin(), fragment.strikes.end(),
                         [](const Strike& a, const Strike& b) { return a.start < b.start; });
        fragment.length =
            static_cast<std::int64_t>(pattern.rows[0].steps.size()) * pattern.step_ticks;
        return fragment;
    }

    std::vector<Strike> merge_ties(const Fragment& fragment) const {
        std::vector<Strike> merged;
        for (const Strike& strike : fragment.strikes) {
            if (!merged.empty() && merged.back().tie) {
                Strike& held = merged.back();
                if (strike.start != held.start + held.length || strike.pitches != held.pitches) {
                    place(held.line).fail("a tie '~' must be followed right away by the same "
                                          "note or chord");
                }
                held.length += strike.length;
                held.tie = strike.tie;
                continue;
            }
            merged.push_back(strike);
        }
        if (!merged.empty() && merged.back().tie) {
            place(merged.back().line)
                .fail("a tie '~' at the end of a line has nothing to hold into");
        }
        return merged;
    }

    void realize(const Fragment& fragment, int line_instrument,
                 std::vector<NoteEvent>& events) const {
        int previous_pitch = -1;
        std::int64_t previous_end = -1;
        for (const Strike& strike : merge_ties(fragment)) {
            const int index = strike.instrument >= 0 ? strike.instrument : line_instrument;
            const Instrument& instrument = score_.instruments[index];
            if (strike.pitches.empty()) {
                events.push_back({index, strike.start, strike.length, -1, -1, strike.velocity});
            } else if (instrument.arp_ticks > 0) {
                spell_arpeggio(strike, index, events);
            } else {
                const bool legato = strike.pitches.size() == 1 && strike.start == previous_end;
                const int glide_from = instrument.glide > 0.0 && legato ? previous_pitch : -1;
                for (const int pitch : strike.pitches) {
                    events.push_back(
                        {index, strike.start, strike.length, pitch, glide_from, strike.velocity});
                }
            }
            previous_pitch = strike.pitches.size() == 1 ? strike.pitches[0] : -1;
            previous_end = strike.start + strike.length;
        }
    }

    void spell_arpeggio(const Strike& strike, int index, std::vector<NoteEvent>& events) const {
        const Instrument& instrument = score_.instruments[index];
        std::vector<int> chord = strike.pitches;
        std::sort(chord.begin(), chord.end());
        std::vector<int> order;
        for (int octave = 0; octave < instrument.arp_octaves; ++octave) {
            for (const int pitch : chord) {
                order.push_back(std::min(pitch + 12 * octave, 127));
            }
        }
        if (instrument.arp_mode == ArpMode::Down) {
            std::reverse(order.begin(), order.end());
        } else if (instrument.arp_mode == ArpMode::UpDown && order.size() > 2) {
            order.insert(order.end(), order.rbegin() + 1, order.rend() - 1);
        }
        const std::int64_t end = strike.start + strike.length;
        std::size_t next = 0;
        for (std::int64_t at = strike.start; at < end; at += instrument.arp_ticks) {
            const std::int64_t length = std::min(instrument.arp_ticks, end - at);
            events.push_back(
                {index, at, length, order[next++ % order.size()], -1, strike.velocity});
        }
    }

    const ScoreSyntax& syntax_;
    const Score& score_;
    std::vector<std::string> stack_; // patterns being expanded, to catch cycles
};

} // namespace

void expand_song(const ScoreSyntax& syntax, Score& score) {
    Expander expander(syntax, score);
    std::map<std::string, SectionMusic>
        expanded; // a section is expanded once, however often played
    score.events.clear();
    score.length_ticks = 0;
    for (const SongEntry& entry : syntax.song) {
        const auto section = syntax.sections.find(entry.section);
        if (section == syntax.sections.end()) {
            Place{&syntax.file, entry.line}.fail("unknown section " + in_quotes(entry.section));
        }
        auto music = expanded.find(entry.section);
        if (music == expanded.end()) {
            music = expanded.emplace(entry.section, expander.section(section->second)).first;
        }
        for (int i = 0; i < entry.repeat; ++i) {
            for (NoteEvent event : music->second.events) {
                event.start_tick += score.length_ticks;
                score.events.push_back(event);
            }
            score.length_ticks += music->second.length;
        }
    }
    std::stable_sort(
        score.events.begin(), score.events.end(),
        [](const NoteEvent& a, const NoteEvent& b) { return a.start_tick < b.start_tick; });
}

} // namespace musicgen::syntax
