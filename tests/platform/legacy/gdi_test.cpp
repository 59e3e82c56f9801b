#include "platform/legacy/compose.h"
#include "platform/legacy/gdi.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using platform::Bitmap;
using platform::DeviceContext;

namespace {

// A context holding a w x h bitmap of pixels that differ from each other.
DeviceContext noisy(int w, int h, uint32_t seed, int bpp = 32) {
    DeviceContext dc;
    auto bm = std::make_shared<Bitmap>(w, h, bpp);
    if (bpp == 32) {
        uint32_t x = seed;
        for (int y = 0; y < h; ++y) {
            for (int i = 0; i < w; ++i) {
                x = x * 1664525u + 1013904223u;
                bm->set_pixel(i, y, x >> 8);
            }
        }
    }
    dc.select(bm);
    return dc;
}

DeviceContext copy_of(const DeviceContext& dc) {
    DeviceContext out;
    out.select(std::make_shared<Bitmap>(dc.bitmap()));
    return out;
}

bool inside(const Bitmap& b, int64_t x, int64_t y) {
    return x >= 0 && y >= 0 && x < b.width() && y < b.height();
}

// The masked draw pixel by pixel, walking the destination: a pixel takes part
// when it lies in the rectangle and both sheets have its source pixel.
void reference_masked(Bitmap& d, const Bitmap& m, const Bitmap& c, int64_t x, int64_t y, int64_t w,
                      int64_t h, int64_t sx, int64_t sy) {
    for (int dy = 0; dy < d.height(); ++dy) {
        for (int dx = 0; dx < d.width(); ++dx) {
            const int64_t i = dx - x, j = dy - y;
            if (i >= 0 && i < w && j >= 0 && j < h && inside(m, sx + i, sy + j) &&
                inside(c, sx + i, sy + j)) {
                const auto px = int(sx + i), py = int(sy + j);
                d.set_pixel(dx, dy, (d.pixel(dx, dy) & m.pixel(px, py)) ^ c.pixel(px, py));
            }
        }
    }
}

struct Blit {
    int32_t x, y, w, h, sx, sy;
    std::string what;
};

// Inside, over every edge of the destination and of the sheets, odd sizes, and
// sizes and offsets at the ends of the integer range.
const std::vector<Blit> kBlits = {
    {5, 7, 16, 16, 3, 2, "inside"},
    {0, 0, 61, 37, 0, 0, "the whole sheet"},
    {9, 4, 1, 1, 60, 36, "one pixel, the sheet's last"},
    {11, 3, 17, 9, 40, 20, "odd sizes"},
    {-7, -5, 16, 16, 2, 2, "over the top-left corner"},
    {50, 33, 33, 13, 1, 1, "over the bottom-right corner"},
    {3, 3, 16, 16, -4, -9, "sheet offset negative"},
    {2, 2, 30, 30, 45, 25, "past the sheet's end"},
    {-20, 1, 16, 16, 0, 0, "wholly left of the destination"},
    {64, 1, 16, 16, 0, 0, "wholly right of the destination"},
    {1, 1, 0, 5, 0, 0, "zero width"},
    {1, 1, 5, -3, 0, 0, "negative height"},
    {INT32_MAX - 2, 1, 16, 16, 0, 0, "x near the top of the range"},
    {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0, 0, "everything from the range's bottom"},
    {1, 1, INT32_MAX, INT32_MAX, INT32_MIN, 0, "sheet x at the range's bottom"},
};

} // namespace

