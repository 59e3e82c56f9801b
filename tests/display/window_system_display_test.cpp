// The window system on a real X server: shape and placement seen in screenshots,
// dragging with synthetic mouse input with and without a window manager, keys,
// timers and modal loops. Each test starts its own Xvfb (and openbox).

#include "platform/legacy/virtual_keys.h"
#include "platform/sdl/input.h"
#include "platform/sdl/window_system.h"
#include "platform/system/image.h"
#include "tests/display/x_session.h"
#include "tests/support/scoped_env.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

using platform::Form;
using platform::Label;
using platform::PictureBox;
using platform::RoundRegion;
using platform::SdlWindowSystem;
namespace vk = platform::vk;

namespace {

constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr uint32_t kGreen = 0x0000FF00;
constexpr int kLeft = (xtest::XSession::kWidth - 549) / 2;
constexpr int kTop = (xtest::XSession::kHeight - 349) / 2;

// A window laid out like the game window: rounded, a rounded playfield, a title
// label that drags, a counter label that does not.
struct GameLikeForm : Form {
    GameLikeForm() : Form("test window") {
        back_color = platform::rgb(255, 255, 255);
        region = RoundRegion{4, 4, 548, 347, 63, 63};
        drags_window = true;
        key_preview = true;
        title.set_font(platform::Font{"ＭＳ 明朝", 12, false});
        title.set_auto_size(true);
        title.set_text("Skarvelin 1.01");
        title.fore_color = platform::rgb(0, 0, 128);
        title.drags_window = true;
        counter.fore_color = platform::rgb(0, 128, 0);
        counter.alignment = platform::Align::Right;
        counter.set_text("EN0007");
        stage.back_color = platform::rgb(0, 255, 0);
        stage.cls();
        stage.region = RoundRegion{0, 0, 512, 300, 62, 62};
        add(stage);
        add(title);
        add(counter);
        on_mouse_down = [this](int) { ++presses; };
        title.on_mouse_down = [this](int) { ++title_presses; };
        stage.on_mouse_down = [this](int) { ++stage_presses; };
        on_key_down = [this](int16_t& code, int) { keys.push_back(code); };
    }
    PictureBox stage{19, 34, 512, 300};
    Label title{56, 8, 0, 0};
    Label counter{319, 8, 45, 19};
    int presses = 0, title_presses = 0, stage_presses = 0;
    std::vector<int> keys;
};

class OnX : public ::testing::TestWithParam<bool> {
  protected:
    OnX() : x(GetParam()) {}

    // Delivers events for a while, as the game's idle loops do.
    void pump(int ms) {
        const uint64_t end = SDL_GetTicks64() + static_cast<uint64_t>(ms);
        while (SDL_GetTicks64() < end) {
            windows->deliver_pending_events();
            SDL_Delay(5);
        }
    }
    std::pair<int, int> where(const Form& f) {
        const auto p = x.position(windows->native_window(f));
        EXPECT_TRUE(p);
        return p.value_or(std::make_pair(-1, -1));
    }
    std::shared_ptr<platform::Bitmap> screenshot(const std::string& name) {
        const std::string dir = std::string(SKARVELIN_BINARY_DIR) + "/display-shots";
        std::filesystem::create_directories(dir);
        const std::string file = dir + "/" + name + (GetParam() ? "-wm" : "-bare") + ".png";
        x.run("import -window root png:" + file);
        return platform::load_image_file(file);
    }
    // Presses at a window point, moves by (dx, dy) in steps, releases.
    void drag(const Form& f, int px, int py, int dx, int dy) {
        const auto [wx, wy] = where(f);
        x.run("xdotool mousemove " + std::to_string(wx + px) + " " + std::to_string(wy + py));
        pump(100);
        x.run("xdotool mousedown 1");
        pump(150);
        for (int step = 1; step <= 4; ++step) {
            x.run("xdotool mousemove " + std::to_string(wx + px + dx * step / 4) + " " +
                  std::to_string(wy + py + dy * step / 4));
            pump(60);
        }
        x.run("xdotool mouseup 1");
        pump(150);
    }

    ScopedEnv video_driver{"SDL_VIDEODRIVER", "x11"};
    xtest::XSession x;
    std::unique_ptr<SdlWindowSystem> windows = std::make_unique<SdlWindowSystem>();
};

std::string with_or_without(const ::testing::TestParamInfo<bool>& info) {
    return info.param ? "WithWindowManager" : "WithoutWindowManager";
}

} // namespace

INSTANTIATE_TEST_SUITE_P(X11, OnX, ::testing::Bool(), with_or_without);

