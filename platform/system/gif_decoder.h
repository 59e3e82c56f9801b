#pragma once
// GIF pictures decoded strictly: a file that is cut short, corrupt or of a size
// outside the caller's limits is refused before any pixel is trusted.

#include "platform/system/bitmap.h"

#include <memory>
#include <string_view>

namespace platform {

// Sizes a picture may have; the declared size is checked before decoding.
struct GifLimits {
    int min_width = 1;
    int min_height = 1;
    int max_width = 4096;
    int max_height = 4096;
};

// The first picture of the GIF held in `bytes`, as a 32-bit bitmap of its own size.
// Throws ImageError with the reason (not the file's name, which the caller knows).
std::shared_ptr<Bitmap> decode_gif(std::string_view bytes, const GifLimits& limits);

} // namespace platform
