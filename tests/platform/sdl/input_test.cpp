#include "platform/sdl/input.h"

#include "engine/sys/clsNoxPlay.h"
#include "platform/legacy/events.h"
#include "platform/sdl/event_pump.h"
#include "platform/system/paths.h"
#include "tests/support/fake_input.h"
#include "tests/support/scoped_env.h"
#include "tests/support/scratch_dir.h"

#include <SDL.h>
#include <fstream>
#include <gtest/gtest.h>

using namespace platform;

namespace {

constexpr int16_t kDownOnly = kKeyDown;
constexpr int16_t kDownAndPressed = kKeyDown | kKeyPressedSince;

class SdlKeys : public ::testing::Test {
  protected:
    void TearDown() override { SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT); }

    static void push_key(SDL_Scancode sc, bool down, bool repeat = false,
                         SDL_Keycode sym = SDLK_UNKNOWN, Uint16 mod = KMOD_NONE) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = repeat ? 1 : 0;
        e.key.keysym.scancode = sc;
        e.key.keysym.sym = sym;
        e.key.keysym.mod = mod;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }

    SdlEventPump pump; // first: it outlives the key states it tells
    SdlKeyState keys{pump};
};

TEST_F(SdlKeys, DownBitFollowsTheKeyAndPressedBitClearsWhenAsked) {
    EXPECT_EQ(keys.async_key_state('Z'), 0);
    push_key(SDL_SCANCODE_Z, true);
    EXPECT_EQ(keys.async_key_state('Z'), kDownAndPressed);
    EXPECT_EQ(keys.async_key_state('Z'), kDownOnly);
    EXPECT_EQ(keys.async_key_state('X'), 0);
    push_key(SDL_SCANCODE_Z, true, /*repeat=*/true); // auto-repeat is not a new press
    EXPECT_EQ(keys.async_key_state('Z'), kDownOnly);
    push_key(SDL_SCANCODE_Z, false);
    EXPECT_EQ(keys.async_key_state('Z'), 0);
}

TEST_F(SdlKeys, ATapBetweenTwoQuestionsIsSeenOnceByItsOwnKey) {
    push_key(SDL_SCANCODE_ESCAPE, true);
    push_key(SDL_SCANCODE_ESCAPE, false);
    push_key(SDL_SCANCODE_N, true);
    push_key(SDL_SCANCODE_N, false);
    EXPECT_EQ(keys.async_key_state(27), kKeyPressedSince);
    EXPECT_EQ(keys.async_key_state(27), 0);
    EXPECT_EQ(keys.async_key_state('N'), kKeyPressedSince);
}

TEST_F(SdlKeys, KeypadDigitsAreKeypadCodesWhateverNumLock) {
    push_key(SDL_SCANCODE_KP_4, true, false, SDLK_KP_4, KMOD_NUM);
    EXPECT_EQ(keys.async_key_state(100), kDownAndPressed);
    push_key(SDL_SCANCODE_KP_4, false, false, SDLK_KP_4, KMOD_NUM);
    EXPECT_EQ(keys.async_key_state(100), 0);

    push_key(SDL_SCANCODE_KP_4, true, false, SDLK_LEFT, KMOD_NONE);
    EXPECT_EQ(keys.async_key_state(100), kDownAndPressed);
    EXPECT_EQ(keys.async_key_state(37), 0); // not the cursor key
    push_key(SDL_SCANCODE_KP_4, false, false, SDLK_LEFT, KMOD_NONE);
    EXPECT_EQ(keys.async_key_state(100), 0);
}

TEST_F(SdlKeys, LetterKeysAreTheLettersTheLayoutGives) {
    push_key(SDL_SCANCODE_A, true, false, SDLK_q); // AZERTY's Q
    EXPECT_EQ(keys.async_key_state('Q'), kDownAndPressed);
    EXPECT_EQ(keys.async_key_state('A'), 0);
    push_key(SDL_SCANCODE_A, false, false, SDLK_q);
    EXPECT_EQ(keys.async_key_state('Q'), 0);
}

