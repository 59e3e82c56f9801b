#pragma once

#include "png_file.h"
#include "sheetgen/pixel_map.h"
#include "sheetgen/sheet_palette.h"

#include <stdexcept>
#include <string_view>
#include <vector>

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

// As draw_icon, but art larger than the icon is drawn at the smallest whole multiple of size
// that holds it and averaged down, so that the small sizes of a Windows icon file blur the
// art rather than refuse it.
RgbaImage draw_shrunk_icon(const sheetgen::PixelMap& art, const sheetgen::SheetPalette& palette,
                           int size);

// Sizes written "16,32,48": each a whole number from kSmallestIcon to largest, none twice.
// Throws IconError naming the first that is not.
std::vector<int> read_icon_sizes(std::string_view list, int largest);

} // namespace icongen
