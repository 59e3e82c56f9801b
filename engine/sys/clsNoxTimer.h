#pragma once
// A millisecond stopwatch with busy waits, one reference time, and waits that
// keep the windows responsive by delivering their events while they poll.

#include "platform/legacy/events.h"
#include "platform/system/clock.h"

#include <cstdint>

namespace nox {

class clsNoxTimer {
  public:
    clsNoxTimer(platform::Clock& clock, platform::EventPump& events)
        : clock_(clock), events_(events) {}

    int32_t Passage();
    int32_t PassageRs();
    void Wait(int32_t vTime);
    void DoEvWait(int32_t vTime);
    void WaitEx(int32_t vTime);
    void DoEvWaitEx(int32_t vTime);

  private:
    int32_t since(uint32_t reference) { return platform::elapsed_ms(clock_.now_ms(), reference); }

    platform::Clock& clock_;
    platform::EventPump& events_;
    uint32_t baseTime = 0;
};

} // namespace nox
