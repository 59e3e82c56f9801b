// The runner's --draws files: parsed, then drawn from until they run out.

#include "engine/sys/rnd.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        nox::ListRnd rnd(nox::ListRnd::parse({reinterpret_cast<const char*>(data), size}));
        for (;;) {
            const float v = rnd.next();
            if (!(v >= 0.0f && v < 1.0f)) {
                __builtin_trap();
            }
        }
    } catch (const std::invalid_argument&) {
        // A refused file is an expected outcome.
    } catch (const nox::OutOfDraws&) {
        // Every file runs out.
    }
    return 0;
}