TEST(MaskedBlt, EqualsAndThenXorWhereverTheRectangleFalls) {
    const DeviceContext mask = noisy(61, 37, 1), colour = noisy(61, 37, 2);
    for (const Blit& b : kBlits) {
        SCOPED_TRACE(b.what);
        DeviceContext fused = noisy(64, 48, 3);
        DeviceContext two_pass = copy_of(fused);
        Bitmap reference = fused.bitmap();
        EXPECT_TRUE(platform::masked_blt(fused, b.x, b.y, b.w, b.h, mask, colour, b.sx, b.sy));
        platform::bit_blt(two_pass, b.x, b.y, b.w, b.h, mask, b.sx, b.sy, platform::Rop::SrcAnd);
        platform::bit_blt(two_pass, b.x, b.y, b.w, b.h, colour, b.sx, b.sy,
                          platform::Rop::SrcInvert);
        reference_masked(reference, mask.bitmap(), colour.bitmap(), b.x, b.y, b.w, b.h, b.sx, b.sy);
        EXPECT_EQ(fused.bitmap(), two_pass.bitmap());
        EXPECT_EQ(fused.bitmap(), reference);
    }
}

TEST(MaskedBlt, SheetsOfOtherSizesOrSharedBitmapsStillMatchTwoPasses) {
    struct Case {
        std::string what;
        int mask_w, mask_h;
        bool draw_onto_mask;
    };
    for (const Case& c : std::vector<Case>{{"a narrower mask", 20, 37, false},
                                           {"a shorter mask", 61, 11, false},
                                           {"drawn onto its own mask", 61, 37, true}}) {
        SCOPED_TRACE(c.what);
        const DeviceContext colour = noisy(61, 37, 2);
        for (const Blit& b : kBlits) {
            SCOPED_TRACE(b.what);
            DeviceContext fused_mask = noisy(c.mask_w, c.mask_h, 1);
            DeviceContext two_mask = copy_of(fused_mask);
            DeviceContext fused_dst = noisy(64, 48, 3);
            DeviceContext two_dst = copy_of(fused_dst);
            DeviceContext& fused = c.draw_onto_mask ? fused_mask : fused_dst;
            DeviceContext& two = c.draw_onto_mask ? two_mask : two_dst;
            platform::masked_blt(fused, b.x, b.y, b.w, b.h, fused_mask, colour, b.sx, b.sy);
            platform::bit_blt(two, b.x, b.y, b.w, b.h, two_mask, b.sx, b.sy, platform::Rop::SrcAnd);
            platform::bit_blt(two, b.x, b.y, b.w, b.h, colour, b.sx, b.sy,
                              platform::Rop::SrcInvert);
            EXPECT_EQ(fused.bitmap(), two.bitmap());
        }
    }
}

TEST(MaskedBlt, RefusesSheetsThatAreNot32BitAsBitBltDoes) {
    const DeviceContext mask8 = noisy(16, 16, 1, 8), colour = noisy(16, 16, 2);
    DeviceContext dst = noisy(32, 32, 3);
    const Bitmap before = dst.bitmap();
    EXPECT_FALSE(platform::masked_blt(dst, 0, 0, 16, 16, mask8, colour, 0, 0));
    // The XOR pass of a two-pass draw still runs; the fused draw must do the same.
    DeviceContext two = copy_of(dst);
    EXPECT_NE(dst.bitmap(), before);
    platform::bit_blt(two, 0, 0, 16, 16, colour, 0, 0, platform::Rop::SrcInvert);
    EXPECT_EQ(two.bitmap(), before);
}

TEST(Fills, BlackWhiteAndCopiesReachEveryPixelOfTheirRectangleAndNoOther) {
    for (const auto rop : {platform::FillRop::Blackness, platform::FillRop::Whiteness}) {
        const uint32_t value = rop == platform::FillRop::Blackness ? 0u : 0x00FFFFFFu;
        for (const Blit& b :
             {Blit{0, 0, 64, 48, 0, 0, "whole"}, Blit{0, 5, 64, 7, 0, 0, "rows"},
              Blit{-3, -3, 80, 60, 0, 0, "beyond every edge"}, Blit{7, 9, 13, 3, 0, 0, "inside"}}) {
            SCOPED_TRACE(b.what);
            DeviceContext dc = noisy(64, 48, 4);
            const Bitmap before = dc.bitmap();
            EXPECT_TRUE(platform::pat_blt(dc, b.x, b.y, b.w, b.h, rop));
            for (int y = 0; y < 48; ++y) {
                for (int x = 0; x < 64; ++x) {
                    const bool in = x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h;
                    ASSERT_EQ(dc.bitmap().pixel(x, y), in ? value : before.pixel(x, y))
                        << x << "," << y;
                }
            }
        }
    }
    // Whole bitmaps: the word stores and the byte fill give the same pixels.
    for (const uint32_t value : {0u, 0x00FFFFFFu, 0x00304050u, 0xFFFFFFFFu}) {
        Bitmap bm(7, 5);
        bm.fill(value);
        EXPECT_EQ(bm.pixel(0, 0), value);
        EXPECT_EQ(bm.pixel(6, 4), value);
    }
}

