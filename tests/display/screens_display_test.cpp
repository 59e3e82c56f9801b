// The screens before the game window on a real X server (Xvfb with openbox):
// a screenshot of each, checked for its texts' places and colours and for its
// picture, and the whole chain walked with the keyboard alone.

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
#include "platform/system/image.h"
#include "platform/system/text.h"
#include "tests/display/x_session.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_input.h"
#include "tests/support/game_data.h"
#include "tests/support/recording_media_player.h"
#include "tests/support/scoped_env.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using app::ScreenId;
using platform::Bitmap;
using platform::Label;

namespace {

constexpr uint32_t kRgbMask = 0x00FFFFFF;
constexpr uint32_t kRed = 0x00FF0000;
constexpr uint32_t kShadow = 0x00404040;
constexpr uint32_t kGreen = 0x0000FF00;
constexpr uint32_t kSilver = 0x00C0C0C0;
constexpr uint32_t kButtonFace = 0x00C0C0C0;

struct Rect {
    int left, top, width, height;
};

Rect rect_of(const platform::Control& c) {
    return {c.left, c.top, c.width, c.height};
}

// Where pixels of one exact colour lie inside a rectangle of a window.
struct Ink {
    int count = 0;
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1; // inclusive
    double centre_x() const { return (left + right) / 2.0; }
};

int distance(uint32_t a, uint32_t b) {
    int d = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        d += std::abs(static_cast<int>(a >> shift & 255) - static_cast<int>(b >> shift & 255));
    }
    return d;
}

// A screenshot seen from one window's client area, beside the window's background.
class Shot {
  public:
    Shot(std::shared_ptr<Bitmap> root, int x, int y, std::shared_ptr<const Bitmap> background)
        : root_(std::move(root)), x_(x), y_(y), background_(std::move(background)) {}
    uint32_t at(int x, int y) const { return root_->pixel(x_ + x, y_ + y) & kRgbMask; }
    uint32_t background(int x, int y) const { return background_->pixel(x, y) & kRgbMask; }

    // Text drawn in `colour`: pixels changed from the background toward the colour,
    // smoothed edges included.
    Ink ink(const Rect& r, uint32_t colour) const {
        return find(r, [&](int x, int y) {
            const uint32_t p = at(x, y), b = background(x, y);
            return p != b && distance(p, colour) < distance(b, colour);
        });
    }
    // Pixels of exactly `colour` that the background does not have there.
    Ink exact(const Rect& r, uint32_t colour) const {
        return find(r,
                    [&](int x, int y) { return at(x, y) == colour && background(x, y) != colour; });
    }

  private:
    template <class Is> Ink find(const Rect& r, Is is) const {
        Ink ink;
        for (int y = r.top; y < r.top + r.height; ++y) {
            for (int x = r.left; x < r.left + r.width; ++x) {
                if (is(x, y)) {
                    ++ink.count;
                    ink.left = std::min(ink.left, x);
                    ink.right = std::max(ink.right, x);
                    ink.top = std::min(ink.top, y);
                    ink.bottom = std::max(ink.bottom, y);
                }
            }
        }
        return ink;
    }

    std::shared_ptr<Bitmap> root_;
    int x_, y_;
    std::shared_ptr<const Bitmap> background_;
};

