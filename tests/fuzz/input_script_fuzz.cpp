// The runner's --input scripts: parsed, then every frame read back.

#include "app/sim_input.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        app::ScriptedInput input(
            app::parse_input_script({reinterpret_cast<const char*>(data), size}));
        for (int32_t frame = 0; frame <= 64; ++frame) {
            input.set_frame(frame);
            platform::JoyInfo info{};
            info.flags =
                platform::kJoyReturnX | platform::kJoyReturnY | platform::kJoyReturnButtons;
            input.position(0, info);
            input.async_key_state(frame * 4);
        }
    } catch (const app::InputScriptError&) {
        // A refused script is an expected outcome.
    }
    return 0;
}
