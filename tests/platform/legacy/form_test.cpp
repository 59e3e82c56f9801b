#include "platform/legacy/form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using platform::Align;
using platform::Bitmap;
using platform::Font;
using platform::Form;
using platform::Label;
using platform::PictureBox;
using platform::RoundRegion;

namespace {

constexpr uint32_t kBackground = 0x00203040;

// The columns of a rectangle where anything differs from the background.
struct Ink {
    int left = -1, right = -1; // right inclusive; -1 when there is none
};

Ink ink_columns(const Bitmap& bm, int x0, int y0, int w, int h) {
    Ink ink;
    for (int x = x0; x < x0 + w; ++x) {
        for (int y = y0; y < y0 + h; ++y) {
            if (bm.pixel(x, y) != kBackground) {
                if (ink.left < 0) {
                    ink.left = x;
                }
                ink.right = x;
                break;
            }
        }
    }
    return ink;
}

Bitmap rendered(const Form& f) {
    Bitmap bm(f.client_width, f.client_height);
    f.render(bm);
    return bm;
}

struct TestForm : Form {
    TestForm() : Form("test", 200, 100) { back_color = 0x00403020; }
};

} // namespace

TEST(RoundRegionShape, CornersAreCutAndEdgesKept) {
    const RoundRegion r{4, 4, 548, 347, 63, 63};
    EXPECT_FALSE(r.contains(4, 4));
    EXPECT_FALSE(r.contains(10, 10));
    EXPECT_TRUE(r.contains(16, 16));
    EXPECT_TRUE(r.contains(275, 4));   // middle of the top edge
    EXPECT_TRUE(r.contains(4, 175));   // middle of the left edge
    EXPECT_TRUE(r.contains(547, 175)); // right and bottom are exclusive
    EXPECT_FALSE(r.contains(548, 175));
    EXPECT_TRUE(r.contains(275, 346));
    EXPECT_FALSE(r.contains(275, 347));
    EXPECT_FALSE(r.contains(3, 175));
    // The four corners are mirror images.
    for (int y = 4; y < 40; ++y) {
        for (int x = 4; x < 40; ++x) {
            const int mx = 4 + 548 - 1 - x, my = 4 + 347 - 1 - y;
            ASSERT_EQ(r.contains(x, y), r.contains(mx, y)) << x << "," << y;
            ASSERT_EQ(r.contains(x, y), r.contains(x, my)) << x << "," << y;
            ASSERT_EQ(r.contains(x, y), r.contains(mx, my)) << x << "," << y;
        }
    }
}

TEST(RoundRegionShape, RowSpansAgreeWithContains) {
    const RoundRegion r{0, 0, 512, 300, 62, 62};
    for (int y = -2; y < 302; ++y) {
        int x0 = 0, x1 = 0;
        const bool any = r.row_span(y, x0, x1);
        for (int x = -2; x < 514; ++x) {
            ASSERT_EQ(r.contains(x, y), any && x >= x0 && x < x1) << x << "," << y;
        }
    }
}

TEST(FormControls, TheFirstAddedLiesOnTopAndHiddenOnesAreSkipped) {
    TestForm f;
    Label top(10, 10, 50, 20), below(30, 20, 50, 20);
    f.add(top);
    f.add(below);
    EXPECT_EQ(f.control_at(40, 25), &top);
    EXPECT_EQ(f.control_at(70, 35), &below);
    EXPECT_EQ(f.control_at(5, 5), nullptr);
    EXPECT_EQ(f.control_at(60, 10), nullptr); // right edge is exclusive
    top.visible = false;
    EXPECT_EQ(f.control_at(40, 25), &below);
}

TEST(FormControls, AHiddenControlKeepsItsAreaBeneathTheShownOnes) {
    TestForm f;
    f.drags_window = true;
    PictureBox hidden(10, 10, 50, 20);
    Label shown(30, 20, 50, 20);
    shown.drags_window = true;
    hidden.visible = false;
    f.add(hidden);
    f.add(shown);
    EXPECT_EQ(f.control_at(15, 15), &hidden);
    EXPECT_FALSE(f.drags_at(15, 15));
    EXPECT_EQ(f.control_at(40, 25), &shown); // a hidden control hides nothing
    EXPECT_TRUE(f.drags_at(40, 25));
    EXPECT_EQ(f.control_at(5, 5), nullptr);
    EXPECT_TRUE(f.drags_at(5, 5));
}

TEST(FormControls, APressOutsideAPictureRegionFallsThrough) {
    TestForm f;
    PictureBox pic(20, 20, 100, 60);
    pic.region = RoundRegion{0, 0, 100, 60, 40, 40};
    Label under(0, 0, 200, 100);
    f.add(pic);
    f.add(under);
    EXPECT_EQ(f.control_at(21, 21), &under); // the cut corner
    EXPECT_EQ(f.control_at(70, 50), &pic);
}