class ScreensOnX : public ::testing::Test {
  protected:
    void pump(int ms) {
        const uint64_t end = SDL_GetTicks64() + static_cast<uint64_t>(ms);
        while (SDL_GetTicks64() < end) {
            windows.deliver_pending_events();
            SDL_Delay(5);
        }
    }
    // Shows one screen alone and takes a screenshot of it.
    Shot shoot(platform::Form& form, const std::string& name) {
        screens.show(form);
        pump(400);
        const std::string dir = std::string(SKARVELIN_BINARY_DIR) + "/display-shots";
        std::filesystem::create_directories(dir);
        const std::string file = dir + "/screen-" + name + ".png";
        x.run("import -window root png:" + file);
        const auto where = x.position(windows.native_window(form));
        EXPECT_TRUE(where);
        const auto [wx, wy] = where.value_or(std::make_pair(0, 0));
        screens.hide(form);
        return Shot(platform::load_image_file(file), wx, wy, form.background);
    }
    // Text in `colour` within a label (or the part given).
    Ink expect_text(const Shot& shot, const Label& label, uint32_t colour,
                    std::optional<Rect> part = {}) {
        const Rect r = part.value_or(rect_of(label));
        const Ink ink = shot.ink(r, colour);
        EXPECT_GT(ink.count, 40) << label.text();
        EXPECT_GT(shot.exact(r, colour).count, 5) << label.text();
        return ink;
    }
    // Wrapped, centred text: ink down to its last line, its middle in the middle of
    // the label. Only the rows of its lines are looked at: a picture may lie below.
    void expect_story(const Shot& shot, const Label& label, uint32_t colour) {
        const int line = platform::line_height(*label.font());
        const int lines =
            static_cast<int>(platform::wrap_text(label.text(), *label.font(), label.width).size());
        const Ink ink = expect_text(shot, label, colour,
                                    Rect{label.left, label.top, label.width, lines * line});
        EXPECT_NEAR(ink.centre_x(), label.left + label.width / 2.0, 8) << label.text();
        EXPECT_GT(ink.bottom, label.top + (lines - 1) * line + line / 2) << label.text();
    }
    // The picture of an Image, exactly as scaled, where nothing lies on top of it.
    void expect_picture(const Shot& shot, const platform::Image& image) {
        ASSERT_NE(image.shown(), nullptr);
        int off = 0;
        for (int row = 0; row < image.height; ++row) {
            for (int col = 0; col < image.width; ++col) {
                off += shot.at(image.left + col, image.top + row) !=
                       (image.shown()->pixel(col, row) & kRgbMask);
            }
        }
        EXPECT_EQ(off, 0);
    }
    void expect_background_at(const Shot& shot, int px, int py) {
        EXPECT_EQ(shot.at(px, py), shot.background(px, py));
    }

    xtest::XSession x{true};
    ScopedEnv x11_{"SDL_VIDEODRIVER", "x11"};
    platform::SdlWindowSystem windows;
    platform::FakeClock clock{1000, 1};
    platform::FakeKeys keys;
    platform::FakeJoystick joystick;
    platform::RecordingMediaPlayer media;
    nox::SeededRnd rnd{7, false};
    app::Services services{clock, keys, joystick, windows, media, rnd, &windows, game_sheet_file};
    app::Screens screens{services};
};

} // namespace

TEST_F(ScreensOnX, TheTitleScreen) {
    app::Form1& f = screens.form1();
    const Shot shot = shoot(f, "title");
    // The red title, centred, over its grey shadow 8 pixels down and right.
    expect_text(shot, f.Label5, kRed);
    expect_text(shot, f.Label4, kShadow);
    // Fully covered pixels only: the smoothed edges of the two overlap.
    const Ink title = shot.exact(rect_of(f.Label5), kRed);
    const Ink shadow = shot.exact(rect_of(f.Label4), kShadow);
    EXPECT_NEAR(title.centre_x(), 537 / 2.0, 4);
    EXPECT_NEAR(shadow.right, title.right + 8, 1);
    EXPECT_NEAR(shadow.bottom, title.bottom + 8, 1);
    // The green help lines, the second one wrapped onto two lines.
    for (const Label* help : {&f.Label1, &f.Label2, &f.Label3}) {
        const Ink ink = expect_text(shot, *help, kGreen);
        EXPECT_LT(ink.left, help->left + 4) << help->text(); // left-aligned
    }
    const Ink second_line = shot.ink({8, 144 + 19, 537, 19}, kGreen);
    EXPECT_GT(second_line.count, 100);
    // Both buttons; the dotted focus frame on "スタート" only.
    EXPECT_EQ(shot.at(f.Command1.left + 2, f.Command1.top + 2), kButtonFace);
    EXPECT_EQ(shot.at(f.Command3.left + 2, f.Command3.top + 2), kButtonFace);
    EXPECT_EQ(shot.at(f.Command1.left + 4, f.Command1.top + 4), 0u);
    EXPECT_EQ(shot.at(f.Command3.left + 4, f.Command3.top + 4), kButtonFace);
    expect_background_at(shot, 540, 300);
}

