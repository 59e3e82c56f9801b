// The window system on SDL's dummy video driver: opening the display, plain
// centred windows, and SDL's events (pushed into its queue) reaching the forms
// as the dispatcher's plain events. The routing itself is tested headless in
// window_dispatcher_test.cpp.

#include "platform/legacy/events.h"
#include "platform/sdl/window_system.h"
#include "tests/support/scoped_env.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using platform::Form;
using platform::SdlWindowSystem;

namespace {

class SdlEvents : public ::testing::Test {
  protected:
    ScopedEnv driver{"SDL_VIDEODRIVER", "dummy"};
    SdlWindowSystem windows;

    static void push_key(SDL_Scancode sc, uint16_t mod = KMOD_NONE, bool repeat = false,
                         SDL_Keycode sym = SDLK_UNKNOWN) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.keysym.scancode = sc;
        e.key.keysym.sym = sym;
        e.key.keysym.mod = mod;
        e.key.repeat = repeat;
        SDL_PushEvent(&e);
    }
    void push_button(const Form& f, int x, int y, uint8_t button = SDL_BUTTON_LEFT,
                     uint32_t type = SDL_MOUSEBUTTONDOWN) {
        SDL_Event e{};
        e.type = type;
        e.button.windowID = windows.sdl_window_id(f);
        e.button.button = button;
        e.button.x = x;
        e.button.y = y;
        SDL_PushEvent(&e);
    }
    void push_motion(const Form& f, int x, int y) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = windows.sdl_window_id(f);
        e.motion.x = x;
        e.motion.y = y;
        SDL_PushEvent(&e);
    }
};

} // namespace

TEST(DisplayOpening, NoDisplayAndNoDriverIsAClearError) {
#ifdef _WIN32
    GTEST_SKIP() << "every Windows session has its desktop to open";
#endif
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

TEST_F(SdlEvents, RunsWithPlainCentredWindows) {
    Form f("plain");
    windows.show(f);
    EXPECT_TRUE(windows.headless());
    EXPECT_FALSE(windows.is_shaped(f));
    EXPECT_NE(windows.sdl_window_id(f), 0u);
    SDL_Rect screen;
    ASSERT_EQ(SDL_GetDisplayBounds(0, &screen), 0);
    const auto at = windows.window_position(f);
    ASSERT_TRUE(at);
    EXPECT_EQ(at->x, (screen.w - 549) / 2);
    EXPECT_EQ(at->y, (screen.h - 349) / 2);
    windows.unload(f);
    EXPECT_EQ(windows.sdl_window_id(f), 0u);
    EXPECT_FALSE(windows.window_position(f));
}

TEST_F(SdlEvents, KeysArriveAsVirtualKeyCodesWithTheirShiftState) {
    Form f("keys");
    std::vector<int> codes;
    f.key_preview = true;
    f.on_key_down = [&](int16_t& code, int shift) { codes.push_back(code * 10 + shift); };
    windows.show(f);
    push_key(SDL_SCANCODE_S);
    push_key(SDL_SCANCODE_S, KMOD_LSHIFT, true); // a repeat is a key down too
    push_key(SDL_SCANCODE_F2, KMOD_RCTRL);
    push_key(SDL_SCANCODE_ESCAPE, KMOD_LALT | KMOD_LSHIFT);
    push_key(SDL_SCANCODE_KP_8);
    push_key(SDL_SCANCODE_APPLICATION); // a key without a code
    windows.deliver_pending_events();
    EXPECT_EQ(codes, (std::vector<int>{830, 831, 1132, 275, 1040}));
}

TEST_F(SdlEvents, LetterKeysArriveAsTheLayoutLabelsThem) {
    Form f("keys");
    std::vector<int> codes;
    f.key_preview = true;
    f.on_key_down = [&](int16_t& code, int) { codes.push_back(code); };
    windows.show(f);
    push_key(SDL_SCANCODE_Y, KMOD_NONE, false, SDLK_z);       // QWERTZ's Z
    push_key(SDL_SCANCODE_KP_2, KMOD_NONE, false, SDLK_DOWN); // NumLock off
    windows.deliver_pending_events();
    EXPECT_EQ(codes, (std::vector<int>{'Z', 98}));
}

TEST_F(SdlEvents, MouseButtonsArriveAsTheFormsNumberThem) {
    Form f("presses");
    std::vector<int> buttons;
    f.on_mouse_down = [&](int button) { buttons.push_back(button); };
    windows.show(f);
    push_button(f, 10, 10, SDL_BUTTON_LEFT);
    push_button(f, 10, 10, SDL_BUTTON_RIGHT);
    push_button(f, 10, 10, SDL_BUTTON_MIDDLE);
    push_button(f, 10, 10, SDL_BUTTON_X1);
    windows.deliver_pending_events();
    EXPECT_EQ(buttons, (std::vector<int>{1, 2, 4}));
}

TEST_F(SdlEvents, AButtonFollowsThePointerAndClicksWhenReleasedOverIt) {
    Form f("button"), other("other");
    platform::Button start(128, 312, 145, 33, "スタート");
    f.add(start);
    int clicks = 0;
    start.on_click = [&] { ++clicks; };
    windows.show(other);
    windows.show(f);

    push_button(f, 150, 320);
    push_motion(f, 10, 10);
    windows.deliver_pending_events();
    EXPECT_FALSE(start.pushed);
    push_motion(f, 150, 321);
    windows.deliver_pending_events();
    EXPECT_TRUE(start.pushed);
    push_button(f, 150, 321, SDL_BUTTON_RIGHT, SDL_MOUSEBUTTONUP);
    windows.deliver_pending_events();
    EXPECT_TRUE(start.pushed);
    push_button(f, 150, 321, SDL_BUTTON_LEFT, SDL_MOUSEBUTTONUP);
    windows.deliver_pending_events();
    EXPECT_FALSE(start.pushed);
    EXPECT_EQ(clicks, 1);

    // Events name their window: the same point of another window is not the button.
    push_button(other, 150, 320);
    push_button(other, 150, 320, SDL_BUTTON_LEFT, SDL_MOUSEBUTTONUP);
    windows.deliver_pending_events();
    EXPECT_EQ(clicks, 1);
}

TEST_F(SdlEvents, OnlyTheModalFormTakesInput) {
    Form behind("behind"), modal("modal");
    int behind_presses = 0, modal_presses = 0;
    behind.on_mouse_down = [&](int) { ++behind_presses; };
    modal.on_mouse_down = [&](int) {
        ++modal_presses;
        windows.hide(modal);
    };
    windows.show(behind);
    modal.on_activate = [&] {
        push_button(behind, 5, 5);
        push_button(modal, 5, 5);
    };
    windows.show_modal(modal);
    EXPECT_EQ(behind_presses, 0);
    EXPECT_EQ(modal_presses, 1);
}

TEST_F(SdlEvents, AQuitFromTheSessionEndsTheProgram) {
    Form f("quit");
    windows.show(f);
    SDL_Event e{};
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
    try {
        windows.run();
        FAIL() << "the program did not end";
    } catch (const platform::ProgramExit& exit) {
        EXPECT_EQ(exit.status, 0);
    }
}

TEST_F(SdlEvents, TimersTickInsideAModalLoop) {
    Form f("timer");
    int ticks = 0;
    f.timer_interval_ms = 5;
    f.on_timer = [&] {
        if (++ticks == 3) {
            windows.unload(f);
        }
    };
    windows.show_modal(f);
    EXPECT_EQ(ticks, 3);
}