TEST(FormRender, ControlsAreDrawnBottomToTopOverTheBackground) {
    TestForm f;
    f.background = std::make_shared<Bitmap>(200, 100);
    f.background->fill(kBackground);
    Label top(10, 10, 50, 20), below(30, 20, 50, 20);
    top.back_color = platform::rgb(255, 0, 0);
    below.back_color = platform::rgb(0, 0, 255);
    f.add(top);
    f.add(below);
    const Bitmap bm = rendered(f);
    EXPECT_EQ(bm.pixel(40, 25), 0x00FF0000u); // overlap: the top one
    EXPECT_EQ(bm.pixel(70, 35), 0x000000FFu);
    EXPECT_EQ(bm.pixel(5, 5), kBackground);
}

TEST(FormRender, TheBackColourShowsOnlyWhereNoBackgroundCovers) {
    TestForm f;
    f.background = std::make_shared<Bitmap>(150, 60);
    f.background->fill(kBackground);
    Bitmap shown(200, 100);
    shown.fill(0x00ABCDEF); // what the last frame left
    f.render(shown);
    EXPECT_EQ(shown.pixel(10, 10), kBackground);
    EXPECT_EQ(shown.pixel(180, 10), platform::to_xrgb(f.back_color));
    EXPECT_EQ(shown.pixel(10, 80), platform::to_xrgb(f.back_color));
    // A background covering the whole client leaves nothing of the last frame either.
    f.background = std::make_shared<Bitmap>(200, 100);
    f.background->fill(kBackground);
    shown.fill(0x00ABCDEF);
    f.render(shown);
    EXPECT_EQ(shown, rendered(f));
    EXPECT_EQ(shown.pixel(199, 99), kBackground);
}

TEST(FormRender, APictureAreaIsClippedToItsRegion) {
    TestForm f;
    f.background = std::make_shared<Bitmap>(200, 100);
    f.background->fill(kBackground);
    PictureBox pic(20, 20, 100, 60);
    pic.back_color = platform::rgb(0, 255, 0);
    pic.cls();
    pic.region = RoundRegion{0, 0, 100, 60, 40, 40};
    f.add(pic);
    const Bitmap bm = rendered(f);
    EXPECT_EQ(bm.pixel(20, 20), kBackground);
    EXPECT_EQ(bm.pixel(119, 79), kBackground);
    EXPECT_EQ(bm.pixel(70, 20), 0x0000FF00u);
    EXPECT_EQ(bm.pixel(70, 50), 0x0000FF00u);
}

TEST(FormRender, AControlPartlyOutsideTheWindowIsClipped) {
    TestForm f;
    PictureBox pic(-30, 80, 100, 60);
    pic.back_color = platform::rgb(0, 255, 0);
    pic.cls();
    Label label(180, -5, 60, 30);
    label.back_color = platform::rgb(255, 0, 0);
    f.add(pic);
    f.add(label);
    const Bitmap bm = rendered(f);
    EXPECT_EQ(bm.pixel(0, 99), 0x0000FF00u);
    EXPECT_EQ(bm.pixel(199, 0), 0x00FF0000u);
}

TEST(LabelText, AutoSizeTakesTheSizeOfTheText) {
    TestForm f;
    Label label(55, 7, 0, 0);
    label.set_font(Font{"ＭＳ 明朝", 12, false});
    label.set_auto_size(true);
    label.set_text("Skarvelin 1.01");
    f.add(label);
    EXPECT_EQ(label.width, platform::text_width("Skarvelin 1.01", *label.font()));
    EXPECT_EQ(label.height, 16);
    label.set_text("two\nlines, the second longer");
    EXPECT_EQ(label.width, platform::text_width("lines, the second longer", *label.font()));
    EXPECT_EQ(label.height, 32);
}

TEST(LabelText, AutoSizeTakesTheFormsFontOnceAdded) {
    TestForm f;
    f.font = Font{"ＭＳ Ｐゴシック", 18, false};
    Label label(0, 0, 0, 0);
    label.set_auto_size(true);
    label.set_text("作戦説明");
    f.add(label);
    EXPECT_EQ(label.height, 24);
    EXPECT_EQ(label.width, platform::text_width("作戦説明", f.font));
}

TEST(LabelText, WordWrapWithAutoSizeGrowsDownward) {
    TestForm f;
    Label label(0, 0, 120, 0);
    label.set_font(Font{"ＭＳ Ｐゴシック", 14.25, true});
    label.word_wrap = true;
    label.set_auto_size(true);
    label.set_text("スタートボタンを押すとロードが始まります。");
    EXPECT_EQ(label.width, 120);
    EXPECT_GE(label.height, 3 * 19);
    EXPECT_EQ(label.height % 19, 0);
}