TEST_P(OnX, TheWindowOpensCentredWithItsCornersCut) {
    GameLikeForm f;
    windows->show(f);
    pump(300);
    ASSERT_TRUE(windows->is_shaped(f));
    EXPECT_EQ(where(f), std::make_pair(kLeft, kTop));

    const auto shot = screenshot("game-like-window");
    const auto at = [&](int px, int py) { return shot->pixel(kLeft + px, kTop + py) & kWhite; };
    EXPECT_EQ(at(275, 20), kWhite);  // background
    EXPECT_EQ(at(275, 150), kGreen); // playfield
    EXPECT_EQ(at(2, 175), 0u);       // outside the region: the black root shows
    EXPECT_EQ(at(6, 6), 0u);         // cut corners
    EXPECT_EQ(at(544, 6), 0u);
    EXPECT_EQ(at(6, 343), 0u);
    EXPECT_EQ(at(544, 343), 0u);
    EXPECT_EQ(at(19 + 3, 34 + 3), kWhite); // the playfield's cut corner
    EXPECT_EQ(at(19 + 508, 34 + 296), kWhite);

    const std::string shape =
        x.run("xwininfo -shape -id " + std::to_string(windows->native_window(f)));
    EXPECT_NE(shape.find("Window shape extents:  544x343+4+4"), std::string::npos) << shape;
}

TEST_P(OnX, DraggingTheBackgroundMovesTheWindow) {
    GameLikeForm f;
    windows->show(f);
    pump(300);
    EXPECT_EQ(windows->window_manager_moves(), GetParam());
    const auto [x0, y0] = where(f);
    drag(f, 300, 20, 60, 40);
    EXPECT_EQ(where(f), std::make_pair(x0 + 60, y0 + 40));
    EXPECT_EQ(f.presses, 1);
    // The window stays where it was left once the button is up.
    x.run("xdotool mousemove_relative 30 30");
    pump(150);
    EXPECT_EQ(where(f), std::make_pair(x0 + 60, y0 + 40));
}

TEST_P(OnX, DraggingTheTitleMovesTheWindow) {
    GameLikeForm f;
    windows->show(f);
    pump(300);
    const auto [x0, y0] = where(f);
    drag(f, f.title.left + 10, f.title.top + 6, -80, 50);
    EXPECT_EQ(where(f), std::make_pair(x0 - 80, y0 + 50));
    EXPECT_EQ(f.title_presses, 1);
    EXPECT_EQ(f.presses, 0);
}

TEST_P(OnX, APressOnThePlayfieldOrACounterDoesNotDrag) {
    GameLikeForm f;
    windows->show(f);
    pump(300);
    const auto start = where(f);
    drag(f, 275, 150, 60, 40);
    drag(f, f.counter.left + 20, f.counter.top + 8, 60, 40);
    EXPECT_EQ(where(f), start);
    EXPECT_EQ(f.stage_presses, 1);
    EXPECT_EQ(f.presses, 0);
}

TEST_P(OnX, APressWhileOnlyTheKeysArePolledDoesNotDrag) {
    GameLikeForm f;
    windows->show(f);
    pump(300);
    platform::SdlKeyState keys{windows->event_pump()};
    // An unpaced sortie: every frame asks for Esc, and no events are delivered.
    auto poll_keys = [&](int ms) {
        const uint64_t end = SDL_GetTicks64() + static_cast<uint64_t>(ms);
        while (SDL_GetTicks64() < end) {
            keys.async_key_state(vk::kEsc);
            SDL_Delay(5);
        }
    };
    const auto [x0, y0] = where(f);
    x.run("xdotool mousemove " + std::to_string(x0 + 300) + " " + std::to_string(y0 + 20));
    poll_keys(100);
    x.run("xdotool mousedown 1");
    poll_keys(150);
    x.run("xdotool mousemove " + std::to_string(x0 + 360) + " " + std::to_string(y0 + 60));
    poll_keys(150);
    x.run("xdotool mouseup 1");
    poll_keys(150);
    EXPECT_EQ(where(f), std::make_pair(x0, y0));
}

TEST_P(OnX, KeysReachTheFormWithKeyPreview) {
    GameLikeForm f;
    windows->show(f);
    pump(300);
    x.run("xdotool key s F2 n Escape");
    pump(300);
    EXPECT_EQ(f.keys, (std::vector<int>{vk::kS, vk::kF2, vk::kN, vk::kEsc}));
    f.key_preview = false;
    x.run("xdotool key s");
    pump(200);
    EXPECT_EQ(f.keys.size(), 4u);
}

TEST_P(OnX, TimersTickOnlyWhileEventsAreDeliveredAndModalLoopsEnd) {
    GameLikeForm f;
    int ticks = 0;
    f.timer_interval_ms = 50;
    f.on_timer = [&] { ++ticks; };
    windows->show(f);
    SDL_Delay(300);
    EXPECT_EQ(ticks, 0);
    pump(1);
    EXPECT_EQ(ticks, 1);

    GameLikeForm modal;
    int modal_ticks = 0;
    modal.timer_interval_ms = 50;
    modal.on_timer = [&] {
        if (++modal_ticks == 4) {
            windows->hide(modal);
        }
    };
    windows->hide(f);
    const uint64_t start = SDL_GetTicks64();
    windows->show_modal(modal);
    EXPECT_EQ(modal_ticks, 4);
    EXPECT_GE(SDL_GetTicks64() - start, 190u);
    EXPECT_FALSE(windows->is_visible(modal));
    EXPECT_GE(ticks, 3); // a hidden form's timer runs on while it is loaded
}

