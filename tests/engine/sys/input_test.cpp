#include "engine/sys/clsNoxPlay.h"
#include "platform/legacy/virtual_keys.h"
#include "tests/support/fake_input.h"

#include <gtest/gtest.h>

using nox::clsNoxPlay;
using platform::FakeJoystick;
using platform::FakeKeys;

namespace {

struct Readers : ::testing::Test {
    FakeKeys keys;
    FakeJoystick joy;
    clsNoxPlay keypad{keys, joy};
    clsNoxPlay cursor{keys, joy};
    clsNoxPlay stick{keys, joy};
    void SetUp() override {
        keypad.Init(0, 0);
        cursor.Init(1, 0);
        stick.Init(2, 0);
    }
};

} // namespace

TEST_F(Readers, EachKeySourceAnswersItsOwnTable) {
    struct Row {
        int32_t (clsNoxPlay::*property)();
        int keypad_key, cursor_key;
    };
    const Row rows[] = {
        {&clsNoxPlay::Left, 100, 37},   {&clsNoxPlay::Right, 102, 39},
        {&clsNoxPlay::Up, 104, 38},     {&clsNoxPlay::Down, 98, 40},
        {&clsNoxPlay::ButtonA, 90, 32}, {&clsNoxPlay::ButtonB, 88, 13},
        {&clsNoxPlay::ButtonC, 67, 16},
    };
    for (const Row& r : rows) {
        keys.release_all();
        keys.press(r.keypad_key);
        EXPECT_NE((keypad.*r.property)(), 0) << r.keypad_key;
        EXPECT_EQ((cursor.*r.property)(), 0) << r.keypad_key;
        keys.release_all();
        keys.press(r.cursor_key);
        EXPECT_NE((cursor.*r.property)(), 0) << r.cursor_key;
        EXPECT_EQ((keypad.*r.property)(), 0) << r.cursor_key;
    }
}

TEST_F(Readers, CenterIsKeypadFiveAndNeverACursorKey) {
    for (int vk = 0; vk < 256; ++vk) {
        keys.press(vk);
    }
    EXPECT_EQ(cursor.Center(), 0);
    EXPECT_EQ(stick.Center(), 0);
    keys.release_all();
    EXPECT_EQ(keypad.Center(), 0);
    keys.press(101);
    EXPECT_NE(keypad.Center(), 0);
}

TEST_F(Readers, PressedSinceLastAskedIsReportedOnce) {
    keys.press(platform::vk::kEsc);
    keys.release(platform::vk::kEsc); // a tap between two questions
    EXPECT_NE(keypad.GetKey(platform::vk::kEsc), 0);
    EXPECT_EQ(keypad.GetKey(platform::vk::kEsc), 0);
}

TEST_F(Readers, GetKeyAsksAnyKeyWhateverTheSource) {
    keys.press(platform::vk::kEsc);
    EXPECT_NE(stick.GetKey(platform::vk::kEsc), 0);
    EXPECT_NE(cursor.GetKey(platform::vk::kEsc), 0);
}

TEST_F(Readers, JoystickAxesCountOnlyAtExactFullDeflection) {
    struct Case {
        uint32_t x;
        bool left, right;
    };
    for (Case c : {Case{256, true, false}, Case{65280, false, true}, Case{32768, false, false},
                   Case{0, false, false}, Case{255, false, false}, Case{257, false, false},
                   Case{65535, false, false}}) {
        joy.x = c.x;
        EXPECT_EQ(stick.Left() != 0, c.left) << c.x;
        EXPECT_EQ(stick.Right() != 0, c.right) << c.x;
    }
    joy.y = 256;
    EXPECT_EQ(stick.Up(), -1);
    joy.y = 65280;
    EXPECT_EQ(stick.Down(), -1);
}

TEST_F(Readers, JoystickButtonsAreBitsOneToThree) {
    joy.buttons = 0b101;
    EXPECT_EQ(stick.ButtonA(), -1);
    EXPECT_EQ(stick.ButtonB(), 0);
    EXPECT_EQ(stick.ButtonC(), -1);
}

TEST_F(Readers, EveryJoystickQuestionMakesItsOwnQuery) {
    stick.Left();
    stick.Right();
    stick.ButtonA();
    EXPECT_EQ(joy.queries, 3);
}

TEST(ReaderWithoutJoystick, InitFailsAndNothingReadsAsHeld) {
    FakeKeys keys;
    FakeJoystick joy;
    joy.present = false;
    clsNoxPlay stick(keys, joy);
    EXPECT_FALSE(stick.Init(2, 0));
    for (auto p : {&clsNoxPlay::Left, &clsNoxPlay::Right, &clsNoxPlay::Up, &clsNoxPlay::Down,
                   &clsNoxPlay::ButtonA, &clsNoxPlay::ButtonB, &clsNoxPlay::ButtonC}) {
        EXPECT_EQ((stick.*p)(), 0);
    }
}

TEST(ReaderWithoutJoystick, AJoystickThatStopsAnsweringKeepsItsLastRecord) {
    FakeKeys keys;
    FakeJoystick joy;
    clsNoxPlay stick(keys, joy);
    EXPECT_TRUE(stick.Init(2, 0));
    joy.x = 256;
    EXPECT_NE(stick.Left(), 0);
    joy.present = false; // unplugged
    EXPECT_NE(stick.Left(), 0);
}

TEST(ReaderSources, UnknownSourceReadsNothingUninitialisedReadsTheKeypad) {
    FakeKeys keys;
    FakeJoystick joy;
    clsNoxPlay odd(keys, joy), fresh(keys, joy);
    odd.Init(7, 0);
    keys.press(100);
    EXPECT_EQ(odd.Left(), 0);
    EXPECT_NE(fresh.Left(), 0);
}
