#pragma once

#include "canvas.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace picturegen {

// 8-bit RGB, rows top to bottom.
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
};

// Ordered dithering keeps slow dark gradients free of bands.
Picture quantize(const Canvas& canvas);

// A 24-bit BMP or a JPEG, chosen by the name's extension (.bmp, .jpg, .jpeg).
// The file appears complete or not at all. Throws PictureError.
void save_picture(const Picture& picture, const std::filesystem::path& file);
bool is_supported_output(const std::filesystem::path& file);

} // namespace picturegen
