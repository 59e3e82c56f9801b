// The screens' pictures and texts: stretching a picture to its control, and every
// text of every screen fitting its label in the fonts that stand in for the
// window system's.

#include "app/Form1.h"
#include "app/Form5.h"
#include "app/Form6.h"
#include "app/Screens.h"
#include "app/StoryPage.h"
#include "app/frmMain.h"
#include "engine/sys/rnd.h"
#include "platform/legacy/input.h"
#include "platform/legacy/media.h"
#include "platform/sdl/window_system.h"
#include "platform/system/clock.h"
#include "platform/system/text.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_input.h"
#include "tests/support/recording_media_player.h"
#include "tests/support/scoped_env.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

using platform::Bitmap;

namespace {

std::shared_ptr<Bitmap> picture(int width, int height, std::initializer_list<uint32_t> pixels) {
    auto bm = std::make_shared<Bitmap>(width, height);
    auto it = pixels.begin();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bm->set_pixel(x, y, *it++);
        }
    }
    return bm;
}

uint32_t grey(uint32_t v) {
    return v << 16 | v << 8 | v;
}

} // namespace

TEST(Stretch, ShrinkingAveragesTheAreaEachPixelCovers) {
    // Four columns into two: pairs averaged.
    const Bitmap halves =
        platform::stretch(*picture(4, 1, {0, grey(255), grey(100), grey(200)}), 2, 1);
    EXPECT_EQ(halves.pixel(0, 0), grey(128));
    EXPECT_EQ(halves.pixel(1, 0), grey(150));
    // Three rows into two: the middle row is split between both.
    const Bitmap thirds = platform::stretch(*picture(1, 3, {grey(0), grey(90), grey(180)}), 1, 2);
    EXPECT_EQ(thirds.pixel(0, 0), grey(30));  // (0 * 2 + 90) / 3
    EXPECT_EQ(thirds.pixel(0, 1), grey(150)); // (90 + 180 * 2) / 3
    // Channels stay apart.
    const Bitmap mixed = platform::stretch(*picture(2, 1, {0x00FF0000, 0x000000FF}), 1, 1);
    EXPECT_EQ(mixed.pixel(0, 0), 0x00800080u);
}

TEST(Stretch, EnlargingInterpolatesBetweenNeighbours) {
    const Bitmap wide = platform::stretch(*picture(2, 1, {grey(0), grey(255)}), 4, 1);
    EXPECT_EQ(wide.pixel(0, 0), grey(0)); // the edges keep the edge pixels
    EXPECT_EQ(wide.pixel(1, 0), grey(64));
    EXPECT_EQ(wide.pixel(2, 0), grey(191));
    EXPECT_EQ(wide.pixel(3, 0), grey(255));
}

TEST(Stretch, AnEvenColourStaysEvenAtTheScreensSizes) {
    // Weights that do not sum to one show as dark or bright seams.
    struct Case {
        int from_w, from_h, to_w, to_h;
    };
    for (const Case c : {Case{256, 383, 489, 209}, Case{390, 256, 289, 161},
                         Case{340, 256, 153, 121}, Case{807, 437, 257, 177}}) {
        Bitmap even(c.from_w, c.from_h);
        even.fill(0x00336699);
        const Bitmap out = platform::stretch(even, c.to_w, c.to_h);
        ASSERT_EQ(out.width(), c.to_w);
        ASSERT_EQ(out.height(), c.to_h);
        int off = 0;
        for (int y = 0; y < out.height(); ++y) {
            for (int x = 0; x < out.width(); ++x) {
                off += out.pixel(x, y) != 0x00336699u;
            }
        }
        EXPECT_EQ(off, 0) << c.from_w << " x " << c.from_h;
    }
}

TEST(Stretch, RefusesWhatItCannotScale) {
    EXPECT_THROW(platform::stretch(Bitmap(4, 4, 8), 2, 2), std::invalid_argument);
    EXPECT_THROW(platform::stretch(Bitmap(4, 4), 0, 2), std::invalid_argument);
}

TEST(ImageControl, ShowsItsPictureScaledOnceAtItsPlace) {
    platform::Form form("image", 20, 10);
    form.back_color = platform::rgb(0, 0, 255);
    platform::Image image(2, 3, 4, 2);
    form.add(image);
    const auto red = picture(2, 1, {0x00FF0000, 0x00FF0000});
    image.set_picture(red);
    // Scaled when set: a later change to the picture changes nothing shown.
    red->fill(0);
    ASSERT_NE(image.shown(), nullptr);
    EXPECT_EQ(image.shown()->width(), 4);
    EXPECT_EQ(image.shown()->height(), 2);

    Bitmap client(20, 10);
    form.render(client);
    EXPECT_EQ(client.pixel(2, 3), 0x00FF0000u);
    EXPECT_EQ(client.pixel(5, 4), 0x00FF0000u);
    EXPECT_EQ(client.pixel(6, 4), 0x000000FFu);
    EXPECT_EQ(client.pixel(2, 5), 0x000000FFu);

    image.set_picture(nullptr);
    EXPECT_EQ(image.shown(), nullptr);
    form.render(client);
    EXPECT_EQ(client.pixel(2, 3), 0x000000FFu);
}

