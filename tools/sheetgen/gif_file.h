#pragma once

#include "pixel_map.h"
#include "sheet_palette.h"

#include <filesystem>
#include <vector>

namespace sheetgen {

// Writes the sheet as a single-image GIF with a full 256-entry palette, so it
// loads as an 8-bit indexed surface. The file appears only once complete.
void write_gif(const std::filesystem::path& file, const PixelMap& sheet,
               const std::vector<Rgb>& colors);

} // namespace sheetgen
