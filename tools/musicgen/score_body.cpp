#include "score_syntax.h"

namespace musicgen::syntax {

namespace {

// Reads a body of notes, chords, rests, bar lines, velocities, pattern references and
// repeated groups. A note without a duration keeps the previous one.
class BodyReader {
  public:
    BodyReader(const std::string& file, const std::vector<Line>& lines)
        : file_(file), lines_(lines) {}

    std::vector<Item> read() {
        std::vector<Item> items = read_until_close();
        if (!at_end()) {
            place().fail("')' without a matching '('");
        }
        return items;
    }

  private:
    bool at_end() const { return line_ >= lines_.size(); }
    const std::string& token() const { return lines_[line_].tokens[token_]; }
    Place place() const { return {&file_, at_end() ? lines_.back().number : lines_[line_].number}; }

    void advance() {
        if (++token_ >= lines_[line_].tokens.size()) {
            token_ = 0;
            ++line_;
        }
    }

    std::vector<Item> read_until_close() {
        std::vector<Item> items;
        while (!at_end() && token()[0] != ')') {
            items.push_back(read_item());
        }
        return items;
    }

    Item read_item() {
        const std::string text = token();
        Item item;
        item.line = place().line;
        if (text == "(") {
            return read_group(item);
        }
        if (text == "[") {
            return read_chord(item);
        }
        advance();
        if (text[0] == ']') {
            place_of(item).fail("']' without a matching '['");
        }
        if (text == "|") {
            item.kind = Item::Kind::Bar;
        } else if (is_velocity(text)) {
            item.kind = Item::Kind::Velocity;
            item.velocity = number_in(place_of(item), "velocity", text.substr(1), 1, 100) / 100.0;
        } else if (text == "r" || text.starts_with("r:")) {
            item.kind = Item::Kind::Rest;
            item.ticks = read_duration(item, text.size() > 1 ? text.substr(2) : "");
        } else if (looks_like_note(text)) {
            read_note(item, text);
        } else {
            read_reference(item, text);
        }
        return item;
    }

    Place place_of(const Item& item) const { return {&file_, item.line}; }

    std::int64_t read_duration(const Item& item, std::string_view text) {
        if (!text.empty()) {
            last_duration_ = parse_duration(place_of(item), text);
        }
        return last_duration_;
    }

    void read_note(Item& item, std::string_view text) {
        item.kind = Item::Kind::Notes;
        item.tie = text.ends_with('~');
        if (item.tie) {
            text.remove_suffix(1);
        }
        const std::size_t colon = std::min(text.find(':'), text.size());
        item.pitches.push_back(parse_pitch(place_of(item), text.substr(0, colon)));
        item.ticks = read_duration(item, colon < text.size() ? text.substr(colon + 1) : "");
    }

    Item read_group(Item& item) {
        advance();
        item.kind = Item::Kind::Group;
        item.children = read_until_close();
        if (at_end()) {
            place_of(item).fail("'(' without a matching ')'");
        }
        const std::string close = token();
        advance();
        if (close.size() > 1) {
            const auto times = close[1] == '*' ? to_integer(close.substr(2)) : std::nullopt;
            if (!times || *times < 1 || *times > 999) {
                place_of(item).fail("a group ends with ')' or ')*N', not " + in_quotes(close));
            }
            item.repeat = *times;
        }
        return item;
    }

    Item read_chord(Item& item) {
        advance();
        item.kind = Item::Kind::Notes;
        while (!at_end() && token()[0] != ']') {
            if (!looks_like_note(token()) || token().find(':') != std::string::npos) {
                place().fail("a chord holds plain notes like [c4 e4 g4]:2, not " +
                             in_quotes(token()));
            }
            item.pitches.push_back(parse_pitch(place(), token()));
            advance();
        }
        if (at_end() || item.pitches.empty()) {
            place_of(item).fail("a chord needs notes and a closing ']'");
        }
        std::string_view close = token();
        item.tie = close.ends_with('~');
        close.remove_suffix(item.tie ? 1 : 0);
        if (close.size() > 1 && close[1] != ':') {
            place().fail("a chord ends with ']' or ']:duration', not " + in_quotes(token()));
        }
        item.ticks = read_duration(item, close.size() > 1 ? close.substr(2) : "");
        advance();
        return item;
    }

    // name, name+5 (transposed up five semitones), name-12*2 (down an octave, twice).
    void read_reference(Item& item, std::string_view text) {
        item.kind = Item::Kind::Ref;
        const std::size_t star = std::min(text.find('*'), text.size());
        if (star < text.size()) {
            const auto times = to_integer(text.substr(star + 1));
            if (!times || *times < 1 || *times > 999) {
                place_of(item).fail("bad repeat count in " + in_quotes(text));
            }
            item.repeat = *times;
        }
        std::string_view head = text.substr(0, star);
        const std::size_t sign = std::min(head.find_first_of("+-"), head.size());
        if (sign < head.size()) {
            const auto shift = to_integer(head.substr(head[sign] == '+' ? sign + 1 : sign));
            if (!shift || *shift < -48 || *shift > 48) {
                place_of(item).fail("bad transposition in " + in_quotes(text) +
                                    " (use +N or -N semitones, up to 48)");
            }
            item.transpose = *shift;
        }
        item.ref = std::string(head.substr(0, sign));
        if (!is_identifier(item.ref)) {
            place_of(item).fail("expected a note, rest or pattern name, not " + in_quotes(text));
        }
    }

    const std::string& file_;
    const std::vector<Line>& lines_;
    std::size_t line_ = 0;
    std::size_t token_ = 0;
    std::int64_t last_duration_ = kTicksPerQuarter;
};

} // namespace

std::vector<Item> read_body(const std::string& file, const std::vector<Line>& lines) {
    return BodyReader(file, lines).read();
}

} // namespace musicgen::syntax