namespace {

class ScreenTexts : public ::testing::TestWithParam<platform::Language> {
  protected:
    ScopedEnv headless_{"SDL_VIDEODRIVER", "dummy"};
    platform::FakeClock clock;
    platform::FakeKeys keys;
    platform::FakeJoystick joystick;
    platform::RecordingMediaPlayer media;
    nox::SeededRnd rnd;
    platform::SdlWindowSystem windows;
    app::Services services{clock, keys, joystick, windows, media, rnd, &windows, {}, GetParam()};
    app::Screens screens{services};
};

bool has_japanese(const std::string& text) {
    // Kana and kanji take three bytes in UTF-8, led by 0xE3 to 0xE9.
    return std::any_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0xE3 && static_cast<unsigned char>(c) <= 0xE9;
    });
}

// Lines broken at spaces (which the break takes) or after hyphens, joined again.
std::string rejoined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += text.empty() || text.ends_with('-') ? line : " " + line;
    }
    return text;
}

// Every text of a screen within its control: a label's wrapped lines within its height, and
// in English broken only between words; a single line within its width (what would not fit
// is cut off on screen); a button's caption within the button. In English no Japanese is
// left untranslated.
void expect_texts_fit(const platform::Form& form, platform::Language language) {
    const bool english = language == platform::Language::English;
    int labels = 0;
    for (const platform::Control* c : form.controls()) {
        if (const auto* button = dynamic_cast<const platform::Button*>(c)) {
            const platform::Font font = button->font.value_or(form.font);
            EXPECT_LE(platform::text_width(button->caption, font), button->width - 8)
                << button->caption;
            EXPECT_FALSE(english && has_japanese(button->caption)) << button->caption;
        }
        const auto* label = dynamic_cast<const platform::Label*>(c);
        if (!label) {
            continue;
        }
        ++labels;
        EXPECT_FALSE(english && has_japanese(label->text())) << label->text();
        const platform::Font font = label->font().value_or(form.font);
        const int line = platform::line_height(font);
        if (label->word_wrap) {
            const auto lines = platform::wrap_text(label->text(), font, label->width);
            EXPECT_LE(static_cast<int>(lines.size()) * line, label->height) << label->text();
            if (english) {
                EXPECT_EQ(rejoined(lines), label->text()) << "a word broken in two";
            }
        } else {
            EXPECT_LE(platform::text_width(label->text(), font), label->width) << label->text();
            EXPECT_LE(line, label->height) << label->text();
        }
    }
    EXPECT_FALSE(english && has_japanese(form.caption)) << form.caption;
    EXPECT_GT(labels, 0) << form.caption;
}

} // namespace

TEST_P(ScreenTexts, EveryTextFitsItsControl) {
    expect_texts_fit(screens.form1(), GetParam());
    expect_texts_fit(screens.form2(), GetParam());
    expect_texts_fit(screens.form3(), GetParam());
    expect_texts_fit(screens.form4(), GetParam());
    expect_texts_fit(screens.form5(), GetParam());
    expect_texts_fit(screens.form6(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, ScreenTexts,
                         ::testing::Values(platform::Language::Japanese,
                                           platform::Language::English),
                         [](const auto& test) {
                             return std::string(platform::language_code(test.param));
                         });

TEST_P(ScreenTexts, EachPageShowsItsOwnStoredText) {
    using platform::tr;
    EXPECT_EQ(screens.form2().Label1.text(), tr(app::stored_text(app::kWorld1Text)));
    EXPECT_EQ(screens.form3().Label1.text(), tr(app::stored_text(app::kWorld2Text)));
    EXPECT_EQ(screens.form4().Label1.text(), tr(app::stored_text(app::kWorld3Text)));
    EXPECT_EQ(screens.form5().Label2.text(), tr(app::stored_text(app::kBriefingText)));
}

TEST(StoryTexts, EachHasTheLengthItsLayoutWasMadeFor) {
    // Characters, not bytes; a trailing line end is not part of the text shown.
    auto characters = [](std::string_view name) {
        std::string text = app::stored_text(name);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
            text.pop_back();
        }
        size_t n = 0;
        for (unsigned char c : text) {
            n += (c & 0xC0) != 0x80;
        }
        return n;
    };
    EXPECT_EQ(characters(app::kWorld1Text), 90u);
    EXPECT_EQ(characters(app::kWorld2Text), 177u);
    EXPECT_EQ(characters(app::kWorld3Text), 237u);
    EXPECT_EQ(characters(app::kBriefingText), 197u);
}
