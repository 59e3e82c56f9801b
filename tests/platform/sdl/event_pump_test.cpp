// The event pump, the one owner of SDL's event queue: what its watchers hear, what a key
// question leaves in the queue, and the window system and the key state sharing one pump
// under SDL's dummy video driver. The key state's own answers are tested in input_test.cpp.

#include "platform/sdl/event_pump.h"

#include "platform/legacy/events.h"
#include "platform/sdl/input.h"
#include "platform/sdl/window_system.h"
#include "tests/support/scoped_env.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

using namespace platform;

namespace {

int waiting(Uint32 first = SDL_FIRSTEVENT, Uint32 last = SDL_LASTEVENT) {
    return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, first, last);
}

void push(Uint32 type, SDL_Scancode sc = SDL_SCANCODE_UNKNOWN, uint8_t window_event = 0) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.scancode = sc;
    if (type == SDL_WINDOWEVENT) {
        e.window.event = window_event;
    }
    ASSERT_EQ(SDL_PushEvent(&e), 1);
}

struct Heard final : SdlInputWatcher {
    std::vector<Uint32> keys; // SDL_KEYDOWN or SDL_KEYUP
    int quits = 0;
    void key_changed(const SDL_KeyboardEvent& key) override { keys.push_back(key.type); }
    void quit_requested() override { ++quits; }
};

class SdlPump : public ::testing::Test {
  protected:
    void TearDown() override { SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT); }

    SdlEventPump pump;
};

TEST_F(SdlPump, WatchersHearKeysAndQuitRequestsAndTheEventsStayForTheWindows) {
    Heard heard;
    pump.add_watcher(heard);
    push(SDL_KEYDOWN, SDL_SCANCODE_A);
    push(SDL_KEYUP, SDL_SCANCODE_A);
    push(SDL_MOUSEMOTION);
    push(SDL_WINDOWEVENT, SDL_SCANCODE_UNKNOWN, SDL_WINDOWEVENT_EXPOSED);
    push(SDL_WINDOWEVENT, SDL_SCANCODE_UNKNOWN, SDL_WINDOWEVENT_CLOSE);
    push(SDL_QUIT);
    pump.pump_for_key_question();
    EXPECT_EQ(heard.keys, (std::vector<Uint32>{SDL_KEYDOWN, SDL_KEYUP}));
    EXPECT_EQ(heard.quits, 2);
    EXPECT_EQ(waiting(), 6);

    pump.remove_watcher(heard);
    push(SDL_KEYDOWN, SDL_SCANCODE_B);
    pump.pump_for_key_question();
    EXPECT_EQ(heard.keys.size(), 2u);

    // The window backend takes them out through the pump, oldest first.
    std::vector<Uint32> taken;
    SDL_Event e;
    while (pump.take(e)) {
        taken.push_back(e.type);
    }
    EXPECT_EQ(taken, (std::vector<Uint32>{SDL_KEYDOWN, SDL_KEYUP, SDL_MOUSEMOTION, SDL_WINDOWEVENT,
                                          SDL_WINDOWEVENT, SDL_QUIT, SDL_KEYDOWN}));
    EXPECT_FALSE(pump.has_events());
}

// Without trimming, pumping without reading stops at 65,535 waiting events, after which
// even SDL_QUIT is lost: an unpaced sortie only asks for keys, and delivers nothing.
TEST_F(SdlPump, AFloodBetweenKeyQuestionsNeverFillsTheQueueAndKeepsQuitAndWindowEvents) {
    SdlKeyState keys{pump};
    push(SDL_WINDOWEVENT, SDL_SCANCODE_UNKNOWN, SDL_WINDOWEVENT_EXPOSED);
    for (int batch = 0; batch < 100; ++batch) {
        for (int i = 0; i < 1000; ++i) {
            switch (i % 4) {
            case 0:
                push(SDL_KEYDOWN, SDL_SCANCODE_A);
                break;
            case 1:
                push(SDL_KEYUP, SDL_SCANCODE_A);
                break;
            case 2:
                push(SDL_MOUSEMOTION);
                break;
            default:
                push(SDL_TEXTINPUT);
                break;
            }
            ASSERT_FALSE(HasFatalFailure()) << "batch " << batch;
        }
        keys.async_key_state(27);
    }
    EXPECT_LE(waiting(), SdlEventPump::kQueueHighWater);
    EXPECT_EQ(waiting(SDL_WINDOWEVENT, SDL_WINDOWEVENT), 1);
    push(SDL_QUIT);
    EXPECT_EQ(waiting(SDL_QUIT, SDL_QUIT), 1);
    try {
        keys.async_key_state(27);
        ADD_FAILURE() << "the program did not end";
    } catch (const ProgramExit& e) {
        EXPECT_EQ(e.status, 0);
    }
}

// The game's wiring: the key state asks the window system's pump, and a question hands
// out nothing; the events wait for the windows, which take them through the same pump.
TEST(SdlPumpShared, AKeyQuestionDispatchesNothingAndLeavesTheEventsForTheWindows) {
    ScopedEnv driver{"SDL_VIDEODRIVER", "dummy"};
    SdlWindowSystem windows;
    SdlKeyState keys{windows.event_pump()};
    Form f("keys");
    std::vector<int> codes;
    int presses = 0;
    f.key_preview = true;
    f.on_key_down = [&](int16_t& code, int) { codes.push_back(code); };
    f.on_mouse_down = [&](int) { ++presses; };
    windows.show(f);
    windows.deliver_pending_events();

    push(SDL_KEYDOWN, SDL_SCANCODE_S);
    SDL_Event press{};
    press.type = SDL_MOUSEBUTTONDOWN;
    press.button.windowID = windows.sdl_window_id(f);
    press.button.button = SDL_BUTTON_LEFT;
    press.button.x = press.button.y = 10;
    ASSERT_EQ(SDL_PushEvent(&press), 1);

    EXPECT_EQ(keys.async_key_state('S'), kKeyDown | kKeyPressedSince);
    EXPECT_TRUE(codes.empty());
    EXPECT_EQ(presses, 0);
    EXPECT_EQ(waiting(SDL_KEYDOWN, SDL_KEYDOWN), 1);
    EXPECT_EQ(waiting(SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONDOWN), 1);

    windows.deliver_pending_events();
    EXPECT_EQ(codes, (std::vector<int>{'S'}));
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(keys.async_key_state('S'), kKeyDown); // still held, not pressed again
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

} // namespace