TEST_F(ScreensOnX, TheStoryPagesAndTheBriefing) {
    app::Form2& w1 = screens.form2();
    const Shot s1 = shoot(w1, "world1");
    expect_story(s1, w1.Label1, kSilver);
    expect_picture(s1, w1.Image1);
    EXPECT_EQ(s1.at(w1.Command1.left + 2, w1.Command1.top + 2), kButtonFace);

    app::Form3& w2 = screens.form3();
    const Shot s2 = shoot(w2, "world2");
    expect_story(s2, w2.Label1, kSilver);
    expect_picture(s2, w2.Image1);

    app::Form4& w3 = screens.form4();
    const Shot s3 = shoot(w3, "world3");
    expect_story(s3, w3.Label1, kSilver);
    expect_picture(s3, w3.Image1);

    app::Form5& b = screens.form5();
    const Shot s4 = shoot(b, "briefing");
    expect_story(s4, b.Label2, kGreen);
    const Ink heading = expect_text(s4, b.Label1, kRed);
    EXPECT_NEAR(heading.centre_x(), 16 + 529 / 2.0, 4);
    expect_background_at(s4, 540, 300);
}

TEST_F(ScreensOnX, TheAircraftDataSheet) {
    app::Form6& f = screens.form6();
    const Shot shot = shoot(f, "aircraft");
    const std::vector<const Label*> lines = {
        &f.Label1, &f.Label2, &f.Label3,  &f.Label4,  &f.Label5,  &f.Label6, &f.Label7,
        &f.Label8, &f.Label9, &f.Label10, &f.Label11, &f.Label12, &f.Label13};
    for (const Label* line : lines) {
        const Ink ink = expect_text(shot, *line, kGreen);
        EXPECT_LT(ink.left, line->left + 4) << line->text();
    }
    // Sub-headings at 16, the lines under them indented to 24.
    EXPECT_LT(shot.ink(rect_of(f.Label3), kGreen).left, 20);
    EXPECT_GE(shot.ink(rect_of(f.Label4), kGreen).left, 24);
    expect_picture(shot, f.Image1);
    expect_background_at(shot, 10, 340);
}

namespace {

// Acts from a timer of a hidden window, so that it runs inside whatever modal
// loop the screens are in: after each input it lets the screen settle, notes
// which screen is visible, and gives the next input.
class KeyboardScript {
  public:
    KeyboardScript(platform::WindowSystem& windows, app::Screens& screens, xtest::XSession& x)
        : screens_(screens), x_(x) {
        driver_.timer_interval_ms = 50;
        driver_.on_timer = [this] { tick(); };
        windows.load(driver_);
    }
    void then(std::string keys) { keys_.push_back(std::move(keys)); }
    std::vector<std::string> seen;

  private:
    void tick() {
        if (++ticks_ > 400) {
            ADD_FAILURE() << "stuck after " << seen.size() << " screens";
            platform::end_program(99);
        }
        if (ticks_ % 8 != 0 || next_ == keys_.size()) {
            return; // 400 ms to settle after each input
        }
        seen.push_back(visible());
        x_.run("xdotool key " + keys_[next_++]);
    }
    std::string visible() const {
        static const char* const names[] = {"Title",    "World1",   "World2", "World3",
                                            "Briefing", "Aircraft", "Game"};
        std::string out;
        for (int i = 0; i <= static_cast<int>(ScreenId::Game); ++i) {
            const platform::Form* f = screens_.existing(static_cast<ScreenId>(i));
            if (f && screens_.windows().is_visible(*f)) {
                out += (out.empty() ? "" : "+") + std::string(names[i]);
            }
        }
        return out;
    }

    app::Screens& screens_;
    xtest::XSession& x_;
    platform::Form driver_{"driver"};
    std::vector<std::string> keys_;
    size_t next_ = 0;
    int ticks_ = 0;
};

} // namespace

TEST_F(ScreensOnX, TheKeyboardAloneLeadsThroughEveryScreenIntoTheGame) {
    KeyboardScript script(windows, screens, x);
    script.then("Tab Return"); // to "機体説明", and click it
    script.then("Return");     // "戻る"
    script.then("Return");     // "スタート", focused again on the fresh title
    script.then("space");      // "次へ"
    script.then("Return");
    script.then("Return");
    script.then("Return"); // "出撃！"
    script.then("Escape"); // ends the program from the game window
    int status = -1;
    try {
        screens.start();
        windows.run();
    } catch (const platform::ProgramExit& e) {
        status = e.status;
    }
    EXPECT_EQ(status, 0);
    EXPECT_EQ(script.seen, (std::vector<std::string>{"Title", "Aircraft", "Title", "World1",
                                                     "World2", "World3", "Briefing", "Game"}));
}
