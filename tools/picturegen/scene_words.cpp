#include "scene_words.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>

namespace picturegen {

std::optional<double> to_number(std::string_view word) {
    if (!word.empty() && word.front() == '+') {
        word.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (word.empty() || error != std::errc() || end != word.data() + word.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<Point> to_point(std::string_view word) {
    const std::size_t comma = word.find(',');
    if (comma == std::string_view::npos) {
        return std::nullopt;
    }
    const auto x = to_number(word.substr(0, comma));
    const auto y = to_number(word.substr(comma + 1));
    if (!x || !y) {
        return std::nullopt;
    }
    return Point{*x, *y};
}

std::optional<Range> to_range(std::string_view word) {
    const std::size_t dots = word.find("..");
    if (dots == std::string_view::npos) {
        const auto value = to_number(word);
        return value ? std::optional<Range>(Range{*value, *value}) : std::nullopt;
    }
    const auto low = to_number(word.substr(0, dots));
    const auto high = to_number(word.substr(dots + 2));
    if (!low || !high || *high < *low) {
        return std::nullopt;
    }
    return Range{*low, *high};
}

namespace {

std::optional<int> hex_digit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return std::nullopt;
}

} // namespace

std::optional<Color> to_hex_color(std::string_view word) {
    if (word.empty() || word.front() != '#') {
        return std::nullopt;
    }
    std::vector<int> digits;
    for (char c : word.substr(1)) {
        const auto d = hex_digit(c);
        if (!d) {
            return std::nullopt;
        }
        digits.push_back(*d);
    }
    std::vector<float> channels;
    if (digits.size() == 3) {
        for (int d : digits) {
            channels.push_back(static_cast<float>(d * 17) / 255.0f);
        }
    } else if (digits.size() == 6 || digits.size() == 8) {
        for (std::size_t i = 0; i < digits.size(); i += 2) {
            channels.push_back(static_cast<float>(digits[i] * 16 + digits[i + 1]) / 255.0f);
        }
    } else {
        return std::nullopt;
    }
    channels.resize(4, 1.0f);
    return Color{channels[0], channels[1], channels[2], channels[3]};
}

std::optional<Blend> to_blend(std::string_view word) {
    if (word == "normal") {
        return Blend::Normal;
    }
    if (word == "add") {
        return Blend::Add;
    }
    if (word == "screen") {
        return Blend::Screen;
    }
    if (word == "multiply") {
        return Blend::Multiply;
    }
    if (word == "atop") {
        return Blend::Atop;
    }
    return std::nullopt;
}

bool is_name(std::string_view word) {
    if (word.empty() || !std::isalpha(static_cast<unsigned char>(word.front()))) {
        return false;
    }
    return std::all_of(word.begin(), word.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
    });
}

std::string in_quotes(std::string_view word) {
    return "'" + std::string(word) + "'";
}

CommandWords::CommandWords(const SourceLine& line, std::size_t first) : line_(&line) {
    for (std::size_t i = first; i < line.words.size(); ++i) {
        const std::string& word = line.words[i];
        const std::size_t equals = word.find('=');
        if (equals == std::string::npos) {
            positional_.push_back(word);
            continue;
        }
        const std::string name = word.substr(0, equals);
        if (!is_name(name)) {
            fail("bad option " + in_quotes(word) + " (expected name=value)");
        }
        if (has_option(name)) {
            fail("option " + in_quotes(name) + " given twice");
        }
        options_.push_back({name, word.substr(equals + 1)});
    }
}

void CommandWords::expect_count(std::size_t min, std::size_t max, std::string_view usage) const {
    if (count() < min || count() > max) {
        fail("expected '" + std::string(usage) + "'");
    }
}

std::optional<std::string> CommandWords::option(std::string_view name) {
    for (Option& o : options_) {
        if (o.name == name) {
            o.taken = true;
            return o.value;
        }
    }
    return std::nullopt;
}

bool CommandWords::has_option(std::string_view name) const {
    return std::any_of(options_.begin(), options_.end(),
                       [name](const Option& o) { return o.name == name; });
}

void CommandWords::finish() const {
    for (const Option& o : options_) {
        if (!o.taken) {
            fail("'" + command() + "' has no option " + in_quotes(o.name));
        }
    }
}

void CommandWords::fail(const std::string& what) const {
    throw source_error(line_->file, line_->number, what);
}

double CommandWords::number(const std::string& word, std::string_view what, double min,
                            double max) const {
    const auto value = to_number(word);
    if (!value) {
        fail("bad number " + in_quotes(word) + " for " + std::string(what));
    }
    if (*value < min || *value > max) {
        std::ostringstream limits;
        limits << min << " to " << max;
        fail(std::string(what) + " " + in_quotes(word) + " is out of range (" + limits.str() + ")");
    }
    return *value;
}

Point CommandWords::point(const std::string& word, std::string_view what) const {
    const auto p = to_point(word);
    if (!p) {
        fail("bad point " + in_quotes(word) + " for " + std::string(what) + " (expected x,y)");
    }
    return *p;
}

Point CommandWords::pair(const std::string& word, std::string_view what, double min,
                         double max) const {
    if (word.find(',') == std::string::npos) {
        const double v = number(word, what, min, max);
        return {v, v};
    }
    const Point p = point(word, what);
    number(word.substr(0, word.find(',')), what, min, max);
    number(word.substr(word.find(',') + 1), what, min, max);
    return p;
}

Range CommandWords::range(const std::string& word, std::string_view what, double min,
                          double max) const {
    const auto r = to_range(word);
    if (!r) {
        fail("bad range " + in_quotes(word) + " for " + std::string(what) +
             " (expected low..high)");
    }
    if (r->low < min || r->high > max) {
        std::ostringstream limits;
        limits << min << " to " << max;
        fail(std::string(what) + " " + in_quotes(word) + " is out of range (" + limits.str() + ")");
    }
    return *r;
}

Blend CommandWords::blend(const std::string& word) const {
    const auto b = to_blend(word);
    if (!b) {
        fail("unknown blend " + in_quotes(word) +
             " (expected normal, add, screen, multiply or atop)");
    }
    return *b;
}

double CommandWords::number_option(std::string_view name, double fallback, double min, double max) {
    const auto value = option(name);
    return value ? number(*value, name, min, max) : fallback;
}

Range CommandWords::range_option(std::string_view name, Range fallback, double min, double max) {
    const auto value = option(name);
    return value ? range(*value, name, min, max) : fallback;
}

Blend CommandWords::blend_option() {
    const auto value = option("blend");
    return value ? blend(*value) : Blend::Normal;
}

} // namespace picturegen
