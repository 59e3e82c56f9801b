#include "sheet_palette.h"

#include "source_text.h"

#include <sstream>
#include <string>

namespace sheetgen {
namespace {

std::uint8_t parse_channel(std::istringstream& in, const std::filesystem::path& file, int line) {
    int value = -1;
    if (!(in >> value) || value < 0 || value > 255) {
        throw source_error(file, line, "expected <code> <red> <green> <blue>, each 0..255");
    }
    return static_cast<std::uint8_t>(value);
}

std::string quoted(char code) {
    return std::string("'") + code + "'";
}

} // namespace

SheetPalette SheetPalette::load(const std::filesystem::path& file) {
    SheetPalette palette;
    palette.index_by_code_.fill(-1);
    std::vector<int> line_of_color;
    for (const SourceLine& line : read_source_lines(file)) {
        std::istringstream in(line.text);
        std::string code;
        in >> code;
        if (code.size() != 1) {
            throw source_error(file, line.number,
                               "a pixel code is one character, got \"" + code + "\"");
        }
        const Rgb rgb{parse_channel(in, file, line.number), parse_channel(in, file, line.number),
                      parse_channel(in, file, line.number)};
        const auto slot = static_cast<unsigned char>(code[0]);
        if (palette.index_by_code_[slot] >= 0) {
            throw source_error(file, line.number, quoted(code[0]) + " is defined twice");
        }
        for (std::size_t i = 0; i < palette.colors_.size(); ++i) {
            if (palette.colors_[i] == rgb) {
                throw source_error(file, line.number,
                                   "same colour as line " + std::to_string(line_of_color[i]));
            }
        }
        if (palette.colors_.size() == 256) {
            throw source_error(file, line.number, "a GIF palette holds at most 256 colours");
        }
        palette.index_by_code_[slot] = static_cast<int>(palette.colors_.size());
        palette.colors_.push_back(rgb);
        line_of_color.push_back(line.number);
    }
    if (palette.colors_.empty()) {
        throw SheetError(file.string() + ": no colours; the first one is the key colour");
    }
    return palette;
}

std::optional<std::uint8_t> SheetPalette::index_of(char code) const {
    const int index = index_by_code_[static_cast<unsigned char>(code)];
    if (index < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(index);
}

} // namespace sheetgen
