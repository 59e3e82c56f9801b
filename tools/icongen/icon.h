#pragma once

#include "png_file.h"
#include "sheetgen/pixel_map.h"
#include "sheetgen/sheet_palette.h"

#include <stdexcept>

namespace icongen {

class IconError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

inline constexpr int kSmallestIcon = 16;
inline constexpr int kLargestIcon = 1024;

// The game's icon, size pixels square: the art's drawn pixels centred on a dark rounded
// square, enlarged by the largest whole factor that leaves a margin (nearest neighbour,
// so the pixel art stays crisp), the key colour showing the square through. Throws
// IconError for a size out of range and for art that is empty or larger than the icon.
RgbaImage draw_icon(const sheetgen::PixelMap& art, const sheetgen::SheetPalette& palette, int size);

} // namespace icongen
