#pragma once
// Picture files in and out. The formats themselves are left to an ImageCodec,
// which the SDL backend supplies.

#include "platform/system/bitmap.h"

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>

namespace platform {

class ImageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads and writes the picture formats; every failure is an ImageError naming the file.
class ImageCodec {
  public:
    virtual ~ImageCodec() = default;
    virtual std::shared_ptr<Bitmap> load_file(const std::string& path) = 0;
    virtual std::shared_ptr<Bitmap> decode(const void* data, size_t size) = 0;
    virtual void save_png(const Bitmap& bitmap, const std::string& path) = 0;
};

// Makes `codec` the one the functions below use (null: none) and returns the one
// used before. A program's main() installs the SDL backend's (SdlServices);
// without one, every function below throws std::logic_error.
ImageCodec* install_image_codec(ImageCodec* codec);

// Loads a GIF, PNG, JPEG or BMP file as a 32-bit bitmap; throws ImageError naming the file.
std::shared_ptr<Bitmap> load_image_file(const std::string& path);

// Decodes an image held in memory (pictures embedded in the program).
std::shared_ptr<Bitmap> decode_image(const void* data, size_t size);

// Writes a 32-bit bitmap as a PNG file; throws ImageError on failure.
void save_png(const Bitmap& bitmap, const std::string& path);

} // namespace platform
