// GIF pictures decoded strictly, and refused whole when anything is wrong with them.

#include "platform/system/gif_decoder.h"
#include "platform/system/image.h"
#include "tests/support/gif_bytes.h"

#include <gtest/gtest.h>

using platform::decode_gif;
using platform::GifLimits;

namespace {

std::string refusal(std::string_view bytes, const GifLimits& limits = {}) {
    try {
        decode_gif(bytes, limits);
    } catch (const platform::ImageError& e) {
        return e.what();
    }
    return "";
}

void expect_pixels(const platform::Bitmap& b, int w, int h, int colours) {
    ASSERT_EQ(b.width(), w);
    ASSERT_EQ(b.height(), h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            ASSERT_EQ(b.pixel(x, y), gif_pixel(x, y, colours)) << x << "," << y;
        }
    }
}

} // namespace

TEST(GifDecoder, PlainAndInterlacedPicturesDecodeToTheirColours) {
    for (bool interlaced : {false, true}) {
        for (auto [w, h, colours] : {std::tuple{1, 1, 2}, {13, 9, 4}, {37, 21, 256}, {5, 1, 16}}) {
            SCOPED_TRACE(testing::Message() << w << "x" << h << " interlaced " << interlaced);
            expect_pixels(*decode_gif(gif_bytes(w, h, colours, interlaced), {}), w, h, colours);
        }
    }
}

TEST(GifDecoder, TheDeclaredSizeIsCheckedBeforeAnyPixelIsDecoded) {
    // A 34-byte file claiming 23200 x 23200 would otherwise cost gigabytes.
    const std::string huge = gif_header_claiming(23200, 23200);
    ASSERT_EQ(huge.size(), 34u);
    EXPECT_NE(refusal(huge).find("23200 x 23200 pixels, larger than the 4096 x 4096"),
              std::string::npos)
        << refusal(huge);
    EXPECT_NE(
        refusal(gif_bytes(10, 10, 2), {304, 600, 4096, 4096}).find("smaller than the 304 x 600"),
        std::string::npos);
    EXPECT_NE(refusal(gif_bytes(400, 599, 2), {304, 600, 4096, 4096}), "");
    EXPECT_EQ(refusal(gif_bytes(304, 600, 2), {304, 600, 4096, 4096}), "");
}

TEST(GifDecoder, EveryCutOfAFileIsRefused) {
    const std::string whole = gif_bytes(40, 30, 16, true);
    ASSERT_EQ(refusal(whole), "");
    // Only the trailer byte may go: the picture is whole without it.
    for (size_t n = 0; n + 1 < whole.size(); ++n) {
        EXPECT_NE(refusal(whole.substr(0, n)), "") << "cut to " << n << " bytes";
    }
}

TEST(GifDecoder, NotAGifAndCorruptPixelsAreRefused) {
    EXPECT_NE(refusal("").find("not a GIF picture"), std::string::npos) << refusal("");
    EXPECT_NE(refusal("\x89PNG\r\n\x1a\n0000000000000000"), "");
    std::string corrupt = gif_bytes(16, 16, 4);
    // Garble the compressed pixels, keeping the header and descriptor.
    for (size_t i = corrupt.size() - 20; i + 2 < corrupt.size(); ++i) {
        corrupt[i] = static_cast<char>(0xFF);
    }
    EXPECT_NE(refusal(corrupt), "");
}

TEST(GifDecoder, APixelBeyondTheColourTableIsRefused) {
    // A table of two colours, and pixels coded clear, 3, 3, end in 3-bit codes.
    std::string gif = gif_header_claiming(2, 1);
    gif.replace(gif.size() - 5, 4, "\x02\x02\xDC\x0A");
    EXPECT_NE(refusal(gif).find("colour 3 of a table of 2"), std::string::npos) << refusal(gif);
}
