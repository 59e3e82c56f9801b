#pragma once
// An input reader: one source (numeric keypad, cursor keys or a joystick)
// asked afresh at every question.

#include "platform/legacy/input.h"

#include <cstdint>

namespace nox {

class clsNoxPlay {
  public:
    clsNoxPlay(platform::KeyState& keys, platform::Joystick& joystick)
        : keys_(keys), joystick_(joystick) {}

    int32_t Left();
    int32_t Right();
    int32_t Center();
    int32_t Up();
    int32_t Down();
    int32_t ButtonA();
    int32_t ButtonB();
    int32_t ButtonC();
    bool Init(int16_t vInputType, int16_t vJoyNo);
    int32_t GetKey(int32_t vKeyCode);

  private:
    enum class Dir { Left, Right, Center, Up, Down, A, B, C };
    int32_t ask(Dir d);
    int32_t ask_joystick(Dir d);

    platform::KeyState& keys_;
    platform::Joystick& joystick_;
    int16_t inputType = 0;
    int16_t joyNo = 0;
    platform::JoyInfo joyInfo{};
};

} // namespace nox
