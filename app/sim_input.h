#pragma once
// Scripted input for the headless runner: the keys and joystick state held in
// each frame, read from a text file, one line per frame.

#include "platform/input.h"

#include <cstdint>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace app {

struct FrameInput {
    std::set<int32_t> keys;
    uint32_t jx = 32768;
    uint32_t jy = 32768;
    uint32_t jb = 0;
};

class InputScriptError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Line i describes frame i; throws InputScriptError naming the line of a bad token.
std::vector<FrameInput> parse_input_script(const std::string& text);

// Keys and joystick as the script holds them in the current frame. The runner
// never asks for Esc: a run always lasts its number of frames.
class ScriptedInput : public platform::KeyState, public platform::Joystick {
  public:
    explicit ScriptedInput(std::vector<FrameInput> frames) : frames_(std::move(frames)) {}

    void set_frame(int32_t frame) { frame_ = frame; }

    int16_t async_key_state(int32_t vk) override;
    // A script holds keys per frame and keeps no presses to forget.
    void forget_presses() override {}
    bool caps(uint32_t id) override { return id == 0; }
    bool position(uint32_t id, platform::JoyInfo& info) override;

  private:
    const FrameInput& current() const;

    std::vector<FrameInput> frames_;
    FrameInput idle_;
    int32_t frame_ = 0;
};

} // namespace app
