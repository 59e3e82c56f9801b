#include "platform/system/text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
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
#ifdef _WIN32
    // Windows carries the faces cut to the game's characters, renamed as their licence asks.
    EXPECT_EQ(face("ＭＳ 明朝"), "skarvelin-mincho.ttf");
    EXPECT_EQ(face("ＭＳ Ｐ明朝"), "skarvelin-pmincho.ttf");
    EXPECT_EQ(face("ＭＳ Ｐゴシック"), "skarvelin-pgothic.ttf");
    EXPECT_EQ(face(Font{}.family), "skarvelin-pgothic.ttf");
#else
    EXPECT_EQ(face("ＭＳ 明朝"), "ipam.ttf");
    EXPECT_EQ(face("ＭＳ Ｐ明朝"), "ipamp.ttf");
    EXPECT_EQ(face("ＭＳ Ｐゴシック"), "ipagp.ttf");
    EXPECT_EQ(face(Font{}.family), "ipagp.ttf");
#endif
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
#ifdef _WIN32
    GTEST_SKIP() << "Windows breaks the game's own texts by the table libunibreak made at build "
                    "time; a text of the test's own falls back to breaks anywhere";
#endif
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

TEST(TextDraw, AnUnsmoothedFontInksWholePixelsOnly) {
    // The playfield's frame count: at 10 pixels, smoothing blurs 0 into 8.
    const auto pixels_of = [](const Font& font) {
        platform::TextMask mask(60, 14);
        platform::draw_text_line(mask, 0, 0, "0808", font);
        int partial = 0, inked = 0;
        for (const uint8_t c : mask.coverage) {
            partial += c != 0 && c != 255;
            inked += c == 255;
        }
        return std::pair{partial, inked};
    };
    const Font smooth{"ＭＳ ゴシック", 7.5, false};
    Font crisp = smooth;
    crisp.smooth = false;
    EXPECT_GT(pixels_of(smooth).first, 0);
    EXPECT_EQ(pixels_of(crisp).first, 0);
    EXPECT_GT(pixels_of(crisp).second, 20);
    EXPECT_EQ(text_width("0808", crisp), text_width("0808", smooth));
}

namespace {

// Every character a solid block two pixels wide and three high.
class BlockRasterizer : public platform::TextRasterizer {
  public:
    int text_width(std::string_view utf8, const Font&) override {
        return 2 * static_cast<int>(utf8.size());
    }
    int line_height(const Font&) override { return 3; }
    void draw_line(platform::TextMask& dst, int x, int y, std::string_view utf8,
                   const Font& font) override {
        for (int j = std::max(y, 0); j < std::min(y + 3, dst.height); ++j) {
            for (int i = std::max(x, 0); i < std::min(x + text_width(utf8, font), dst.width); ++i) {
                dst.coverage[static_cast<size_t>(j * dst.width + i)] = 255;
            }
        }
    }
};

// Puts a rasterizer in for one scope, then the one before back.
class Installed {
  public:
    explicit Installed(platform::TextRasterizer* r)
        : before_(platform::install_text_rasterizer(r)) {}
    ~Installed() { platform::install_text_rasterizer(before_); }
    Installed(const Installed&) = delete;
    Installed& operator=(const Installed&) = delete;
    platform::TextRasterizer* before() const { return before_; }

  private:
    platform::TextRasterizer* before_;
};

} // namespace

TEST(TextRasterizers, TheInstalledOneMeasuresAndDrawsEveryText) {
    BlockRasterizer blocks;
    Installed in(&blocks);
    EXPECT_NE(in.before(), nullptr); // linking the SDL backend installed its own
    EXPECT_EQ(text_width("abc", Font{}), 6);
    EXPECT_EQ(platform::line_height(Font{}), 3);
    EXPECT_EQ(wrap_text("ab cd ef", Font{}, 10), (std::vector<std::string>{"ab cd", "ef"}));
    platform::Bitmap bm(8, 4);
    platform::draw_text_line(bm, 1, 1, "ab", Font{}, platform::rgb(0, 0, 255));
    EXPECT_EQ(bm.pixel(0, 1), 0u);
    EXPECT_EQ(bm.pixel(1, 1), 0x000000FFu);
    EXPECT_EQ(bm.pixel(4, 3), 0x000000FFu);
    EXPECT_EQ(bm.pixel(5, 1), 0u);
}

TEST(TextRasterizers, WithoutOneTextSaysWhatIsMissing) {
    Installed none(nullptr);
    EXPECT_THROW(text_width("a", Font{}), std::logic_error);
    EXPECT_THROW(platform::line_height(Font{}), std::logic_error);
    try {
        wrap_text("a b", Font{}, 100);
        FAIL() << "wrapped text without a rasterizer";
    } catch (const std::logic_error& e) {
        EXPECT_NE(std::string(e.what()).find("install_text_rasterizer"), std::string::npos);
    }
    // Empty text needs no rasterizer at all.
    EXPECT_EQ(text_width("", Font{}), 0);
    platform::TextMask mask(4, 4);
    platform::draw_text_line(mask, 0, 0, "", Font{});
}
