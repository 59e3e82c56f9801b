#pragma once
// A clock that tests set, and the waits that move it.

#include "platform/system/clock.h"

#include <cstdint>
#include <functional>

namespace platform {

// A clock that moves only when told to; each reading may advance it by a step
// so that busy waits on it finish.
class FakeClock : public Clock {
  public:
    explicit FakeClock(uint32_t start = 0, uint32_t step_per_read = 0)
        : now_(start), step_(step_per_read) {}
    uint32_t now_ms() override {
        uint32_t t = now_;
        now_ += step_;
        ++reads;
        return t;
    }
    double seconds_since_midnight() override { return midnight_seconds; }
    void set(uint32_t t) { now_ = t; }
    void advance(uint32_t ms) { now_ += ms; }
    uint32_t peek() const { return now_; }

    double midnight_seconds = 0;
    long reads = 0;

  private:
    uint32_t now_;
    uint32_t step_;
};

// What a headless window system does instead of sleeping: it moves the fake clock on,
// so that timers come due at once.
inline std::function<void(uint32_t)> advance_on_wait(FakeClock& clock) {
    return [&clock](uint32_t ms) { clock.advance(ms); };
}

} // namespace platform
