#pragma once
// Software bitmaps and drawing contexts with the raster operations the game
// uses: block copies, solid fills, one-pixel pen lines, raw bits access.
// Every operation clips against every bitmap it touches; no rectangle or
// line, however far outside, reads or writes beyond a bitmap.

#include <cstddef>
#include <cstdint>
#include <memory>
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

enum class Rop { SrcCopy, SrcAnd, SrcInvert };
enum class FillRop { Blackness, Whiteness };

// A memory drawing context: a selected bitmap, a pen and a current position.
// A new context holds a 1 x 1 stock bitmap, as a fresh memory context does.
class DeviceContext {
  public:
    DeviceContext();

    // Selects a bitmap and returns the one that was selected before.
    std::shared_ptr<Bitmap> select(std::shared_ptr<Bitmap> bitmap);
    Bitmap& bitmap() { return *bitmap_; }
    const Bitmap& bitmap() const { return *bitmap_; }
    const std::shared_ptr<Bitmap>& bitmap_ptr() const { return bitmap_; }

    // A solid pen one pixel wide; the default pen is black.
    void select_pen(ColorRef color) { pen_ = to_xrgb(color); }
    void move_to(int32_t x, int32_t y);
    // Draws from the current position to (x, y): the start pixel is painted,
    // the end pixel is not; the current position becomes (x, y).
    void line_to(int32_t x, int32_t y);

  private:
    std::shared_ptr<Bitmap> bitmap_;
    uint32_t pen_ = 0;
    int32_t cur_x_ = 0;
    int32_t cur_y_ = 0;
};

// Block copy of a w x h rectangle. Both bitmaps must be 32-bit; returns false
// (and draws nothing) otherwise. Only pixels inside both bitmaps are touched.
bool bit_blt(DeviceContext& dst, int32_t x, int32_t y, int32_t w, int32_t h,
             const DeviceContext& src, int32_t sx, int32_t sy, Rop rop);

// The masked draw in one pass: dst = (dst AND mask) XOR colour over a w x h
// rectangle, both sources read at (sx, sy). Gives exactly what bit_blt with
// SrcAnd from `mask`, then SrcInvert from `colour`, gives, clipping included.
bool masked_blt(DeviceContext& dst, int32_t x, int32_t y, int32_t w, int32_t h,
                const DeviceContext& mask, const DeviceContext& colour, int32_t sx, int32_t sy);

// Solid fill of a rectangle, clipped to the bitmap.
bool pat_blt(DeviceContext& dst, int32_t x, int32_t y, int32_t w, int32_t h, FillRop rop);

} // namespace platform
