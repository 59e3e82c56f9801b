#pragma once

#include "scene.h"
#include "source_text.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace picturegen {

std::optional<double> to_number(std::string_view word);
std::optional<Point> to_point(std::string_view word);     // "x,y"
std::optional<Range> to_range(std::string_view word);     // "low..high" or one number
std::optional<Color> to_hex_color(std::string_view word); // #rgb, #rrggbb or #rrggbbaa
std::optional<Blend> to_blend(std::string_view word);
bool is_name(std::string_view word);
std::string in_quotes(std::string_view word);

// One command's words: the positional ones in order, and name=value options,
// each of which the reader must take or the command is refused.
class CommandWords {
  public:
    explicit CommandWords(const SourceLine& line, std::size_t first = 1);

    const std::string& command() const { return line_->words[0]; }
    const SourceLine& line() const { return *line_; }
    std::size_t count() const { return positional_.size(); }
    const std::string& operator[](std::size_t i) const { return positional_[i]; }
    const std::vector<std::string>& positional() const { return positional_; }

    void expect_count(std::size_t min, std::size_t max, std::string_view usage) const;
    std::optional<std::string> option(std::string_view name);
    bool has_option(std::string_view name) const;
    void finish() const;
    [[noreturn]] void fail(const std::string& what) const;

    double number(const std::string& word, std::string_view what, double min, double max) const;
    Point point(const std::string& word, std::string_view what) const;
    // "x,y", or one number for both.
    Point pair(const std::string& word, std::string_view what, double min, double max) const;
    Range range(const std::string& word, std::string_view what, double min, double max) const;
    Blend blend(const std::string& word) const;

    double number_option(std::string_view name, double fallback, double min, double max);
    Range range_option(std::string_view name, Range fallback, double min, double max);
    Blend blend_option();

  private:
    struct Option {
        std::string name, value;
        bool taken = false;
    };

    const SourceLine* line_;
    std::vector<std::string> positional_;
    std::vector<Option> options_;
};

} // namespace picturegen
