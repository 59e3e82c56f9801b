#pragma once
// Keyboard and joystick as the game asks them: the asynchronous state of a key
// by Windows virtual-key code, and joystick capability and position queries.

#include <array>
#include <cstddef>
#include <cstdint>

namespace platform {

// Bits of an asynchronous key state.
inline constexpr int16_t kKeyDown = static_cast<int16_t>(0x8000);
inline constexpr int16_t kKeyPressedSince = 0x0001;

class KeyState {
  public:
    virtual ~KeyState() = default;
    // High bit while the key is down; low bit when it was pressed since this key was
    // last asked (asking clears that bit). 0 for codes outside 0..255.
    virtual int16_t async_key_state(int32_t vk) = 0;
    // Clears every key's "pressed since" bit, so that only later presses count.
    virtual void forget_presses() = 0;
};

// The extended joystick position record: X and Y in 0..65535, button bits.
struct JoyInfo {
    uint32_t size = 0;
    uint32_t flags = 0;
    uint32_t x = 0;
    uint32_t y = 0;
    uint32_t buttons = 0;
};

inline constexpr uint32_t kJoyReturnX = 0x01;
inline constexpr uint32_t kJoyReturnY = 0x02;
inline constexpr uint32_t kJoyReturnButtons = 0x80;

class Joystick {
  public:
    virtual ~Joystick() = default;
    // True when joystick `id` is present.
    virtual bool caps(uint32_t id) = 0;
    // Fills the fields asked for by info.flags; false (record untouched) when absent.
    virtual bool position(uint32_t id, JoyInfo& info) = 0;
};

// Scripted keys for tests and the headless runner.
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
