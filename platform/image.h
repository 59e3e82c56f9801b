#pragma once

#include "platform/gdi.h"

#include <memory>
#include <stdexcept>
#include <string>

namespace platform {

class ImageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Loads a GIF, PNG, JPEG or BMP file as a 32-bit bitmap; throws ImageError naming the file.
std::shared_ptr<Bitmap> load_image_file(const std::string& path);

// Decodes an image held in memory (pictures embedded in the program).
std::shared_ptr<Bitmap> decode_image(const void* data, size_t size);

// Writes a 32-bit bitmap as a PNG file; throws ImageError on failure.
void save_png(const Bitmap& bitmap, const std::string& path);

} // namespace platform
