#pragma once
// Scripted input for the headless runner: the keys and joystick state held in
// each frame, read from a text file, one line per frame.

#include "platform/legacy/input.h"

#include <bitset>
#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace app {

struct FrameInput {
    std::bitset<256> keys;
    uint16_t jx = 32768;
    uint16_t jy = 32768;
    uint32_t jb = 0;
    bool operator==(const FrameInput&) const = default;
};

class InputScriptError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A script's frames as runs of equal frames: a line like the one before it costs
// nothing, so long idle stretches take no memory.
class InputScript {
  public:
    void append(const FrameInput& frame);
    int32_t frames() const { return frames_; }
    // Frame `number` (from 1); idle outside the script.
    const FrameInput& frame(int32_t number) const;

  private:
    struct Run {
        int32_t first;
        FrameInput input;
    };
    std::vector<Run> runs_;
    int32_t frames_ = 0;
    FrameInput idle_;
};

// Line i describes frame i; throws InputScriptError naming the line of a bad token.
InputScript parse_input_script(std::string_view text);

// Keys and joystick as the script holds them in the current frame. The runner
// never asks for Esc: a run always lasts its number of frames.
class ScriptedInput : public platform::KeyState, public platform::Joystick {
  public:
    explicit ScriptedInput(InputScript script) : script_(std::move(script)) {}

    void set_frame(int32_t frame) { frame_ = frame; }

    int16_t async_key_state(int32_t vk) override;
    // A script holds keys per frame and keeps no presses to forget.
    void forget_presses() override {}
    bool caps(uint32_t id) override { return id == 0; }
    bool position(uint32_t id, platform::JoyInfo& info) override;

  private:
    InputScript script_;
    int32_t frame_ = 0;
};

} // namespace app
