#pragma once
// Drawing contexts with the raster operations the game uses: block copies,
// solid fills, one-pixel pen lines. Every operation clips against every bitmap
// it touches; no rectangle or line, however far outside, reads or writes beyond
// a bitmap.

#include "platform/system/bitmap.h"

#include <cstdint>
#include <memory>

namespace platform {

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
