// Whole-factor window magnification without a display: the factor a screen gets,
// the asked-for factor's text, mapping window points back to client pixels, the
// magnified shape mask, and the magnified copy that sends only what changed.

#include "platform/legacy/window_scale.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using platform::Bitmap;
using platform::Magnification;
using platform::MagnifiedFrame;
using platform::PixelPoint;
using platform::PixelRect;
using platform::PixelSize;
using platform::PixelTarget;
using platform::RoundRegion;
using platform::RowRun;

namespace {

constexpr PixelSize kClient{549, 349};
constexpr uint32_t kCanary = 0xDEADBEEF;

TEST(WindowScaleText, AcceptsWholeNumbersFromOne) {
    EXPECT_EQ(platform::parse_window_scale("1"), 1);
    EXPECT_EQ(platform::parse_window_scale("2"), 2);
    EXPECT_EQ(platform::parse_window_scale("02"), 2);
    EXPECT_EQ(platform::parse_window_scale("12"), 12);
    // Far too large is still a whole number; the cap deals with it, without overflow.
    EXPECT_GE(platform::parse_window_scale("99999999999999999999").value_or(0), 8);
}

TEST(WindowScaleText, RefusesAnythingElse) {
    for (const char* text : {"", "0", "00", "-1", "+2", "abc", "2.5", " 2", "2 ", "2x", "0x2"}) {
        EXPECT_EQ(platform::parse_window_scale(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(WindowScaleChoice, TheDisplayGivesTheLargestFactorWithinSixtyPercentOfItsHeight) {
    EXPECT_EQ(platform::display_window_scale(kClient, {1280, 1024}), 1); // 698 > 614
    EXPECT_EQ(platform::display_window_scale(kClient, {1920, 1080}), 1);
    EXPECT_EQ(platform::display_window_scale(kClient, {2560, 1440}), 2); // 864 / 349
    EXPECT_EQ(platform::display_window_scale(kClient, {3840, 2160}), 3);
    EXPECT_EQ(platform::display_window_scale(kClient, {1280, 1164}), 2); // exactly 698.4
    EXPECT_EQ(platform::display_window_scale(kClient, {1280, 1163}), 1);
}

TEST(WindowScaleChoice, TheDisplayFactorStaysWithinWidthAndBounds) {
    EXPECT_EQ(platform::display_window_scale(kClient, {1000, 4000}), 1); // a tall, narrow screen
    EXPECT_EQ(platform::display_window_scale(kClient, {320, 200}), 1);
    EXPECT_EQ(platform::display_window_scale(kClient, {100000, 100000}), platform::kMaxWindowScale);
    EXPECT_EQ(platform::display_window_scale(kClient, {0, 0}), 1);
    EXPECT_EQ(platform::display_window_scale({0, 0}, {1280, 1024}), 1);
}

TEST(WindowScaleChoice, AnAskedFactorIsCappedByTheScreenAndTheLimit) {
    EXPECT_EQ(platform::fitting_window_scale(kClient, {1280, 1024}), 2);
    EXPECT_EQ(platform::fitting_window_scale(kClient, {1920, 1080}), 3);
    EXPECT_EQ(platform::fitting_window_scale(kClient, {500, 300}), 1);
    EXPECT_EQ(platform::capped_window_scale(2, kClient, {1280, 1024}), 2);
    EXPECT_EQ(platform::capped_window_scale(3, kClient, {1280, 1024}), 2);
    EXPECT_EQ(platform::capped_window_scale(1, kClient, {7680, 4320}), 1);
    EXPECT_EQ(platform::capped_window_scale(100, kClient, {7680, 4320}), platform::kMaxWindowScale);
    EXPECT_EQ(platform::capped_window_scale(4, kClient, {500, 300}), 1);
}

TEST(WindowScalePoints, WindowPointsMapToTheClientPixelUnderThem) {
    const Magnification twice{2, 0, 0};
    EXPECT_EQ(twice.to_client(0, 0), (PixelPoint{0, 0}));
    EXPECT_EQ(twice.to_client(1, 1), (PixelPoint{0, 0}));
    EXPECT_EQ(twice.to_client(2, 3), (PixelPoint{1, 1}));
    EXPECT_EQ(twice.to_client(1097, 697), (PixelPoint{548, 348}));
    EXPECT_EQ(twice.magnified(kClient), (PixelSize{1098, 698}));
    const Magnification once{};
    EXPECT_EQ(once.to_client(300, 20), (PixelPoint{300, 20}));
}

TEST(WindowScalePoints, PointsAroundACentredClientMapOutsideIt) {
    const Magnification m = platform::centred_magnification(kClient, {1280, 1024});
    EXPECT_EQ(m, (Magnification{2, 91, 163}));
    EXPECT_EQ(m.to_client(91, 163), (PixelPoint{0, 0}));
    EXPECT_EQ(m.to_client(90, 162), (PixelPoint{-1, -1})); // rounds down, not toward 0
    EXPECT_EQ(m.to_client(0, 0), (PixelPoint{-46, -82}));
    EXPECT_EQ(m.to_client(91 + 1098, 163 + 698), (PixelPoint{549, 349}));
    EXPECT_EQ(m.to_client(91 + 1097, 163 + 697), (PixelPoint{548, 348}));

    EXPECT_EQ(platform::centred_magnification(kClient, {1920, 1080}), (Magnification{3, 136, 16}));
    // A screen smaller than the client shows its top-left part.
    EXPECT_EQ(platform::centred_magnification(kClient, {500, 300}), (Magnification{1, 0, 0}));
}

TEST(WindowScaleRows, TheOutlinesRowsAreSymmetricRunsInsideTheClient) {
    const auto rows = platform::outline_rows(RoundRegion{4, 4, 548, 347, 63, 63}, kClient);
    ASSERT_EQ(rows.size(), 349u);
    EXPECT_EQ(rows[0], (RowRun{}));
    EXPECT_EQ(rows[3], (RowRun{}));
    EXPECT_EQ(rows[348], (RowRun{}));
    EXPECT_EQ(rows[175], (RowRun{4, 548}));
    EXPECT_GT(rows[4].x0, 20); // the corner is cut
    for (size_t y = 4; y < 347; ++y) {
        EXPECT_EQ(rows[y].x0 - 4, 548 - rows[y].x1) << "row " << y;
    }
    // An outline larger than the client is kept within it.
    const auto wide = platform::outline_rows(RoundRegion{-10, -10, 600, 400, 0, 0}, {20, 5});
    EXPECT_EQ(wide, std::vector<RowRun>(5, RowRun{0, 20}));
    EXPECT_EQ(platform::full_rows({7, 3}), std::vector<RowRun>(3, RowRun{0, 7}));
}

// Pixels owned by "someone else", with a canary border right of and below the target.
struct Pixels {
    Pixels(int w, int h, int spare = 3)
        : width(w), height(h), stride(w + spare),
          words(size_t(stride) * size_t(h + spare), kCanary) {}
    PixelTarget target() { return {words.data(), ptrdiff_t(stride) * 4, width, height}; }
    uint32_t at(int x, int y) const { return words[size_t(y) * size_t(stride) + size_t(x)]; }
    bool canaries_intact() const {
        for (int y = 0; y < int(words.size()) / stride; ++y) {
            for (int x = 0; x < stride; ++x) {
                if ((x >= width || y >= height) && at(x, y) != kCanary) {
                    return false;
                }
            }
        }
        return true;
    }
    int width, height, stride;
    std::vector<uint32_t> words;
};

TEST(WindowScaleMask, EachMaskPixelIsABlockOfTheOutline) {
    const RoundRegion outline{1, 1, 30, 20, 12, 10};
    const PixelSize client{31, 21};
    const auto rows = platform::outline_rows(outline, client);
    for (int factor : {1, 2, 3}) {
        Pixels mask(client.width * factor, client.height * factor);
        platform::fill_magnified_mask(rows, factor, mask.target());
        for (int y = 0; y < mask.height; ++y) {
            for (int x = 0; x < mask.width; ++x) {
                const uint32_t expected = outline.contains(x / factor, y / factor) ? ~0u : 0u;
                ASSERT_EQ(mask.at(x, y), expected) << factor << "x at " << x << "," << y;
            }
        }
        EXPECT_TRUE(mask.canaries_intact());
    }
    // A target smaller than the magnified outline is filled only as far as it goes.
    Pixels small(10, 10);
    platform::fill_magnified_mask(rows, 3, small.target());
    EXPECT_TRUE(small.canaries_intact());
    EXPECT_EQ(small.at(9, 9), ~0u);
    EXPECT_EQ(small.at(0, 0), 0u);
}

Bitmap patterned(int w, int h) {
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            b.set_pixel(x, y, uint32_t(0x010000 * (x + 1) + 0x000100 * (y + 1) + 0x40));
        }
    }
    return b;
}

// What a target should hold: the client magnified at `m`, only inside `rows`, black elsewhere.
void expect_shows(const Pixels& p, const Bitmap& client, const Magnification& m,
                  const std::vector<RowRun>& rows) {
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const PixelPoint c = m.to_client(x, y);
            const bool inside = c.x >= 0 && c.y >= 0 && c.x < client.width() &&
                                c.y < client.height() && c.x >= rows[size_t(c.y)].x0 &&
                                c.x < rows[size_t(c.y)].x1;
            ASSERT_EQ(p.at(x, y), inside ? client.pixel(c.x, c.y) : 0u) << x << "," << y;
        }
    }
    EXPECT_TRUE(p.canaries_intact());
}

class MagnifiedCopy : public ::testing::TestWithParam<int> {
  protected:
    static constexpr PixelSize kSmall{24, 16};
    int factor() const { return GetParam(); }
    Magnification placement() const { return {factor(), 5, 3}; }
    void SetUp() override { frame.set_layout(kSmall, placement(), rows); }
    PixelRect update() { return frame.update(client, pixels.target()); }

