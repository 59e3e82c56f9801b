#include "sheet_layout.h"

#include "source_text.h"

#include <charconv>
#include <sstream>
#include <string>
#include <string_view>

namespace sheetgen {
namespace {

// The largest sheet the game's loader is expected to handle; far below GIF's own limit.
constexpr int max_side = 4096;

std::vector<std::string> split_words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

class LineParser {
  public:
    LineParser(const std::filesystem::path& file, const SourceLine& line)
        : file_(file), line_(line), words_(split_words(line.text)) {}

    const std::string& keyword() const { return words_.front(); }

    void expect_words(std::size_t minimum, std::size_t maximum, const char* usage) const {
        if (words_.size() < minimum || words_.size() > maximum) {
            throw error(std::string("expected \"") + usage + "\"");
        }
    }

    const std::string& word(std::size_t i) const { return words_[i]; }
    std::size_t word_count() const { return words_.size(); }

    int number(std::size_t i, int minimum, int maximum) const {
        return parse_int(words_[i], minimum, maximum);
    }

    Pitch pitch(std::size_t i) const {
        const std::string& text = words_[i];
        const std::size_t slash = text.find('/');
        if (slash == std::string::npos) {
            throw error("pitch is <rise>/<run>, e.g. 1/8, got \"" + text + "\"");
        }
        return {parse_int(text.substr(0, slash), -max_side, max_side),
                parse_int(text.substr(slash + 1), 1, max_side)};
    }

    SheetError error(const std::string& what) const {
        return source_error(file_, line_.number, what);
    }

  private:
    int parse_int(std::string_view text, int minimum, int maximum) const {
        int value = 0;
        const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (status != std::errc() || end != text.data() + text.size() || value < minimum ||
            value > maximum) {
            throw error("expected a whole number in " + std::to_string(minimum) + ".." +
                        std::to_string(maximum) + ", got \"" + std::string(text) + "\"");
        }
        return value;
    }

    const std::filesystem::path& file_;
    const SourceLine& line_;
    std::vector<std::string> words_;
};

Placement parse_placement(const LineParser& parser, const std::filesystem::path& folder) {
    Placement placement;
    placement.kind = parser.keyword() == "sprite" ? PlacementKind::sprite : PlacementKind::picture;
    if (placement.kind == PlacementKind::sprite) {
        parser.expect_words(6, 8, "sprite <file> <x> <y> <width> <height> [pitch <rise>/<run>]");
    } else {
        parser.expect_words(6, 6, "picture <file> <x> <y> <width> <height>");
    }
    placement.file = folder / parser.word(1);
    placement.box = {parser.number(2, 0, max_side - 1), parser.number(3, 0, max_side - 1),
                     parser.number(4, 1, max_side), parser.number(5, 1, max_side)};
    if (parser.word_count() > 6) {
        if (parser.word_count() != 8 || parser.word(6) != "pitch") {
            throw parser.error("after the rectangle only \"pitch <rise>/<run>\" may follow");
        }
        placement.pitch = parser.pitch(7);
    }
    return placement;
}

void check_inside_sheet(const SheetLayout& layout, const Placement& placement) {
    const Rect& box = placement.box;
    if (box.x + box.width > layout.width || box.y + box.height > layout.height) {
        throw source_error(layout.source, placement.line,
                           "rectangle reaches past the " + std::to_string(layout.width) + "x" +
                               std::to_string(layout.height) + " sheet");
    }
}

} // namespace

SheetLayout SheetLayout::load(const std::filesystem::path& file) {
    SheetLayout layout;
    layout.source = file;
    const std::filesystem::path folder = file.parent_path();
    for (const SourceLine& line : read_source_lines(file)) {
        const LineParser parser(file, line);
        if (parser.keyword() == "size") {
            parser.expect_words(3, 3, "size <width> <height>");
            layout.width = parser.number(1, 1, max_side);
            layout.height = parser.number(2, 1, max_side);
        } else if (parser.keyword() == "palette") {
            parser.expect_words(2, 2, "palette <file>");
            layout.palette = folder / parser.word(1);
        } else if (parser.keyword() == "sprite" || parser.keyword() == "picture") {
            layout.placements.push_back(parse_placement(parser, folder));
            layout.placements.back().line = line.number;
        } else {
            throw parser.error("unknown keyword \"" + parser.keyword() +
                               "\"; expected size, palette, sprite or picture");
        }
    }
    if (layout.width == 0 || layout.palette.empty()) {
        throw SheetError(file.string() + ": needs a \"size\" and a \"palette\" line");
    }
    for (const Placement& placement : layout.placements) {
        check_inside_sheet(layout, placement);
    }
    return layout;
}

} // namespace sheetgen
