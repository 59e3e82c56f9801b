#include "score_syntax.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <sstream>

namespace musicgen::syntax {

void Place::fail(const std::string& problem) const {
    throw ScoreError(*file, line, problem);
}

namespace {

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}
bool is_opener(char c) {
    return c == '[' || c == '(' || c == '|';
}
bool is_closer(char c) {
    return c == ']' || c == ')';
}

// Brackets and bar lines are tokens of their own so that "[e4 g4]:2" and "(a b)*2" need no
// spaces inside; a closer keeps its suffix (":2", "*2"). '#' starts a comment only at the start
// of a token, because inside one it is a sharp.
std::vector<std::string> tokenize(std::string_view text) {
    std::vector<std::string> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (is_space(c)) {
            ++i;
        } else if (c == '#') {
            break;
        } else if (is_opener(c)) {
            tokens.emplace_back(1, c);
            ++i;
        } else {
            const std::size_t start = i++;
            while (i < text.size() && !is_space(text[i]) && !is_opener(text[i]) &&
                   !is_closer(text[i])) {
                ++i;
            }
            tokens.emplace_back(text.substr(start, i - start));
        }
    }
    return tokens;
}

bool all_digits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
}

} // namespace

std::vector<Line> split_lines(std::string_view text) {
    std::vector<Line> lines;
    int number = 0;
    while (!text.empty() || number == 0) {
        ++number;
        const std::size_t end = std::min(text.find('\n'), text.size());
        Line line{number, tokenize(text.substr(0, end))};
        if (!line.tokens.empty()) {
            lines.push_back(std::move(line));
        }
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

std::optional<double> to_number(std::string_view text) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> to_integer(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::string in_quotes(std::string_view text) {
    return "'" + std::string(text) + "'";
}

double number_in(const Place& place, std::string_view what, std::string_view text, double low,
                 double high) {
    const auto value = to_number(text);
    if (!value || *value < low || *value > high) {
        std::ostringstream problem;
        problem << what << " must be a number from " << low << " to " << high << ", not "
                << in_quotes(text);
        place.fail(problem.str());
    }
    return *value;
}

// "4" quarter, "8." dotted eighth, "8t" triplet eighth, "2+8" tied together.
std::int64_t parse_duration(const Place& place, std::string_view text) {
    std::int64_t total = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t plus = std::min(text.find('+', start), text.size());
        std::string_view part = text.substr(start, plus - start);
        const std::size_t dots =
            part.size() - std::min(part.find_last_not_of('.') + 1, part.size());
        part.remove_suffix(dots);
        const bool triplet = !part.empty() && part.back() == 't';
        if (triplet) {
            part.remove_suffix(1);
        }
        const auto base = to_integer(part);
        const bool known = base && *base > 0 && *base <= 64 && (*base & (*base - 1)) == 0;
        if (!known || dots > 2) {
            place.fail("bad duration " + in_quotes(text) +
                       " (use 1, 2, 4, 8, 16, 32 or 64, with '.' for dotted, 't' for triplet, "
                       "'+' to join)");
        }
        std::int64_t ticks = kTicksPerWhole / *base * (triplet ? 2 : 3) / 3;
        for (std::int64_t d = 0, extra = ticks; d < static_cast<std::int64_t>(dots); ++d) {
            if (extra % 2 != 0) {
                place.fail("duration " + in_quotes(text) + " is too short to be dotted");
            }
            extra /= 2;
            ticks += extra;
        }
        total += ticks;
        start = plus + 1;
    }
    return total;
}

bool is_identifier(std::string_view text) {
    if (text.empty() || !(std::isalpha(static_cast<unsigned char>(text[0])) || text[0] == '_')) {
        return false;
    }
    return std::all_of(text.begin(), text.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    });
}

// Anything with a duration, or a letter with an optional accidental followed by an octave, is
// meant as a note; everything else is a pattern name. That way a typo like "h4" is reported as
// an unknown note instead of an unknown pattern.
bool looks_like_note(std::string_view token) {
    if (token.find(':') != std::string_view::npos) {
        return true;
    }
    if (!token.empty() && token.back() == '~') {
        token.remove_suffix(1);
    }
    if (token.size() < 2 || !std::isalpha(static_cast<unsigned char>(token[0]))) {
        return false;
    }
    std::size_t i = 1;
    if (token[i] == '#' ||
        (token[i] == 'b' && i + 1 < token.size() &&
         (std::isdigit(static_cast<unsigned char>(token[i + 1])) || token[i + 1] == '-'))) {
        ++i;
    }
    if (i < token.size() && token[i] == '-') {
        ++i;
    }
    return all_digits(token.substr(i));
}

bool is_velocity(std::string_view token) {
    return token.size() > 1 && token[0] == 'v' && all_digits(token.substr(1));
}

int parse_pitch(const Place& place, std::string_view name) {
    static constexpr std::array<int, 7> kSemitones{9, 11, 0, 2, 4, 5, 7}; // a b c d e f g
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
    if (letter < 'a' || letter > 'g') {
        place.fail("unknown note name " + in_quotes(name) +
                   " (notes are a to g, then # or b, then "
                   "an octave, like f#4)");
    }
    std::size_t i = 1;
    int accidental = 0;
    if (i < name.size() && (name[i] == '#' || name[i] == 'b') && i + 1 < name.size()) {
        accidental = name[i] == '#' ? 1 : -1;
        ++i;
    }
    const auto octave = to_integer(name.substr(i));
    if (!octave) {
        place.fail("unknown note name " + in_quotes(name) +
                   " (notes are a to g, then # or b, then "
                   "an octave, like f#4)");
    }
    const int pitch = (*octave + 1) * 12 + kSemitones[letter - 'a'] + accidental;
    if (*octave < -1 || pitch < 0 || pitch > 127) {
        place.fail("note " + in_quotes(name) + " is out of range (c-1 to g9)");
    }
    return pitch;
}

} // namespace musicgen::syntax