    std::vector<RowRun> rows = platform::outline_rows(RoundRegion{0, 0, 24, 16, 10, 10}, kSmall);
    Bitmap client = patterned(kSmall.width, kSmall.height);
    Pixels pixels = Pixels(GetParam() * kSmall.width + 9, GetParam() * kSmall.height + 7);
    MagnifiedFrame frame;
};

std::string factor_name(const ::testing::TestParamInfo<int>& factor) {
    return "x" + std::to_string(factor.param);
}

INSTANTIATE_TEST_SUITE_P(Factors, MagnifiedCopy, ::testing::Values(1, 2, 3), factor_name);

TEST_P(MagnifiedCopy, TheFirstUpdateWritesEverythingBlackAroundTheOutline) {
    EXPECT_EQ(update(), (PixelRect{0, 0, pixels.width, pixels.height}));
    expect_shows(pixels, client, placement(), rows);
    EXPECT_EQ(pixels.at(5, 3), 0u); // the cut corner
}

TEST_P(MagnifiedCopy, OnlyTheChangedRectangleIsWrittenAndReported) {
    update();
    EXPECT_TRUE(update().empty());
    const int f = factor();
    client.set_pixel(10, 6, 0x00123456);
    EXPECT_EQ(update(), (PixelRect{5 + 10 * f, 3 + 6 * f, f, f}));
    expect_shows(pixels, client, placement(), rows);

    client.set_pixel(3, 12, 0x00ABCDEF);
    client.set_pixel(20, 2, 0x00ABCDEF);
    EXPECT_EQ(update(), (PixelRect{5 + 3 * f, 3 + 2 * f, 18 * f, 11 * f}));
    expect_shows(pixels, client, placement(), rows);
}

TEST_P(MagnifiedCopy, AKnownChangeIsWrittenWithoutComparingAndClippedToTheOutline) {
    update();
    const int f = factor();
    for (int x = 0; x < 24; ++x) {
        client.set_pixel(x, 0, 0x00123456); // row 0's ends lie outside the outline
        client.set_pixel(x, 9, 0x00ABCDEF);
    }
    const PixelRect written = frame.update(client, pixels.target(), {-4, 0, 40, 10});
    EXPECT_EQ(written, (PixelRect{5, 3, 24 * f, 10 * f}));
    expect_shows(pixels, client, placement(), rows);
    EXPECT_TRUE(frame.update(client, pixels.target(), {0, 16, 24, 5}).empty());
    EXPECT_TRUE(update().empty()); // what was written is what the comparing update finds
}

TEST_P(MagnifiedCopy, ChangesOutsideTheOutlineAreNeitherWrittenNorReported) {
    update();
    client.set_pixel(0, 0, 0x00FFFFFF);
    client.set_pixel(23, 15, 0x00FFFFFF);
    EXPECT_TRUE(update().empty());
    EXPECT_EQ(pixels.at(5, 3), 0u);
}

TEST_P(MagnifiedCopy, AnInvalidatedTargetIsWrittenWhole) {
    update();
    std::fill(pixels.words.begin(), pixels.words.end(), 0x00777777u);
    frame.invalidate();
    EXPECT_EQ(update(), (PixelRect{0, 0, pixels.width, pixels.height}));
    for (int y = 0; y < pixels.height; ++y) {
        for (int x = 0; x < pixels.width; ++x) {
            const PixelPoint c = placement().to_client(x, y);
            const bool inside = c.x >= 0 && c.y >= 0 && c.x < kSmall.width && c.y < kSmall.height &&
                                c.x >= rows[size_t(c.y)].x0 && c.x < rows[size_t(c.y)].x1;
            ASSERT_EQ(pixels.at(x, y), inside ? client.pixel(c.x, c.y) : 0u);
        }
    }
}

TEST_P(MagnifiedCopy, ATargetTooSmallGetsOnlyWhatFits) {
    Pixels small(5 + 10 * factor() + 1, 3 + 7 * factor() + 1);
    frame.update(client, small.target());
    EXPECT_TRUE(small.canaries_intact());
    EXPECT_EQ(small.at(5 + 9 * factor(), 3 + 6 * factor()), client.pixel(9, 6));
    client.set_pixel(20, 12, 0);
    EXPECT_TRUE(frame.update(client, small.target()).empty()); // not shown: nothing to send
    EXPECT_TRUE(small.canaries_intact());
}

TEST_P(MagnifiedCopy, AClientImageOfAnotherSizeIsNeverReadPastItsEnd) {
    update();
    const Bitmap smaller = patterned(8, 5);
    frame.invalidate();
    frame.update(smaller, pixels.target());
    EXPECT_TRUE(pixels.canaries_intact());
    EXPECT_EQ(pixels.at(5 + 7 * factor(), 3 + 4 * factor()), smaller.pixel(7, 4));
    EXPECT_EQ(pixels.at(5 + 8 * factor(), 3 + 4 * factor()), 0u);
    // An image of another depth writes nothing but black.
    const Bitmap paletted(kSmall.width, kSmall.height, 8);
    frame.invalidate();
    frame.update(paletted, pixels.target());
    EXPECT_EQ(pixels.at(5 + 12 * factor(), 3 + 8 * factor()), 0u);
    EXPECT_TRUE(frame.update(paletted, pixels.target()).empty());
}

TEST(MagnifiedCopyAtOne, ChangesAreFoundByReadingTheTargetBack) {
    // At factor 1 the target itself is the record of what was shown: a pixel changed
    // there behind the frame's back counts as shown.
    const PixelSize size{16, 8};
    MagnifiedFrame frame;
    frame.set_layout(size, {}, platform::full_rows(size));
    Bitmap client = patterned(size.width, size.height);
    Pixels pixels(size.width, size.height);
    frame.update(client, pixels.target());
    pixels.words[3] = 0x00FF0000;
    EXPECT_EQ(frame.update(client, pixels.target()), (PixelRect{3, 0, 1, 1}));
    EXPECT_EQ(pixels.at(3, 0), client.pixel(3, 0));
}

} // namespace

TEST(WindowScaleRows, EachRowsRunIsExactlyThePointsTheRegionContains) {
    for (const RoundRegion& r :
         {RoundRegion{0, 0, 512, 300, 62, 62}, RoundRegion{4, 4, 548, 347, 63, 63},
          RoundRegion{-3, 2, 20, 9, 40, 30}, RoundRegion{0, 0, 7, 40, 1, 1},
          RoundRegion{0, 0, 30, 30, 0, 9}, RoundRegion{5, 5, 5, 9, 4, 4}}) {
        for (int y = r.top - 1; y <= r.bottom; ++y) {
            int first = r.right, end = r.left;
            for (int x = r.left; x < r.right; ++x) {
                if (r.contains(x, y)) {
                    first = std::min(first, x);
                    end = x + 1;
                }
            }
            int x0 = 0, x1 = 0;
            const bool any = r.row_span(y, x0, x1);
            ASSERT_EQ(any, first < end) << r.left << "," << r.right << " row " << y;
            if (any) {
                ASSERT_EQ(std::pair(x0, x1), std::pair(first, end)) << r.right << " row " << y;
            }
        }
    }
}
