#pragma once

#include "sheet_palette.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace sheetgen {

// A rectangle of palette indices, read from a text file with one character
// per pixel and one line per row.
class PixelMap {
  public:
    PixelMap(int width, int height);
    static PixelMap load(const std::filesystem::path& file, const SheetPalette& palette);

    int width() const { return width_; }
    int height() const { return height_; }
    std::uint8_t at(int x, int y) const { return pixels_[index(x, y)]; }
    void set(int x, int y, std::uint8_t value) { pixels_[index(x, y)] = value; }

  private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }

    int width_;
    int height_;
    std::vector<std::uint8_t> pixels_;
};

// A slope of rise pixels per run columns, positive when the right end goes up.
struct Pitch {
    int rise = 0;
    int run = 1;
};

// Tilts the art by shifting whole columns about the map's centre: for the
// small angles of an aircraft's attitude this keeps every pixel crisp, where
// a true rotation would smear the hand-placed highlights. Throws when art
// would leave the box.
PixelMap pitched(const PixelMap& map, Pitch pitch);

} // namespace sheetgen
