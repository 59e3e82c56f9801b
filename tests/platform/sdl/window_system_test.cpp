// The window system on SDL's dummy video driver: the flow of loading, showing,
// modal loops, timers and input, driven by events pushed into SDL's queue.

#include "platform/events.h"
#include "platform/sdl_window_system.h"
#include "tests/scoped_env.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

using platform::Form;
using platform::Label;
using platform::SdlWindowSystem;

namespace {

// Sets or removes an environment variable for the life of the object.
struct Counted : Form {
    Counted() : Form("counted") {
        on_load = [this] { ++loads; };
        on_activate = [this] { ++activations; };
    }
    int loads = 0;
    int activations = 0;
};

class HeadlessWindows : public ::testing::Test {
  protected:
    ScopedEnv driver{"SDL_VIDEODRIVER", "dummy"};
    SdlWindowSystem windows;

    void push_key(SDL_Scancode sc, bool repeat = false) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.keysym.scancode = sc;
        e.key.repeat = repeat;
        SDL_PushEvent(&e);
    }
    void push_press(const Form& f, int x, int y, uint8_t button = SDL_BUTTON_LEFT,
                    uint32_t type = SDL_MOUSEBUTTONDOWN) {
        SDL_Event e{};
        e.type = type;
        e.button.windowID = windows.sdl_window_id(f);
        e.button.button = button;
        e.button.x = x;
        e.button.y = y;
        SDL_PushEvent(&e);
    }
};

} // namespace

TEST(DisplayOpening, NoDisplayAndNoDriverIsAClearError) {
    ScopedEnv no_driver("SDL_VIDEODRIVER", nullptr);
    ScopedEnv no_display("DISPLAY", nullptr);
    ScopedEnv no_wayland("WAYLAND_DISPLAY", nullptr);
    try {
        SdlWindowSystem windows;
        FAIL() << "opened a display that does not exist";
    } catch (const platform::DisplayError& e) {
        EXPECT_NE(std::string(e.what()).find("cannot open a display"), std::string::npos);
    }
}

TEST_F(HeadlessWindows, RunsWithPlainCentredWindows) {
    Counted f;
    windows.show(f);
    EXPECT_TRUE(windows.headless());
    EXPECT_FALSE(windows.is_shaped(f));
    SDL_Rect screen;
    ASSERT_EQ(SDL_GetDisplayBounds(0, &screen), 0);
    const auto at = windows.window_position(f);
    ASSERT_TRUE(at);
    EXPECT_EQ(at->x, (screen.w - 549) / 2);
    EXPECT_EQ(at->y, (screen.h - 349) / 2);
}

TEST_F(HeadlessWindows, LoadRunsOnceUntilUnloadAndHideKeepsTheForm) {
    Counted f;
    windows.load(f);
    windows.load(f);
    EXPECT_TRUE(windows.is_loaded(f));
    EXPECT_FALSE(windows.is_visible(f));
    EXPECT_EQ(f.loads, 1);
    EXPECT_EQ(f.activations, 0);

    windows.show(f);
    EXPECT_TRUE(windows.is_visible(f));
    EXPECT_EQ(f.loads, 1);
    EXPECT_EQ(f.activations, 1);

    windows.hide(f);
    EXPECT_TRUE(windows.is_loaded(f));
    EXPECT_FALSE(windows.is_visible(f));
    windows.show(f);
    EXPECT_EQ(f.loads, 1);

    windows.unload(f);
    EXPECT_FALSE(windows.is_loaded(f));
    EXPECT_EQ(f.host, nullptr);
    windows.show(f);
    EXPECT_EQ(f.loads, 2);
}

TEST_F(HeadlessWindows, TheLastShownFormIsActiveAndHidingHandsBack) {
    Counted a, b;
    windows.show(a);
    windows.show(b);
    EXPECT_EQ(windows.active_form(), &b);
    windows.show(b);
    EXPECT_EQ(b.activations, 1);
    windows.hide(b);
    EXPECT_EQ(windows.active_form(), &a);
    EXPECT_EQ(a.activations, 2);
    windows.unload(a);
    EXPECT_EQ(windows.active_form(), nullptr);
}

