#pragma once
// Keys and a joystick that tests hold, press and release.

#include "platform/legacy/input.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace platform {

// Keys pressed and released by the test.
class FakeKeys : public KeyState {
  public:
    int16_t async_key_state(int32_t vk) override {
        if (vk < 0 || vk > 255) {
            return 0;
        }
        auto i = static_cast<size_t>(vk);
        int16_t state = static_cast<int16_t>((down[i] ? kKeyDown : 0) | (pressed[i] ? 1 : 0));
        pressed[i] = false;
        return state;
    }
    void press(int vk) {
        down[static_cast<size_t>(vk)] = true;
        pressed[static_cast<size_t>(vk)] = true;
    }
    void forget_presses() override { pressed.fill(false); }
    void release(int vk) { down[static_cast<size_t>(vk)] = false; }
    void release_all() {
        down.fill(false);
        pressed.fill(false);
    }
    std::array<bool, 256> down{};
    std::array<bool, 256> pressed{};
};

class FakeJoystick : public Joystick {
  public:
    bool caps(uint32_t id) override { return present && id == 0; }
    bool position(uint32_t id, JoyInfo& info) override {
        if (!caps(id)) {
            return false;
        }
        if (info.flags & kJoyReturnX) {
            info.x = x;
        }
        if (info.flags & kJoyReturnY) {
            info.y = y;
        }
        if (info.flags & kJoyReturnButtons) {
            info.buttons = buttons;
        }
        ++queries;
        return true;
    }
    bool present = true;
    uint32_t x = 32768;
    uint32_t y = 32768;
    uint32_t buttons = 0;
    long queries = 0;
};

} // namespace platform
