#include "engine/draw/mdlNoxEffect.h"

#include "engine/sys/errors.h"
#include "engine/sys/numbers.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

namespace nox {

namespace {

// What a pixel becomes: every byte `key_byte` where it has the key colour;
// elsewhere every byte `other_byte`, or unchanged when `keep_others`.
struct PixelRule {
    uint8_t key_byte;
    bool keep_others;
    uint8_t other_byte;
};

constexpr PixelRule kToBlack{0, true, 0};
constexpr PixelRule kToMask{255, false, 0};

void rewrite_row(uint8_t* row, int32_t pixels, std::span<const uint8_t> key, PixelRule rule) {
    const size_t n = key.size();
    for (int32_t x = 0; x < pixels; ++x) {
        uint8_t* pixel = row + static_cast<size_t>(x) * n;
        if (std::equal(key.begin(), key.end(), pixel)) {
            std::fill_n(pixel, n, rule.key_byte);
        } else if (!rule.keep_others) {
            std::fill_n(pixel, n, rule.other_byte);
        }
    }
}

// The screen's depth, a word a pixel: compared and written whole, in a loop the
// compiler vectorises.
template <bool keep_others>
void rewrite_row32(uint8_t* row, int32_t pixels, uint32_t key, PixelRule rule) {
    const uint32_t key_word = rule.key_byte * 0x01010101u;
    const uint32_t other_word = rule.other_byte * 0x01010101u;
    for (int32_t x = 0; x < pixels; ++x) {
        uint32_t p;
        std::memcpy(&p, row + static_cast<size_t>(x) * 4, 4);
        p = p == key ? key_word : (keep_others ? p : other_word);
        std::memcpy(row + static_cast<size_t>(x) * 4, &p, 4);
    }
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
    uint32_t key32 = 0;
    std::memcpy(&key32, key.data(), std::min<size_t>(key.size(), 4));

    // Only the row's pixels are compared: the padding that ends a row is never
    // read or written, including a tail too short for a pixel at 24 bits.
    const int32_t pixels_per_row = std::min(info.width, info.bytes_per_row / pixel_size);
    for (int32_t y = 0; y < info.height; ++y) {
        uint8_t* row =
            bits.data() + static_cast<size_t>(y) * static_cast<size_t>(info.bytes_per_row);
        if (pixel_size != 4) {
            rewrite_row(row, pixels_per_row, key, rule);
        } else if (rule.keep_others) {
            rewrite_row32<true>(row, pixels_per_row, key32, rule);
        } else {
            rewrite_row32<false>(row, pixels_per_row, key32, rule);
        }
    }
    picture.set_bits(bits);
}

} // namespace

void KeyToBlack(platform::Bitmap& picture) {
    rewrite_pixels(picture, kToBlack);
}

void MakeMask(platform::Bitmap& picture) {
    rewrite_pixels(picture, kToMask);
}

} // namespace nox