TEST_F(HeadlessWindows, ModalLoopsNestAndEachReturnsWhenItsFormGoes) {
    Counted first, second;
    std::vector<std::string> trace;
    first.timer_interval_ms = 5;
    first.on_timer = [&] {
        trace.push_back("first tick");
        windows.hide(first);
        windows.show_modal(second);
        trace.push_back("second closed");
    };
    second.timer_interval_ms = 5;
    second.on_timer = [&] {
        trace.push_back("second tick");
        windows.unload(second);
    };
    windows.show_modal(first);
    EXPECT_EQ(trace, (std::vector<std::string>{"first tick", "second tick", "second closed"}));
    EXPECT_FALSE(windows.is_loaded(second));
    EXPECT_TRUE(windows.is_loaded(first));
}

TEST_F(HeadlessWindows, TimersTickOnlyWhileEventsAreDelivered) {
    Counted f;
    int ticks = 0;
    f.timer_interval_ms = 20;
    f.on_timer = [&] { ++ticks; };
    windows.show(f);
    std::this_thread::sleep_for(std::chrono::milliseconds(70));
    EXPECT_EQ(ticks, 0);
    windows.deliver_pending_events();
    EXPECT_EQ(ticks, 1); // missed ticks are not made up
    windows.deliver_pending_events();
    EXPECT_EQ(ticks, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
    windows.deliver_pending_events();
    EXPECT_EQ(ticks, 2);
    f.timer_interval_ms = 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
    windows.deliver_pending_events();
    EXPECT_EQ(ticks, 2);
}

TEST_F(HeadlessWindows, KeysReachTheActiveFormOnlyWithKeyPreview) {
    Counted other, f;
    std::vector<int> codes;
    f.on_key_down = [&](int16_t& code, int) {
        codes.push_back(code);
        code = 0;
    };
    other.on_key_down = [&](int16_t&, int) { FAIL() << "an inactive form got a key"; };
    other.key_preview = true;
    windows.show(other);
    windows.show(f);
    push_key(SDL_SCANCODE_S);
    windows.deliver_pending_events();
    EXPECT_TRUE(codes.empty());

    f.key_preview = true;
    push_key(SDL_SCANCODE_S);
    push_key(SDL_SCANCODE_S, true); // a repeat is a key down too
    push_key(SDL_SCANCODE_F2);
    push_key(SDL_SCANCODE_ESCAPE);
    windows.deliver_pending_events();
    EXPECT_EQ(codes, (std::vector<int>{83, 83, 113, 27}));
}

TEST_F(HeadlessWindows, APressGoesToTheTopmostControlOrTheForm) {
    Counted f;
    Label top(10, 10, 50, 20), below(30, 20, 50, 20);
    f.add(top);
    f.add(below);
    std::vector<std::string> trace;
    top.on_mouse_down = [&](int b) { trace.push_back("top " + std::to_string(b)); };
    below.on_mouse_down = [&](int b) { trace.push_back("below " + std::to_string(b)); };
    f.on_mouse_down = [&](int b) { trace.push_back("form " + std::to_string(b)); };
    windows.show(f);
    push_press(f, 40, 25);
    push_press(f, 70, 35, SDL_BUTTON_RIGHT);
    push_press(f, 300, 300, SDL_BUTTON_MIDDLE);
    windows.deliver_pending_events();
    EXPECT_EQ(trace, (std::vector<std::string>{"top 1", "below 2", "form 4"}));
}

TEST_F(HeadlessWindows, AButtonClicksWhenReleasedOverIt) {
    Counted f;
    platform::Button start(128, 312, 145, 33, "スタート"), other(280, 312, 145, 33, "機体説明");
    f.add(other);
    f.add(start);
    int clicks = 0;
    start.on_click = [&] { ++clicks; };
    windows.show(f);

    push_press(f, 150, 320);
    windows.deliver_pending_events();
    EXPECT_TRUE(start.pushed);
    EXPECT_EQ(f.focus, &start);
    EXPECT_EQ(clicks, 0);
    push_press(f, 150, 321, SDL_BUTTON_LEFT, SDL_MOUSEBUTTONUP);
    windows.deliver_pending_events();
    EXPECT_FALSE(start.pushed);
    EXPECT_EQ(clicks, 1);

    // Released elsewhere: no click.
    push_press(f, 150, 320);
    push_press(f, 10, 10, SDL_BUTTON_LEFT, SDL_MOUSEBUTTONUP);
    windows.deliver_pending_events();
    EXPECT_FALSE(start.pushed);
    EXPECT_EQ(clicks, 1);
}

TEST_F(HeadlessWindows, EnterAndSpaceClickTheFocusedButtonAndTabMovesTheFocus) {
    Counted f;
    platform::Button first(0, 0, 50, 20), second(0, 30, 50, 20);
    Label label(0, 60, 50, 20);
    f.add(first);
    f.add(label);
    f.add(second);
    std::vector<std::string> clicks;
    first.on_click = [&] { clicks.push_back("first"); };
    second.on_click = [&] { clicks.push_back("second"); };
    f.focus = &second;
    windows.show(f);
    push_key(SDL_SCANCODE_RETURN);
    push_key(SDL_SCANCODE_TAB);
    push_key(SDL_SCANCODE_SPACE);
    push_key(SDL_SCANCODE_TAB);
    push_key(SDL_SCANCODE_A);
    windows.deliver_pending_events();
    EXPECT_EQ(clicks, (std::vector<std::string>{"second", "first"}));
    EXPECT_EQ(f.focus, &second);

    // A key the preview stops goes no further.
    f.key_preview = true;
    f.on_key_down = [](int16_t& code, int) { code = 0; };
    push_key(SDL_SCANCODE_RETURN);
    windows.deliver_pending_events();
    EXPECT_EQ(clicks.size(), 2u);
}

TEST_F(HeadlessWindows, OnlyTheModalFormTakesInput) {
    Counted behind, modal;
    int behind_presses = 0, modal_presses = 0;
    behind.on_mouse_down = [&](int) { ++behind_presses; };
    modal.on_mouse_down = [&](int) {
        ++modal_presses;
        windows.hide(modal);
    };
    windows.show(behind);
    modal.on_activate = [&] {
        push_press(behind, 5, 5);
        push_press(modal, 5, 5);
    };
    windows.show_modal(modal);
    EXPECT_EQ(behind_presses, 0);
    EXPECT_EQ(modal_presses, 1);
}

TEST_F(HeadlessWindows, EndingTheProgramLeavesEveryNestedLoop) {
    Counted f;
    f.key_preview = true;
    f.on_key_down = [](int16_t& code, int) {
        if (code == 27) {
            platform::end_program(3);
        }
    };
    f.on_activate = [&] { push_key(SDL_SCANCODE_ESCAPE); };
    try {
        windows.show_modal(f);
        FAIL() << "the program did not end";
    } catch (const platform::ProgramExit& e) {
        EXPECT_EQ(e.status, 3);
    }
    // The window system is still usable: the modal loop was left cleanly.
    Counted g;
    g.on_activate = [&] { windows.unload(g); };
    windows.show_modal(g);
    EXPECT_FALSE(windows.is_loaded(g));
}

TEST_F(HeadlessWindows, RunEndsWhenNoFormIsLoaded) {
    Counted f;
    f.timer_interval_ms = 5;
    f.on_timer = [&] { windows.unload(f); };
    windows.show(f);
    windows.run();
    EXPECT_FALSE(windows.is_loaded(f));
}

TEST_F(HeadlessWindows, ADestroyedFormIsForgotten) {
    auto f = std::make_unique<Counted>();
    windows.show(*f);
    f.reset();
    EXPECT_EQ(windows.active_form(), nullptr);
    windows.deliver_pending_events();
}
