#include "platform/text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using platform::Font;
using platform::text_width;
using platform::wrap_text;

namespace {

const Font kStoryFont{"ＭＳ Ｐゴシック", 14.25, true};

std::string joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const auto& l : lines) {
        all += l;
    }
    return all;
}

bool starts_with(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

bool ends_with(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() &&
           s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

TEST(TextFonts, WindowsFamiliesMapToTheIpaFaces) {
    // fontconfig may answer with a link to the face (Debian's alternatives).
    const auto face = [](const std::string& family) {
        return std::filesystem::canonical(platform::font_file(family)).filename().string();
    };
    EXPECT_EQ(face("ＭＳ 明朝"), "ipam.ttf");
    EXPECT_EQ(face("ＭＳ Ｐ明朝"), "ipamp.ttf");
    EXPECT_EQ(face("ＭＳ Ｐゴシック"), "ipagp.ttf");
    EXPECT_EQ(face(Font{}.family), "ipagp.ttf");
}

TEST(TextFonts, PointsBecomePixelsAtNinetySixDpi) {
    EXPECT_EQ(platform::font_pixels(9), 12);
    EXPECT_EQ(platform::font_pixels(12), 16);
    EXPECT_EQ(platform::font_pixels(14.25), 19);
    EXPECT_EQ(platform::font_pixels(36), 48);
    EXPECT_EQ(platform::line_height(kStoryFont), 19);
    EXPECT_EQ(platform::line_height(Font{}), 12);
}

TEST(TextWrap, JapaneseCommasAndStopsNeverStartALine) {
    const std::string text =
        "2.スタートボタンを押すとロードが始まります。ロード終了後、準備ができた"
        "ら「S」を押して下さい。世界は、再び、戦火に包まれた。";
    for (int width = 40; width <= 500; width += 3) {
        const auto lines = wrap_text(text, kStoryFont, width);
        ASSERT_EQ(joined(lines), text) << "width " << width;
        for (size_t i = 1; i < lines.size(); ++i) {
            EXPECT_FALSE(starts_with(lines[i], "、")) << "width " << width;
            EXPECT_FALSE(starts_with(lines[i], "。")) << "width " << width;
            EXPECT_FALSE(starts_with(lines[i], "」")) << "width " << width;
            EXPECT_FALSE(ends_with(lines[i - 1], "「")) << "width " << width;
        }
        for (const auto& line : lines) {
            EXPECT_LE(text_width(line, kStoryFont), width) << line;
        }
    }
}

TEST(TextWrap, JapaneseFillsEachLineAsFarAsItCan) {
    const std::string text = "あいうえおかきくけこさしすせそ";
    const int width = text_width("あいうえお", kStoryFont);
    const auto lines = wrap_text(text, kStoryFont, width);
    EXPECT_EQ(lines, (std::vector<std::string>{"あいうえお", "かきくけこ", "さしすせそ"}));
}

TEST(TextWrap, LatinBreaksAtSpacesAndDropsThemAtLineEnds) {
    const int width = text_width("alpha beta", kStoryFont);
    EXPECT_EQ(wrap_text("alpha beta gamma", kStoryFont, width),
              (std::vector<std::string>{"alpha beta", "gamma"}));
    EXPECT_EQ(wrap_text("alpha beta   gamma", kStoryFont, width),
              (std::vector<std::string>{"alpha beta", "gamma"}));
}

TEST(TextWrap, NewlinesAlwaysBreak) {
    const int wide = 1000;
    EXPECT_EQ(wrap_text("one\ntwo", kStoryFont, wide), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(wrap_text("one\r\ntwo", kStoryFont, wide), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(wrap_text("one\n\ntwo", kStoryFont, wide),
              (std::vector<std::string>{"one", "", "two"}));
    EXPECT_EQ(wrap_text("", kStoryFont, wide), (std::vector<std::string>{""}));
}

TEST(TextWrap, AWordWiderThanTheLineIsCutBetweenCharacters) {
    const std::string word = "Skarvelin-Skarvelin-Skarvelin";
    const int width = text_width("Skarvel", kStoryFont);
    const auto lines = wrap_text(word, kStoryFont, width);
    EXPECT_GT(lines.size(), 3u);
    EXPECT_EQ(joined(lines), word);
    for (const auto& line : lines) {
        EXPECT_LE(text_width(line, kStoryFont), width) << line;
    }
}

TEST(TextDraw, DrawsInTheColourClippedToTheBitmap) {
    platform::Bitmap bm(40, 10);
    bm.fill(0x00123456);
    // Half the text lies outside: nothing may be written beyond the bitmap.
    platform::draw_text_line(bm, -20, 2, "WWWW", Font{}, platform::rgb(255, 0, 0));
    int red = 0, other = 0;
    for (int y = 0; y < bm.height(); ++y) {
        for (int x = 0; x < bm.width(); ++x) {
            const uint32_t p = bm.pixel(x, y);
            if (p != 0x00123456) {
                // Blended from the background toward pure red.
                (p >> 16 > 0x12 && (p & 0xFF) < 0x56 ? red : other) += 1;
            }
        }
    }
    EXPECT_GT(red, 20);
    EXPECT_EQ(other, 0);
    EXPECT_EQ(bm.pixel(39, 9), 0x00123456u);
}