namespace {

// A title screen like the game's first one: texts, and two buttons.
struct TitleLikeForm : Form {
    TitleLikeForm() : Form("Skarvelin") {
        back_color = platform::rgb(32, 48, 96);
        region = RoundRegion{4, 4, 548, 347, 63, 63};
        title.set_text("Skarvelin");
        title.set_font(platform::Font{"ＭＳ Ｐ明朝", 36, true});
        title.fore_color = platform::rgb(255, 0, 0);
        title.alignment = platform::Align::Center;
        shadow.set_text("Skarvelin");
        shadow.set_font(platform::Font{"ＭＳ Ｐ明朝", 36, true});
        shadow.fore_color = platform::rgb(64, 64, 64);
        shadow.alignment = platform::Align::Center;
        help.set_text("2.スタートボタンを押すとロードが始まります。ロード終了後、準備ができたら"
                      "「S」を押して下さい。");
        help.set_font(platform::Font{"ＭＳ Ｐゴシック", 14.25, true});
        help.fore_color = platform::rgb(0, 255, 0);
        help.word_wrap = true;
        keys.set_text(
            "1,操作方法は、テンキー（2,4,6,8）または矢印キーで移動、スペースバーで攻撃です。");
        keys.fore_color = platform::rgb(0, 255, 0);
        add(aircraft);
        add(start);
        add(title);
        add(shadow);
        add(help);
        add(keys);
        focus = &start;
    }
    platform::Button aircraft{280, 312, 145, 33, "機体説明"};
    platform::Button start{128, 312, 145, 33, "スタート"};
    Label title{0, 24, 537, 49};
    Label shadow{8, 32, 537, 49};
    Label help{8, 144, 537, 41};
    Label keys{8, 128, 449, 17};
};

} // namespace

TEST_P(OnX, TextsAndButtonsShowAsLaidOut) {
    TitleLikeForm f;
    windows->show(f);
    pump(300);
    const auto shot = screenshot("title-like-screen");
    // The red title is centred in its 537-pixel label.
    int red_left = 549, red_right = -1;
    for (int py = 24; py < 24 + 49; ++py) {
        for (int px = 0; px < 549; ++px) {
            const uint32_t p = shot->pixel(kLeft + px, kTop + py);
            if ((p >> 16 & 255) > 200 && (p >> 8 & 255) < 60) {
                red_left = std::min(red_left, px);
                red_right = std::max(red_right, px);
            }
        }
    }
    ASSERT_GE(red_right, 0);
    EXPECT_NEAR((red_left + red_right) / 2.0, 537 / 2.0, 4);
    // The wrapped help text has ink on its second line.
    int green_on_line_two = 0;
    for (int py = 144 + 19; py < 144 + 38; ++py) {
        for (int px = 8; px < 8 + 537; ++px) {
            green_on_line_two += (shot->pixel(kLeft + px, kTop + py) & kWhite) == kGreen;
        }
    }
    EXPECT_GT(green_on_line_two, 20);
    // The button face.
    EXPECT_EQ(shot->pixel(kLeft + 135, kTop + 316) & kWhite, 0x00C0C0C0u);
}

TEST_P(OnX, ButtonsLeadFromScreenToScreenModally) {
    TitleLikeForm title;
    Form next("次へ");
    platform::Button forward(200, 312, 169, 33, "次へ");
    next.add(forward);
    next.focus = &forward;
    std::vector<std::string> trace;
    title.start.on_click = [&] {
        trace.push_back("start");
        windows->unload(title);
        windows->show_modal(next);
        trace.push_back("returned");
    };
    forward.on_click = [&] {
        trace.push_back("forward");
        windows->hide(next);
    };
    // Once the second screen is up, Enter clicks its focused button.
    next.timer_interval_ms = 200;
    next.on_timer = [&] {
        if (trace.size() == 1) {
            trace.push_back("enter");
            x.run("xdotool key Return");
        }
    };
    windows->show(title);
    pump(300);
    const auto [wx, wy] = where(title);
    x.run("xdotool mousemove " + std::to_string(wx + 200) + " " + std::to_string(wy + 328) +
          " click 1");
    pump(800);
    EXPECT_EQ(trace, (std::vector<std::string>{"start", "enter", "forward", "returned"}));
    EXPECT_FALSE(windows->is_loaded(title));
    EXPECT_TRUE(windows->is_loaded(next));
    EXPECT_FALSE(windows->is_visible(next));
}

TEST_P(OnX, TheWaitCursorComesAndGoes) {
    GameLikeForm f;
    windows->show(f);
    windows->set_wait_cursor(true);
    SDL_Cursor* const wait = SDL_GetCursor();
    windows->set_wait_cursor(false);
    SDL_Cursor* const arrow = SDL_GetCursor();
    EXPECT_NE(wait, nullptr);
    EXPECT_NE(arrow, nullptr);
    EXPECT_NE(wait, arrow);
    windows->set_wait_cursor(true);
    EXPECT_EQ(SDL_GetCursor(), wait);
}
