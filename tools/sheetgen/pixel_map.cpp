#include "pixel_map.h"

#include "source_text.h"

#include <string>

namespace sheetgen {
namespace {

// Rounds n/d to the nearest integer, halves upwards, for any sign of n (d > 0).
int round_div(int n, int d) {
    const int twice = 2 * n + d;
    const int q = twice / (2 * d);
    return (twice % (2 * d) < 0) ? q - 1 : q;
}

} // namespace

PixelMap::PixelMap(int width, int height)
    : width_(width), height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
              SheetPalette::key_index) {}

PixelMap PixelMap::load(const std::filesystem::path& file, const SheetPalette& palette) {
    const std::vector<SourceLine> rows = read_source_lines(file);
    if (rows.empty()) {
        throw SheetError(file.string() + ": no pixel rows");
    }
    const int width = static_cast<int>(rows.front().text.size());
    PixelMap map(width, static_cast<int>(rows.size()));
    for (int y = 0; y < map.height(); ++y) {
        const SourceLine& row = rows[static_cast<std::size_t>(y)];
        if (static_cast<int>(row.text.size()) != width) {
            throw source_error(file, row.number,
                               "row is " + std::to_string(row.text.size()) +
                                   " pixels wide, the first row is " + std::to_string(width));
        }
        for (int x = 0; x < width; ++x) {
            const char code = row.text[static_cast<std::size_t>(x)];
            const auto index = palette.index_of(code);
            if (!index) {
                throw source_error(file, row.number,
                                   "column " + std::to_string(x + 1) + ": '" + code +
                                       "' is not in the palette");
            }
            map.set(x, y, *index);
        }
    }
    return map;
}

PixelMap pitched(const PixelMap& map, Pitch pitch) {
    PixelMap out(map.width(), map.height());
    for (int x = 0; x < map.width(); ++x) {
        // Measured in half pixels so that an even-width map pivots between its middle columns.
        const int lift = round_div((2 * x - (map.width() - 1)) * pitch.rise, 2 * pitch.run);
        for (int y = 0; y < map.height(); ++y) {
            const std::uint8_t value = map.at(x, y);
            if (value == SheetPalette::key_index) {
                continue;
            }
            const int moved = y - lift;
            if (moved < 0 || moved >= map.height()) {
                throw SheetError("pitch " + std::to_string(pitch.rise) + "/" +
                                 std::to_string(pitch.run) + " moves column " + std::to_string(x) +
                                 " out of the box");
            }
            out.set(x, moved, value);
        }
    }
    return out;
}

} // namespace sheetgen
