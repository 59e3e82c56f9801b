#include "engine/draw/mdlNoxEffect.h"

#include "engine/sys/errors.h"
#include "engine/sys/numbers.h"

#include <algorithm>
#include <span>
#include <vector>

namespace nox {

namespace {

using PixelRule = void (*)(std::span<uint8_t> pixel, bool is_key);

void to_black_if_key(std::span<uint8_t> pixel, bool is_key) {
    if (is_key) {
        std::fill(pixel.begin(), pixel.end(), uint8_t{0});
    }
}

void to_mask(std::span<uint8_t> pixel, bool is_key) {
    std::fill(pixel.begin(), pixel.end(), is_key ? uint8_t{255} : uint8_t{0});
}

void rewrite_pixels(platform::Bitmap& picture, PixelRule rule) {
    const platform::BitmapInfo info = picture.describe();
    const int32_t pixel_size = info.bits_per_pixel / 8;
    const int32_t total = mul32(info.bytes_per_row, info.height);
    // An empty description (or a depth below one byte) leaves nothing to size
    // the working bits and the key from.
    if (pixel_size < 1 || total < pixel_size) {
        throw SubscriptError();
    }
    std::vector<uint8_t> bits(static_cast<size_t>(total));
    picture.get_bits(bits);
    const std::vector<uint8_t> key(bits.begin(), bits.begin() + pixel_size);

    // Only the row's pixels are compared: the padding that ends a row is never
    // read or written, including a tail too short for a pixel at 24 bits.
    const int32_t pixels_per_row = std::min(info.width, info.bytes_per_row / pixel_size);
    for (int32_t y = 0; y < info.height; ++y) {
        uint8_t* row =
            bits.data() + static_cast<size_t>(y) * static_cast<size_t>(info.bytes_per_row);
        for (int32_t x = 0; x < pixels_per_row; ++x) {
            const std::span<uint8_t> pixel(row + static_cast<size_t>(x) * pixel_size,
                                           static_cast<size_t>(pixel_size));
            rule(pixel, std::equal(pixel.begin(), pixel.end(), key.begin()));
        }
    }
    picture.set_bits(bits);
}

} // namespace

void KeyToBlack(platform::Bitmap& picture) {
    rewrite_pixels(picture, to_black_if_key);
}

void MakeMask(platform::Bitmap& picture) {
    rewrite_pixels(picture, to_mask);
}

} // namespace nox
