#include "platform/legacy/gdi.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// A rectangle reduced to the part that lies inside the destination and the source.
struct Span2D {
    int32_t dx, dy, sx, sy, w, h;
};

bool clip_axis(int64_t& d, int64_t& s, int64_t& len, int64_t dst_size, int64_t src_size) {
    if (d < 0) {
        s -= d;
        len += d;
        d = 0;
    }
    if (s < 0) {
        d -= s;
        len += s;
        s = 0;
    }
    len = std::min({len, dst_size - d, src_size - s});
    return len > 0;
}

bool clip(const Bitmap& dst, const Bitmap& src, int32_t x, int32_t y, int32_t w, int32_t h,
          int32_t sx, int32_t sy, Span2D& out) {
    int64_t dx = x, dy = y, ssx = sx, ssy = sy, ww = w, hh = h;
    if (!clip_axis(dx, ssx, ww, dst.width(), src.width()) ||
        !clip_axis(dy, ssy, hh, dst.height(), src.height())) {
        return false;
    }
    out = {static_cast<int32_t>(dx),  static_cast<int32_t>(dy), static_cast<int32_t>(ssx),
           static_cast<int32_t>(ssy), static_cast<int32_t>(ww), static_cast<int32_t>(hh)};
    return true;
}

template <typename Op> void blend_rows(Bitmap& dst, const Bitmap& src, const Span2D& r, Op op) {
    for (int32_t j = 0; j < r.h; ++j) {
        uint32_t* __restrict d = dst.row(r.dy + j) + r.dx;
        const uint32_t* __restrict s = src.row(r.sy + j) + r.sx;
        for (int32_t i = 0; i < r.w; ++i) {
            d[i] = op(d[i], s[i]);
        }
    }
}

// Whole rows of equal length lie end to end: one block instead of row by row.
bool whole_rows(const Bitmap& d, const Bitmap& s, const Span2D& r) {
    return r.dx == 0 && r.sx == 0 && r.w == d.width() && r.w == s.width() &&
           d.bytes_per_row() == s.bytes_per_row() && d.bytes_per_row() == r.w * 4;
}

void apply(Bitmap& d, const Bitmap& s, const Span2D& r, Rop rop) {
    switch (rop) {
    case Rop::SrcCopy:
        if (whole_rows(d, s, r)) {
            std::memcpy(d.row(r.dy), s.row(r.sy), size_t(r.w) * size_t(r.h) * 4);
            break;
        }
        for (int32_t j = 0; j < r.h; ++j) {
            std::memcpy(d.row(r.dy + j) + r.dx, s.row(r.sy + j) + r.sx, size_t(r.w) * 4);
        }
        break;
    case Rop::SrcAnd:
        blend_rows(d, s, r, [](uint32_t a, uint32_t b) { return a & b; });
        break;
    case Rop::SrcInvert:
        blend_rows(d, s, r, [](uint32_t a, uint32_t b) { return a ^ b; });
        break;
    }
}

// Function multiversioning exists only on x86, and needs the ELF loader's indirect
// functions (not on Windows); elsewhere the one plain build serves.
#if (defined(__x86_64__) || defined(__i386__)) && !defined(_WIN32)
#define AVX2_WHERE_AVAILABLE __attribute__((target_clones("avx2", "default")))
#else
#define AVX2_WHERE_AVAILABLE
#endif

// (d AND m) XOR c over h rows of w pixels; the strides count pixels. One call a
// draw, so that each row costs only its pointers' steps; with AVX2 where the CPU
// has it (eight pixels a step), plain SSE2 elsewhere.
AVX2_WHERE_AVAILABLE void mask_block(uint32_t* __restrict d, ptrdiff_t d_stride,
                                     const uint32_t* __restrict m, const uint32_t* __restrict c,
                                     ptrdiff_t s_stride, int32_t w, int32_t h) {
    for (int32_t j = 0; j < h; ++j, d += d_stride, m += s_stride, c += s_stride) {
        for (int32_t i = 0; i < w; ++i) {
            d[i] = (d[i] & m[i]) ^ c[i];
        }
    }
}

void mask_rows(Bitmap& dst, const Bitmap& mask, const Bitmap& colour, const Span2D& r) {
    mask_block(dst.row(r.dy) + r.dx, dst.bytes_per_row() / 4, mask.row(r.sy) + r.sx,
               colour.row(r.sy) + r.sx, mask.bytes_per_row() / 4, r.w, r.h);
}

// The steps of a line along a row (or a column) from major a to b, both inside the
// bitmap: one run of pixels, without the general line's rounding per step.
void paint_straight(Bitmap& bm, bool along_row, int64_t a, int64_t b, int64_t minor, uint32_t pen) {
    const int64_t minor_size = along_row ? bm.height() : bm.width();
    if (minor < 0 || minor >= minor_size) {
        return;
    }
    const auto lo = static_cast<int>(std::min(a, b));
    const auto hi = static_cast<int>(std::max(a, b));
    if (along_row) {
        uint32_t* row = bm.row(static_cast<int>(minor));
        std::fill(row + lo, row + hi + 1, pen);
    } else {
        for (int y = lo; y <= hi; ++y) {
            bm.row(y)[minor] = pen;
        }
    }
}

} // namespace

DeviceContext::DeviceContext() : bitmap_(std::make_shared<Bitmap>(1, 1)) {}

std::shared_ptr<Bitmap> DeviceContext::select(std::shared_ptr<Bitmap> bitmap) {
    if (!bitmap) {
        return nullptr;
    }
    std::swap(bitmap_, bitmap);
    return bitmap;
}