TEST_F(SdlKeys, AKeyGoesUpAsTheCodeItWentDownAs) {
    push_key(SDL_SCANCODE_Z, true, false, SDLK_z);
    push_key(SDL_SCANCODE_Z, false, false, SDLK_y); // the layout changed while it was held
    EXPECT_EQ(keys.async_key_state('Z'), kKeyPressedSince);
    EXPECT_EQ(keys.async_key_state('Y'), 0);
}

TEST_F(SdlKeys, ForgettingPressesKeepsWhatIsHeld) {
    push_key(SDL_SCANCODE_ESCAPE, true);
    push_key(SDL_SCANCODE_ESCAPE, false);
    push_key(SDL_SCANCODE_SPACE, true);
    keys.async_key_state('X'); // pumps the presses into the key state
    keys.forget_presses();
    EXPECT_EQ(keys.async_key_state(27), 0);
    EXPECT_EQ(keys.async_key_state(32), kDownOnly);
    push_key(SDL_SCANCODE_ESCAPE, true); // later presses count again
    EXPECT_EQ(keys.async_key_state(27), kDownAndPressed);
}

TEST_F(SdlKeys, ShiftStaysDownWhileEitherShiftIsHeld) {
    push_key(SDL_SCANCODE_LSHIFT, true);
    push_key(SDL_SCANCODE_RSHIFT, true);
    push_key(SDL_SCANCODE_LSHIFT, false);
    EXPECT_EQ(keys.async_key_state(16), kDownAndPressed);
    push_key(SDL_SCANCODE_RSHIFT, false);
    EXPECT_EQ(keys.async_key_state(16), 0);
}

