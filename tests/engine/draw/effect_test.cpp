#include "engine/draw/mdlNoxEffect.h"
#include "engine/sys/errors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using Bytes = std::vector<uint8_t>;

namespace {

// A bitmap holding exactly these bits, padding included.
platform::Bitmap raw_bitmap(int width, int height, int bpp, const Bytes& bits) {
    platform::Bitmap bm(width, height, bpp);
    EXPECT_EQ(bits.size(), static_cast<size_t>(bm.bytes_per_row() * height)) << "test data size";
    bm.set_bits(bits);
    return bm;
}

Bytes bits_of(const platform::Bitmap& bm) {
    Bytes out(static_cast<size_t>(bm.bytes_per_row() * bm.height()));
    bm.get_bits(out);
    return out;
}

struct Case {
    int width, height, bpp;
    Bytes sheet, colour_copy, mask_copy;
};

void expect_both_copies(const Case& c) {
    platform::Bitmap colour = raw_bitmap(c.width, c.height, c.bpp, c.sheet);
    nox::KeyToBlack(colour);
    EXPECT_EQ(bits_of(colour), c.colour_copy);
    platform::Bitmap mask = raw_bitmap(c.width, c.height, c.bpp, c.sheet);
    nox::MakeMask(mask);
    EXPECT_EQ(bits_of(mask), c.mask_copy);
}

} // namespace

TEST(SheetPreparation, PaletteIndicesAreComparedNotColoursAndRowPaddingIsLeftAlone) {
    // 8 bits, width 5: rows of 8 bytes, the last 3 are padding. Index 7 may show
    // the key's colour on screen; it is still another pixel.
    expect_both_copies({5,
                        2,
                        8,
                        {5, 5, 7, 5, 9, /*pad*/ 5, 7, 5, //
                         7, 5, 5, 9, 5, /*pad*/ 5, 5, 5},
                        {0, 0, 7, 0, 9, 5, 7, 5, //
                         7, 0, 0, 9, 0, 5, 5, 5},
                        {255, 255, 0, 255, 0, 5, 7, 5, //
                         0, 255, 255, 0, 255, 5, 5, 5}});
}

TEST(SheetPreparation, SixteenBitPixelOneByteOffIsSprite) {
    // width 3: 6 bytes of pixels and 2 of padding (as long as a pixel) per row
    expect_both_copies({3,
                        2,
                        16,
                        {0x1F, 0x7C, 0x1F, 0x7D, 0x00, 0x7C, /*pad*/ 0x1F, 0x7C, //
                         0x1F, 0x7C, 0x1F, 0x7C, 0xAA, 0xBB, /*pad*/ 0x1F, 0x7C},
                        {0, 0, 0x1F, 0x7D, 0x00, 0x7C, 0x1F, 0x7C, //
                         0, 0, 0, 0, 0xAA, 0xBB, 0x1F, 0x7C},
                        {255, 255, 0, 0, 0, 0, 0x1F, 0x7C, //
                         255, 255, 255, 255, 0, 0, 0x1F, 0x7C}});
}

TEST(SheetPreparation, TwentyFourBitRowsNeverTouchTheirPadding) {
    // width 5: 15 bytes of pixels, one padding byte too short to be a pixel
    expect_both_copies({5,
                        1,
                        24,
                        {0x10, 0x20, 0x30, 0x10, 0x20, 0x30, 1, 2, 3, 0x10, 0x20, 0x30, 0x11, 0x20,
                         0x30, /*pad*/ 0x10},
                        {0, 0, 0, 0, 0, 0, 1, 2, 3, 0, 0, 0, 0x11, 0x20, 0x30, 0x10},
                        {255, 255, 255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 0x10}});
    // width 3: 9 bytes of pixels, then three padding bytes that equal the key
    expect_both_copies(
        {3,
         2,
         24,
         {0x10, 0x20, 0x30, 0x10, 0x20, 0x31, 0x10, 0x20, 0x30, /*pad*/ 0x10, 0x20, 0x30, //
          0x30, 0x20, 0x10, 0x10, 0x20, 0x30, 0x10, 0x20, 0x30, /*pad*/ 0x10, 0x20, 0x30},
         {0,    0,    0,    0x10, 0x20, 0x31, 0, 0, 0, 0x10, 0x20, 0x30, //
          0x30, 0x20, 0x10, 0,    0,    0,    0, 0, 0, 0x10, 0x20, 0x30},
         {255, 255, 255, 0,   0,   0,   255, 255, 255, 0x10, 0x20, 0x30, //
          0,   0,   0,   255, 255, 255, 255, 255, 255, 0x10, 0x20, 0x30}});
}

TEST(SheetPreparation, ThirtyTwoBitComparesAllFourBytes) {
    expect_both_copies({2,
                        2,
                        32,
                        {0xFF, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, //
                         0xFF, 0x00, 0xFF, 0x01, 0xFF, 0x00, 0xFF, 0x00},
                        {0, 0, 0, 0, 0x00, 0x00, 0xFF, 0x00, //
                         0xFF, 0x00, 0xFF, 0x01, 0, 0, 0, 0},
                        {255, 255, 255, 255, 0, 0, 0, 0, //
                         0, 0, 0, 0, 255, 255, 255, 255}});
}

TEST(SheetPreparation, KeyToBlackTwiceChangesNothingMore) {
    platform::Bitmap sheet(4, 3, 32);
    sheet.fill(0xFF00FF);
    sheet.set_pixel(1, 1, 0xFF0000);
    sheet.set_pixel(2, 1, 0xFF00FE);
    sheet.set_pixel(3, 2, 0x000000);
    nox::KeyToBlack(sheet);
    const Bytes once = bits_of(sheet);
    EXPECT_EQ(sheet.pixel(0, 0), 0u);
    EXPECT_EQ(sheet.pixel(1, 1), 0xFF0000u);
    EXPECT_EQ(sheet.pixel(2, 1), 0xFF00FEu);
    nox::KeyToBlack(sheet);
    EXPECT_EQ(bits_of(sheet), once);
}

TEST(SheetPreparation, EmptyBitmapRaisesSubscript) {
    platform::Bitmap none(0, 0, 32);
    EXPECT_THROW(nox::KeyToBlack(none), nox::SubscriptError);
    EXPECT_THROW(nox::MakeMask(none), nox::SubscriptError);
    platform::Bitmap no_columns(0, 4, 24);
    EXPECT_THROW(nox::MakeMask(no_columns), nox::SubscriptError);
    platform::Bitmap no_rows(4, 0, 8);
    EXPECT_THROW(nox::KeyToBlack(no_rows), nox::SubscriptError);
}
