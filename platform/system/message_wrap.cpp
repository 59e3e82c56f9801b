#include "platform/system/message_wrap.h"

#include <vector>

namespace platform {

namespace {

// Characters that may not begin a line (closing marks, small kana, the long-vowel mark)
// and those that may not end one (opening brackets).
constexpr std::u32string_view kNoLineStart =
    U"、。，．・：；？！ー」』）］｝〕〉》】〙〗〟ゝゞヽヾ々〻ぁぃぅぇぉっゃゅょゎゕゖ"
    U"ァィゥェォッャュョヮヵヶ〜…‥,.:;?!)]}%";
constexpr std::u32string_view kNoLineEnd = U"「『（［｛〔〈《【〘〖〝([{";

struct Char {
    char32_t code;
    size_t bytes;
};

// The first character of non-empty `s`. A malformed or cut-off sequence counts as a
// one-byte character, so nothing is lost and nothing is read past the end.
Char decode(std::string_view s) {
    constexpr Char kMalformed{U'\uFFFD', 1};
    const auto lead = static_cast<unsigned char>(s[0]);
    if (lead < 0x80) {
        return {lead, 1};
    }
    const size_t length = (lead & 0xE0) == 0xC0   ? 2
                          : (lead & 0xF0) == 0xE0 ? 3
                          : (lead & 0xF8) == 0xF0 ? 4
                                                  : 0;
    if (length == 0 || length > s.size()) {
        return kMalformed;
    }
    char32_t code = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(s[i]);
        if ((next & 0xC0) != 0x80) {
            return kMalformed;
        }
        code = (code << 6) | (next & 0x3F);
    }
    return {code, length};
}

// Scripts written without blanks between words (kana, kanji, full-width forms).
bool is_unspaced(char32_t c) {
    return (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF) ||
           (c >= 0x20000 && c <= 0x3FFFD);
}

bool may_break_between(char32_t before, char32_t after) {
    return (is_unspaced(before) || is_unspaced(after)) &&
           kNoLineStart.find(after) == std::u32string_view::npos &&
           kNoLineEnd.find(before) == std::u32string_view::npos;
}

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

// A piece of a line that is never broken, with the blanks before it; a break there
// drops the blanks.
struct Unit {
    std::string_view gap;
    std::string_view text;
    size_t chars = 0; // of text
};

std::vector<Unit> units_of(std::string_view line) {
    std::vector<Unit> units;
    size_t pos = 0;
    while (pos < line.size()) {
        size_t start = pos;
        while (pos < line.size() && is_blank(line[pos])) {
            ++pos;
        }
        Unit unit{line.substr(start, pos - start), {}, 0};
        start = pos;
        char32_t previous = 0;
        while (pos < line.size() && !is_blank(line[pos])) {
            const Char c = decode(line.substr(pos));
            if (unit.chars > 0 && may_break_between(previous, c.code)) {
                unit.text = line.substr(start, pos - start);
                units.push_back(unit);
                unit = Unit{};
                start = pos;
            }
            previous = c.code;
            pos += c.bytes;
            ++unit.chars;
        }
        unit.text = line.substr(start, pos - start);
        units.push_back(unit);
    }
    return units;
}

// Appends `line` (no newline in it), filling each output line greedily.
void append_wrapped(std::string& out, std::string_view line, size_t max_chars) {
    size_t used = 0;
    for (const Unit& unit : units_of(line)) {
        const size_t needed = unit.gap.size() + unit.chars;
        if (used == 0 || used + needed <= max_chars) {
            out += unit.gap;
            out += unit.text;
            used += needed;
        } else if (unit.chars > 0) {
            out += '\n';
            out += unit.text;
            used = unit.chars;
        }
    }
}

} // namespace

std::string wrap_message(std::string_view utf8, size_t max_chars) {
    std::string out;
    out.reserve(utf8.size() + utf8.size() / 16);
    size_t start = 0;
    for (;;) {
        const size_t end = utf8.find('\n', start);
        append_wrapped(out, utf8.substr(start, end - start), max_chars);
        if (end == std::string_view::npos) {
            return out;
        }
        out += '\n';
        start = end + 1;
    }
}

} // namespace platform
