#pragma once
// Keys whose Esc query, the last step of every frame of the game window's loop,
// lets a test act between frames.

#include "platform/legacy/input.h"
#include "platform/legacy/virtual_keys.h"
#include "tests/support/fake_input.h"

#include <functional>

class FrameEndKeys : public platform::FakeKeys {
  public:
    int16_t async_key_state(int32_t vk) override {
        if (vk == platform::vk::kEsc && at_frame_end) {
            at_frame_end();
        }
        return FakeKeys::async_key_state(vk);
    }
    std::function<void()> at_frame_end;
};