void DeviceContext::move_to(int32_t x, int32_t y) {
    cur_x_ = x;
    cur_y_ = y;
}

void DeviceContext::line_to(int32_t x, int32_t y) {
    Bitmap& bm = *bitmap_;
    const int64_t dx = int64_t{x} - cur_x_;
    const int64_t dy = int64_t{y} - cur_y_;
    const bool x_major = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    const int64_t major_len = x_major ? (dx < 0 ? -dx : dx) : (dy < 0 ? -dy : dy);
    const int64_t minor_len = x_major ? (dy < 0 ? -dy : dy) : (dx < 0 ? -dx : dx);
    const int64_t major_step = (x_major ? dx : dy) < 0 ? -1 : 1;
    const int64_t minor_step = (x_major ? dy : dx) < 0 ? -1 : 1;
    const int64_t major0 = x_major ? cur_x_ : cur_y_;
    const int64_t minor0 = x_major ? cur_y_ : cur_x_;
    const int64_t major_size = x_major ? bm.width() : bm.height();

    // Only the steps whose major coordinate lies inside the bitmap can paint,
    // so a line far outside costs nothing.
    int64_t first = 0, last = major_len - 1;
    if (major_step > 0) {
        first = std::max(first, -major0);
        last = std::min(last, major_size - 1 - major0);
    } else {
        first = std::max(first, major0 - (major_size - 1));
        last = std::min(last, major0);
    }
    if (bm.bits_per_pixel() == 32 && minor_len == 0 && first <= last) {
        paint_straight(bm, x_major, major0 + major_step * first, major0 + major_step * last, minor0,
                       pen_);
    } else if (bm.bits_per_pixel() == 32) {
        for (int64_t i = first; i <= last; ++i) {
            // Nearest minor coordinate, halves rounded up: Bresenham's choice.
            // 2 i minor reaches 2^67: beyond 64 bits.
            __extension__ using Wide = __int128;
            const Wide off = (Wide{2} * i * minor_len + major_len) / (2 * major_len);
            int64_t major = major0 + major_step * i;
            int64_t minor = minor0 + minor_step * static_cast<int64_t>(off);
            int64_t px = x_major ? major : minor;
            int64_t py = x_major ? minor : major;
            if (px >= 0 && py >= 0 && px < bm.width() && py < bm.height()) {
                bm.set_pixel(static_cast<int>(px), static_cast<int>(py), pen_);
            }
        }
    }
    cur_x_ = x;
    cur_y_ = y;
}

bool bit_blt(DeviceContext& dst, int32_t x, int32_t y, int32_t w, int32_t h,
             const DeviceContext& src, int32_t sx, int32_t sy, Rop rop) {
    Bitmap& d = dst.bitmap();
    const Bitmap& s = src.bitmap();
    if (d.bits_per_pixel() != 32 || s.bits_per_pixel() != 32) {
        return false;
    }
    Span2D r{};
    if (!clip(d, s, x, y, w, h, sx, sy, r)) {
        return true;
    }
    if (&d == &s) {
        // Within one bitmap the source must be read before any of it is overwritten.
        Bitmap copy(r.w, r.h);
        apply(copy, s, {0, 0, r.sx, r.sy, r.w, r.h}, Rop::SrcCopy);
        apply(d, copy, {r.dx, r.dy, 0, 0, r.w, r.h}, rop);
    } else {
        apply(d, s, r, rop);
    }
    return true;
}

bool masked_blt(DeviceContext& dst, int32_t x, int32_t y, int32_t w, int32_t h,
                const DeviceContext& mask, const DeviceContext& colour, int32_t sx, int32_t sy) {
    Bitmap& d = dst.bitmap();
    const Bitmap& m = mask.bitmap();
    const Bitmap& c = colour.bitmap();
    // One pass equals two only when both passes clip alike and neither reads what
    // the other writes.
    const bool one_pass = d.bits_per_pixel() == 32 && m.bits_per_pixel() == 32 &&
                          c.bits_per_pixel() == 32 && m.width() == c.width() &&
                          m.height() == c.height() && &d != &m && &d != &c;
    if (!one_pass) {
        const bool anded = bit_blt(dst, x, y, w, h, mask, sx, sy, Rop::SrcAnd);
        return bit_blt(dst, x, y, w, h, colour, sx, sy, Rop::SrcInvert) && anded;
    }
    Span2D r{};
    if (clip(d, m, x, y, w, h, sx, sy, r)) {
        mask_rows(d, m, c, r);
    }
    return true;
}

bool pat_blt(DeviceContext& dst, int32_t x, int32_t y, int32_t w, int32_t h, FillRop rop) {
    Bitmap& d = dst.bitmap();
    if (d.bits_per_pixel() != 32) {
        return false;
    }
    int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
    int64_t x1 = std::min<int64_t>(int64_t{x} + w, d.width());
    int64_t y1 = std::min<int64_t>(int64_t{y} + h, d.height());
    if (x0 >= x1 || y0 >= y1) {
        return true;
    }
    const uint32_t value = rop == FillRop::Blackness ? 0x00000000u : 0x00FFFFFFu;
    if (x0 == 0 && x1 * 4 == d.bytes_per_row() && value == 0) {
        // Whole rows of black: one block of zero bytes.
        std::memset(d.row(static_cast<int>(y0)), 0, size_t(d.bytes_per_row()) * size_t(y1 - y0));
        return true;
    }
    for (int64_t j = y0; j < y1; ++j) {
        uint32_t* row = d.row(static_cast<int>(j));
        std::fill(row + x0, row + std::max(x0, x1), value);
    }
    return true;
}

} // namespace platform
