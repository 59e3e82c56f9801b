#include "source_text.h"

namespace picturegen {

namespace {

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view without_comment(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos || line[first] == '#') {
        return {};
    }
    for (std::size_t i = first + 1; i < line.size(); ++i) {
        const bool ends_word = i + 1 == line.size() || is_space(line[i + 1]);
        if (line[i] == '#' && is_space(line[i - 1]) && ends_word) {
            return line.substr(0, i);
        }
    }
    return line;
}

void add_words(std::string_view text, std::vector<std::string>& words) {
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && is_space(text[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < text.size() && !is_space(text[i])) {
            ++i;
        }
        if (i > start) {
            words.emplace_back(text.substr(start, i - start));
        }
    }
}

} // namespace

std::vector<SourceLine> split_scene_text(std::string_view text, const std::string& file) {
    std::vector<SourceLine> lines;
    SourceLine pending{file, 0, {}};
    bool continues = false;
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = without_comment(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++number;
        if (!continues) {
            pending = {file, number, {}};
        }
        const std::size_t last = line.find_last_not_of(" \t\r");
        continues = last != std::string_view::npos && line[last] == '\\';
        add_words(continues ? line.substr(0, last) : line, pending.words);
        if (!continues && !pending.words.empty()) {
            lines.push_back(std::move(pending));
        }
    }
    if (continues && !pending.words.empty()) {
        lines.push_back(std::move(pending));
    }
    return lines;
}

} // namespace picturegen