// A logout or a close request must end the program even while no window events are
// delivered; other window events leave it running.
TEST_F(SdlKeys, AQuitRequestSeenWhilePumpingEndsTheProgram) {
    for (const bool by_window : {false, true}) {
        SdlKeyState fresh{pump};
        EXPECT_EQ(fresh.async_key_state(27), 0);
        SDL_Event request{};
        request.type = by_window ? SDL_WINDOWEVENT : SDL_QUIT;
        request.window.event = SDL_WINDOWEVENT_CLOSE;
        ASSERT_EQ(SDL_PushEvent(&request), 1);
        try {
            fresh.async_key_state(27);
            ADD_FAILURE() << "the program did not end; by window: " << by_window;
        } catch (const platform::ProgramExit& e) {
            EXPECT_EQ(e.status, 0);
        }
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    SdlKeyState untouched{pump};
    SDL_Event exposed{};
    exposed.type = SDL_WINDOWEVENT;
    exposed.window.event = SDL_WINDOWEVENT_EXPOSED;
    ASSERT_EQ(SDL_PushEvent(&exposed), 1);
    EXPECT_EQ(untouched.async_key_state(27), 0);
}

TEST(JoyValues, AnAxisCountsFromHalfWay) {
    EXPECT_EQ(joy_position_from_axis(-32768), kJoyLow);
    EXPECT_EQ(joy_position_from_axis(-16384), kJoyLow);
    EXPECT_EQ(joy_position_from_axis(-16383), kJoyCentre);
    EXPECT_EQ(joy_position_from_axis(0), kJoyCentre);
    EXPECT_EQ(joy_position_from_axis(16383), kJoyCentre);
    EXPECT_EQ(joy_position_from_axis(16384), kJoyHigh);
    EXPECT_EQ(joy_position_from_axis(32767), kJoyHigh);
    EXPECT_EQ(kJoyLow, 256u);
    EXPECT_EQ(kJoyHigh, 65280u);
    EXPECT_EQ(kJoyCentre, 32768u);
}

TEST(JoyValues, DirectionButtonsReadLikeADigitalStick) {
    EXPECT_EQ(joy_position_from_buttons(true, false), kJoyLow);
    EXPECT_EQ(joy_position_from_buttons(false, true), kJoyHigh);
    EXPECT_EQ(joy_position_from_buttons(false, false), kJoyCentre);
    EXPECT_EQ(joy_position_from_buttons(true, true), kJoyCentre);
    EXPECT_EQ(joy_combine(kJoyLow, kJoyHigh), kJoyLow);
    EXPECT_EQ(joy_combine(kJoyCentre, kJoyHigh), kJoyHigh);
}

// SDL's virtual joysticks stand in for real devices being plugged and unplugged.
class SdlJoysticks : public ::testing::Test {
  protected:
    void SetUp() override {
        if (SDL_NumJoysticks() > 0) {
            GTEST_SKIP() << "a real joystick is attached";
        }
    }
    void TearDown() override {
        while (SDL_NumJoysticks() > 0 && SDL_JoystickIsVirtual(0)) {
            SDL_JoystickDetachVirtual(0);
        }
    }
    // Plugs a device in; returns a handle through which the test moves it.
    static SDL_Joystick* plug(SDL_JoystickType type, int axes, int buttons, int hats) {
        int index = SDL_JoystickAttachVirtual(type, axes, buttons, hats);
        EXPECT_GE(index, 0) << SDL_GetError();
        SDL_Joystick* handle = SDL_JoystickOpen(index);
        EXPECT_NE(handle, nullptr) << SDL_GetError();
        return handle;
    }

    SdlJoystick joy; // first, so that SDL's joystick support is up for the fixture
    JoyInfo info{sizeof(JoyInfo), kJoyReturnX | kJoyReturnY | kJoyReturnButtons, 1, 2, 3};
};

TEST_F(SdlJoysticks, AbsentMeansFalseAndTheRecordUntouched) {
    EXPECT_FALSE(joy.caps(0));
    EXPECT_FALSE(joy.position(0, info));
    EXPECT_EQ(info.x, 1u);
    EXPECT_EQ(info.y, 2u);
    EXPECT_EQ(info.buttons, 3u);
}

TEST_F(SdlJoysticks, AControllerReadsStickDpadAndFaceButtons) {
    SDL_Joystick* pad = plug(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                             SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_TRUE(joy.caps(0));
    ASSERT_TRUE(joy.position(0, info));
    EXPECT_EQ(info.x, kJoyCentre);
    EXPECT_EQ(info.y, kJoyCentre);
    EXPECT_EQ(info.buttons, 0u);

    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, -20000);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN, 1);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_X, 1);
    ASSERT_TRUE(joy.position(0, info));
    EXPECT_EQ(info.x, kJoyLow);
    EXPECT_EQ(info.y, kJoyHigh);
    EXPECT_EQ(info.buttons, 0b101u);

    JoyInfo only_x{sizeof(JoyInfo), kJoyReturnX, 7, 8, 9};
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1);
    ASSERT_TRUE(joy.position(0, only_x));
    EXPECT_EQ(only_x.x, kJoyHigh); // the d-pad wins over the stick
    EXPECT_EQ(only_x.y, 8u);
    EXPECT_EQ(only_x.buttons, 9u);
    SDL_JoystickClose(pad);
}

TEST_F(SdlJoysticks, ARawJoystickReadsAxesHatAndButtons) {
    SDL_Joystick* stick = plug(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 1);
    SDL_JoystickSetVirtualAxis(stick, 1, -32768);
    SDL_JoystickSetVirtualButton(stick, 1, 1);
    ASSERT_TRUE(joy.position(0, info));
    EXPECT_EQ(info.x, kJoyCentre);
    EXPECT_EQ(info.y, kJoyLow);
    EXPECT_EQ(info.buttons, 0b10u);

    SDL_JoystickSetVirtualHat(stick, 0, SDL_HAT_RIGHTDOWN);
    ASSERT_TRUE(joy.position(0, info));
    EXPECT_EQ(info.x, kJoyHigh);
    EXPECT_EQ(info.y, kJoyHigh);
    SDL_JoystickClose(stick);
}