TEST(LabelText, AlignmentPlacesTheTextInTheLabel) {
    TestForm f;
    f.background = std::make_shared<Bitmap>(200, 100);
    f.background->fill(kBackground);
    Label label(20, 10, 150, 19);
    label.fore_color = platform::rgb(0, 255, 0);
    label.set_text("MB0000");
    f.add(label);
    const int w = platform::text_width("MB0000", Font{});

    const Ink left = ink_columns(rendered(f), 0, 0, 200, 100);
    EXPECT_GE(left.left, 20);
    EXPECT_LE(left.left, 22);

    label.alignment = Align::Right;
    const Ink right = ink_columns(rendered(f), 0, 0, 200, 100);
    EXPECT_LE(right.right, 169);
    EXPECT_GE(right.right, 169 - 3);

    label.alignment = Align::Center;
    const Ink centre = ink_columns(rendered(f), 0, 0, 200, 100);
    EXPECT_NEAR((centre.left + centre.right) / 2.0, 20 + 75, 3);
    EXPECT_NEAR(centre.right - centre.left + 1, w, 3);
}

TEST(LabelText, TransparentLabelsShowTheBackgroundAndClipTheirText) {
    TestForm f;
    f.background = std::make_shared<Bitmap>(200, 100);
    f.background->fill(kBackground);
    Label label(10, 10, 30, 12);
    label.fore_color = platform::rgb(255, 255, 255);
    label.set_text("a text much wider than its label");
    f.add(label);
    const Bitmap bm = rendered(f);
    const Ink ink = ink_columns(bm, 0, 0, 200, 100);
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.right, 39);
    int background_inside = 0;
    for (int y = 10; y < 22; ++y) {
        for (int x = 10; x < 40; ++x) {
            background_inside += bm.pixel(x, y) == kBackground;
        }
    }
    EXPECT_GT(background_inside, 30 * 12 / 3);
}

TEST(LabelText, ChangesShowAtTheNextRender) {
    TestForm f;
    f.background = std::make_shared<Bitmap>(200, 100);
    f.background->fill(kBackground);
    Label label(10, 10, 100, 19);
    label.fore_color = platform::rgb(255, 0, 0);
    label.set_text("EN0000");
    f.add(label);
    f.take_invalidated();
    const Bitmap before = rendered(f);

    label.set_text("EN0007");
    EXPECT_TRUE(f.take_invalidated());
    EXPECT_FALSE(f.take_invalidated());
    const Bitmap after = rendered(f);
    bool differs = false;
    for (int x = 10; x < 110 && !differs; ++x) {
        for (int y = 10; y < 29 && !differs; ++y) {
            differs = before.pixel(x, y) != after.pixel(x, y);
        }
    }
    EXPECT_TRUE(differs);

    label.fore_color = platform::rgb(0, 0, 255);
    const Bitmap blue = rendered(f);
    bool any_blue = false, any_red = false;
    for (int x = 10; x < 110; ++x) {
        for (int y = 10; y < 29; ++y) {
            const uint32_t p = blue.pixel(x, y);
            any_blue |= (p & 0xFF) > 0x80 && (p >> 16) < 0x40;
            any_red |= (p >> 16) > 0x80 && (p & 0xFF) < 0x40;
        }
    }
    EXPECT_TRUE(any_blue);
    EXPECT_FALSE(any_red);
}

TEST(ButtonLook, RaisedWithItsCaptionCentredAndPushedInWhileHeld) {
    TestForm f;
    platform::Button b(20, 20, 145, 33, "スタート");
    f.add(b);
    const Bitmap up = rendered(f);
    EXPECT_EQ(up.pixel(20, 20), 0x00FFFFFFu);  // light top-left edge
    EXPECT_EQ(up.pixel(164, 52), 0x00000000u); // dark bottom-right edge
    EXPECT_EQ(up.pixel(163, 40), 0x00808080u); // inner shadow
    int ink_left = 200, ink_right = -1;
    for (int y = 21; y < 52; ++y) {
        for (int x = 21; x < 163; ++x) {
            if (up.pixel(x, y) != 0x00C0C0C0u && up.pixel(x, y) != 0x00808080u) {
                ink_left = std::min(ink_left, x);
                ink_right = std::max(ink_right, x);
            }
        }
    }
    EXPECT_NEAR((ink_left + ink_right) / 2.0, 20 + 145 / 2.0, 2);

    b.pushed = true;
    const Bitmap down = rendered(f);
    EXPECT_EQ(down.pixel(20, 20), 0x00000000u);
    EXPECT_EQ(down.pixel(21, 30), 0x00808080u);
}
