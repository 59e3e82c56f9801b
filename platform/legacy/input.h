#pragma once
// Keyboard and joystick as the game asks them: the asynchronous state of a key
// by Windows virtual-key code, and joystick capability and position queries.

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

} // namespace platform