TEST_F(SdlJoysticks, PluggingAndUnpluggingAtAnyTimeIsSafe) {
    EXPECT_FALSE(joy.caps(0));
    SDL_Joystick* first = plug(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                               SDL_CONTROLLER_BUTTON_MAX, 0);
    SDL_JoystickSetVirtualButton(first, SDL_CONTROLLER_BUTTON_B, 1);
    ASSERT_TRUE(joy.position(0, info));
    EXPECT_EQ(info.buttons, 0b10u);
    SDL_JoystickClose(first);

    SDL_JoystickDetachVirtual(0);
    JoyInfo kept = info;
    EXPECT_FALSE(joy.caps(0));
    EXPECT_FALSE(joy.position(0, info));
    EXPECT_EQ(info.buttons, kept.buttons);

    SDL_Joystick* second = plug(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0);
    SDL_JoystickSetVirtualButton(second, 2, 1);
    ASSERT_TRUE(joy.position(0, info));
    EXPECT_EQ(info.buttons, 0b100u);
    EXPECT_FALSE(joy.caps(1));
    SDL_JoystickClose(second);
}

// The game's own reader, as a sortie asks it every frame, while the pad comes and goes.
TEST_F(SdlJoysticks, TheReaderKeepsWorkingAcrossReplugging) {
    platform::FakeKeys keys;
    nox::clsNoxPlay plyJoy(keys, joy);
    EXPECT_FALSE(plyJoy.Init(2, 0));
    EXPECT_EQ(plyJoy.Left(), 0);

    SDL_Joystick* pad = plug(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                             SDL_CONTROLLER_BUTTON_MAX, 0);
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, -32768);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
    EXPECT_EQ(plyJoy.Left(), -1);
    EXPECT_EQ(plyJoy.ButtonA(), -1);
    SDL_JoystickClose(pad);
    SDL_JoystickDetachVirtual(0);
    // Unplugged: the record keeps what the pad last reported.
    EXPECT_EQ(plyJoy.Left(), -1);

    SDL_Joystick* again = plug(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                               SDL_CONTROLLER_BUTTON_MAX, 0);
    SDL_JoystickSetVirtualButton(again, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1);
    SDL_JoystickSetVirtualButton(again, SDL_CONTROLLER_BUTTON_X, 1);
    EXPECT_EQ(plyJoy.Left(), 0);
    EXPECT_EQ(plyJoy.Right(), -1);
    EXPECT_EQ(plyJoy.ButtonA(), 0);
    EXPECT_EQ(plyJoy.ButtonC(), -1);
    SDL_JoystickClose(again);
}

// A device SDL has no layout for becomes a controller through the data folder's file.
TEST_F(SdlJoysticks, TheDataFolderAddsControllerLayouts) {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_UNKNOWN;
    desc.naxes = 2;
    desc.nbuttons = 8;
    desc.vendor_id = 0x5ca1;
    desc.product_id = 0x0e11;
    desc.name = "Layout test pad";
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(index, 0) << SDL_GetError();
    char guid[64];
    SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(index), guid, sizeof guid);

    ScratchDir data("controller-layouts");
    std::ofstream(data.path() / kControllerMappingsFile)
        << "# south on the pad's button 7, east on 6\nnot a layout line\n"
        << guid
        << ",Layout test pad,a:b7,b:b6,x:b5,leftx:a0,lefty:a1,platform:" << SDL_GetPlatform()
        << ",\n";
    ScopedEnv folder(kDataFolderVariable, data.path().c_str());
    SdlJoystick with_layouts;

    SDL_Joystick* pad = SDL_JoystickOpen(index);
    SDL_JoystickSetVirtualButton(pad, 7, 1);
    SDL_JoystickSetVirtualButton(pad, 5, 1);
    ASSERT_TRUE(with_layouts.position(0, info));
    EXPECT_EQ(info.buttons, 0b101u); // south is button 1, west button 3
    SDL_JoystickClose(pad);
}

// Something other than a file under the layout file's name costs its layouts, nothing else.
TEST_F(SdlJoysticks, AFolderInPlaceOfTheLayoutFileIsPassedOver) {
    ScratchDir data("controller-layouts");
    std::filesystem::create_directory(data.path() / kControllerMappingsFile);
    ScopedEnv folder(kDataFolderVariable, data.path().c_str());
    SdlJoystick without_layouts;
    SDL_Joystick* stick = plug(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0);
    SDL_JoystickSetVirtualButton(stick, 3, 1);
    ASSERT_TRUE(without_layouts.position(0, info));
    EXPECT_EQ(info.buttons, 0b1000u);
    SDL_JoystickClose(stick);
}

} // namespace
