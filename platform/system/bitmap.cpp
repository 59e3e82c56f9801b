#include "platform/system/bitmap.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace platform {

namespace {

int row_bytes(int width, int bpp) {
    return static_cast<int>((int64_t{width} * bpp + 31) / 32 * 4);
}

bool valid_depth(int bpp) {
    return bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
}

} // namespace

Bitmap::Bitmap(int width, int height, int bits_per_pixel)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), bpp_(bits_per_pixel),
      stride_(row_bytes(width_, bits_per_pixel)) {
    if (!valid_depth(bits_per_pixel)) {
        throw std::invalid_argument("unsupported bitmap depth");
    }
    words_.assign(static_cast<size_t>(stride_ / 4) * static_cast<size_t>(height_), 0);
}

BitmapInfo Bitmap::describe() const {
    return {width_, height_, stride_, static_cast<int16_t>(bpp_)};
}

size_t Bitmap::get_bits(std::span<uint8_t> out) const {
    size_t n = std::min(out.size(), words_.size() * 4);
    std::memcpy(out.data(), words_.data(), n);
    return n;
}

size_t Bitmap::set_bits(std::span<const uint8_t> in) {
    size_t n = std::min(in.size(), words_.size() * 4);
    std::memcpy(words_.data(), in.data(), n);
    return n;
}

uint32_t Bitmap::pixel(int x, int y) const {
    return row(y)[x];
}
void Bitmap::set_pixel(int x, int y, uint32_t xrgb) {
    row(y)[x] = xrgb;
}
uint32_t* Bitmap::row(int y) {
    return words_.data() + static_cast<size_t>(y) * (stride_ / 4);
}
const uint32_t* Bitmap::row(int y) const {
    return words_.data() + static_cast<size_t>(y) * (stride_ / 4);
}

void Bitmap::fill(uint32_t xrgb) {
    if (bpp_ != 32) {
        return;
    }
    // A value of four equal bytes (black above all) goes through memset, which
    // beats a loop of word stores on a whole window.
    if (xrgb == (xrgb & 0xFFu) * 0x01010101u) {
        std::memset(words_.data(), static_cast<int>(xrgb & 0xFFu), words_.size() * 4);
    } else {
        std::fill(words_.begin(), words_.end(), xrgb);
    }
}

} // namespace platform
