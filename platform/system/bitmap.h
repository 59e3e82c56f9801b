#pragma once
// Pixel buffers in the layout of device-independent bitmaps, and the colour
// references that name their colours.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace platform {

// A colour reference as the game writes it: 0x00BBGGRR.
using ColorRef = uint32_t;

constexpr ColorRef rgb(int r, int g, int b) {
    return static_cast<ColorRef>((r & 255) | ((g & 255) << 8) | ((b & 255) << 16));
}

// The 32-bit pixel value (0x00RRGGBB) of a colour reference.
constexpr uint32_t to_xrgb(ColorRef c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

struct BitmapInfo {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bytes_per_row = 0;
    int16_t bits_per_pixel = 0;
};

// A bitmap of 8, 16, 24 or 32 bits per pixel, rows top first, each row padded to
// a multiple of 4 bytes. Drawing works on 32-bit bitmaps (0x00RRGGBB pixels);
// the other depths exist for raw-bits processing.
class Bitmap {
  public:
    Bitmap(int width, int height, int bits_per_pixel = 32);

    int width() const { return width_; }
    int height() const { return height_; }
    int bits_per_pixel() const { return bpp_; }
    int bytes_per_row() const { return stride_; }
    BitmapInfo describe() const;

    // Raw bits, row after row; both copy at most the bitmap's size and return the count.
    size_t get_bits(std::span<uint8_t> out) const;
    size_t set_bits(std::span<const uint8_t> in);

    // 32-bit access; x and y must lie inside the bitmap.
    uint32_t pixel(int x, int y) const;
    void set_pixel(int x, int y, uint32_t xrgb);
    uint32_t* row(int y);
    const uint32_t* row(int y) const;

    void fill(uint32_t xrgb);
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    // The same size, depth and bits.
    bool operator==(const Bitmap&) const = default;

  private:
    int width_;
    int height_;
    int bpp_;
    int stride_;
    std::vector<uint32_t> words_; // word storage keeps 32-bit rows aligned
};

} // namespace platform