TEST(Fills, CopyOfWholeRowsAndOfPartsOfRowsAgree) {
    const DeviceContext src = noisy(64, 48, 5);
    DeviceContext whole = noisy(64, 48, 6);
    EXPECT_TRUE(platform::bit_blt(whole, 0, 0, 64, 48, src, 0, 0, platform::Rop::SrcCopy));
    EXPECT_EQ(whole.bitmap(), src.bitmap());
    // Rows 10 to 19 only, then the same rows from a wider source.
    DeviceContext rows = noisy(64, 48, 6);
    const Bitmap before = rows.bitmap();
    platform::bit_blt(rows, 0, 10, 64, 10, src, 0, 30, platform::Rop::SrcCopy);
    const DeviceContext wide = noisy(80, 48, 5);
    DeviceContext from_wide = noisy(64, 48, 6);
    platform::bit_blt(from_wide, 0, 10, 64, 10, wide, 0, 30, platform::Rop::SrcCopy);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            const bool in = y >= 10 && y < 20;
            ASSERT_EQ(rows.bitmap().pixel(x, y),
                      in ? src.bitmap().pixel(x, y + 20) : before.pixel(x, y));
            ASSERT_EQ(from_wide.bitmap().pixel(x, y),
                      in ? wide.bitmap().pixel(x, y + 20) : before.pixel(x, y));
        }
    }
}

TEST(Compose, WholeBackgroundsAndOffsetPicturesLandWhereTheyBelong) {
    const DeviceContext background = noisy(40, 30, 7);
    const DeviceContext picture = noisy(12, 9, 8);
    struct Case {
        std::string what;
        int x, y, w, h;
        const Bitmap* src;
    };
    for (const Case& c : std::vector<Case>{
             {"a background over the whole client", 0, 0, 40, 30, &background.bitmap()},
             {"a background shifted up", 0, -4, 40, 30, &background.bitmap()},
             {"a background shifted down", 0, 25, 40, 30, &background.bitmap()},
             {"a picture inside", 5, 6, 12, 9, &picture.bitmap()},
             {"a picture over the left edge", -3, 2, 12, 9, &picture.bitmap()},
             {"a picture cut to 5 x 4", 30, 20, 5, 4, &picture.bitmap()}}) {
        SCOPED_TRACE(c.what);
        DeviceContext client = noisy(40, 30, 9);
        const Bitmap before = client.bitmap();
        platform::blit_clipped(client.bitmap(), *c.src, c.x, c.y, c.w, c.h, std::nullopt);
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 40; ++x) {
                const int sx = x - c.x, sy = y - c.y;
                const bool in = sx >= 0 && sy >= 0 && sx < std::min(c.w, c.src->width()) &&
                                sy < std::min(c.h, c.src->height());
                ASSERT_EQ(client.bitmap().pixel(x, y),
                          in ? c.src->pixel(sx, sy) : before.pixel(x, y))
                    << x << "," << y;
            }
        }
    }
    // A picture of another depth has no 32-bit rows to copy: the client stays as it was.
    DeviceContext client = noisy(40, 30, 9);
    const Bitmap before = client.bitmap();
    platform::blit_clipped(client.bitmap(), Bitmap(40, 30, 24), 0, 0, 40, 30, std::nullopt);
    EXPECT_EQ(client.bitmap(), before);
}
