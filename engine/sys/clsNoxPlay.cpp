#include "engine/sys/clsNoxPlay.h"

#include "platform/legacy/virtual_keys.h"

#include <array>
#include <cstddef>

namespace nox {

namespace {

namespace vk = platform::vk;

constexpr uint32_t kJoyFlags =
    platform::kJoyReturnX | platform::kJoyReturnY | platform::kJoyReturnButtons; // 131
// Full deflection of a digital stick in the 0..65535 range.
constexpr uint32_t kJoyLow = 256;
constexpr uint32_t kJoyHigh = 65280;

// Keys by direction (Left, Right, Center, Up, Down, A, B, C); 0: never.
constexpr std::array<int32_t, 8> kKeypadKeys = {
    vk::kNumpad4, vk::kNumpad6, vk::kNumpad5, vk::kNumpad8, vk::kNumpad2, vk::kZ, vk::kX, vk::kC};
constexpr std::array<int32_t, 8> kCursorKeys = {vk::kLeft, vk::kRight, 0,          vk::kUp,
                                                vk::kDown, vk::kSpace, vk::kEnter, vk::kShift};

} // namespace

int32_t clsNoxPlay::Left() {
    return ask(Dir::Left);
}
int32_t clsNoxPlay::Right() {
    return ask(Dir::Right);
}
int32_t clsNoxPlay::Center() {
    return ask(Dir::Center);
}
int32_t clsNoxPlay::Up() {
    return ask(Dir::Up);
}
int32_t clsNoxPlay::Down() {
    return ask(Dir::Down);
}
int32_t clsNoxPlay::ButtonA() {
    return ask(Dir::A);
}
int32_t clsNoxPlay::ButtonB() {
    return ask(Dir::B);
}
int32_t clsNoxPlay::ButtonC() {
    return ask(Dir::C);
}

bool clsNoxPlay::Init(int16_t vInputType, int16_t vJoyNo) {
    inputType = vInputType;
    joyNo = vJoyNo;
    const bool present = vJoyNo >= 0 && joystick_.caps(static_cast<uint32_t>(vJoyNo));
    joyInfo.size = sizeof(platform::JoyInfo);
    joyInfo.flags = kJoyFlags;
    return present;
}

int32_t clsNoxPlay::GetKey(int32_t vKeyCode) {
    return keys_.async_key_state(vKeyCode);
}

int32_t clsNoxPlay::ask(Dir d) {
    const auto i = static_cast<size_t>(d);
    switch (inputType) {
    case 0:
        return keys_.async_key_state(kKeypadKeys[i]);
    case 1:
        return kCursorKeys[i] == 0 ? 0 : keys_.async_key_state(kCursorKeys[i]);
    case 2:
        return ask_joystick(d);
    default:
        return 0;
    }
}

int32_t clsNoxPlay::ask_joystick(Dir d) {
    // The query's result is not examined: a failed query leaves the last record.
    if (joyNo >= 0) {
        joystick_.position(static_cast<uint32_t>(joyNo), joyInfo);
    }
    bool held = false;
    switch (d) {
    case Dir::Left:
        held = joyInfo.x == kJoyLow;
        break;
    case Dir::Right:
        held = joyInfo.x == kJoyHigh;
        break;
    case Dir::Up:
        held = joyInfo.y == kJoyLow;
        break;
    case Dir::Down:
        held = joyInfo.y == kJoyHigh;
        break;
    case Dir::A:
        held = (joyInfo.buttons & 1u) != 0;
        break;
    case Dir::B:
        held = (joyInfo.buttons & 2u) != 0;
        break;
    case Dir::C:
        held = (joyInfo.buttons & 4u) != 0;
        break;
    case Dir::Center:
        held = false;
        break;
    }
    return held ? -1 : 0;
}

} // namespace nox
