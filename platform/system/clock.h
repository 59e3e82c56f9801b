#pragma once
// The millisecond clock and the time of day, behind an interface so that
// tests can put the clock anywhere, including just before 2^31 and 2^32.

#include <cstdint>

namespace platform {

class Clock {
  public:
    virtual ~Clock() = default;
    // Milliseconds since the system started, as a wrapping 32-bit count.
    virtual uint32_t now_ms() = 0;
    // Seconds since local midnight, with the fraction.
    virtual double seconds_since_midnight() = 0;
};

// Elapsed milliseconds from `earlier` to `later`: the difference modulo 2^32, so
// that it stays right across the sign change and the wrap. Time never runs
// backwards, so a difference past 2^31 - 1 (a reference 25 days old, or a new
// timer's reference of 0 late in the clock's cycle) saturates instead of
// turning negative and stalling every wait.
constexpr int32_t elapsed_ms(uint32_t later, uint32_t earlier) {
    const uint32_t d = later - earlier;
    return d > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int32_t>(d);
}

class SystemClock : public Clock {
  public:
    uint32_t now_ms() override;
    double seconds_since_midnight() override;
};

} // namespace platform
