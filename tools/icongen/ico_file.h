#pragma once

#include "png_file.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace icongen {

// A directory entry stores each side in one byte, 0 standing for 256.
inline constexpr int kLargestIcoImage = 256;

// A Windows icon file holding every image as a PNG, in the given order, as Windows reads
// them since Vista. Throws IconError for no images or a side out of 1..kLargestIcoImage.
std::vector<std::uint8_t> encode_ico(const std::vector<RgbaImage>& images);

// Writes beside the target and renames, as write_png does.
void write_ico(const std::filesystem::path& file, const std::vector<RgbaImage>& images);

} // namespace icongen
