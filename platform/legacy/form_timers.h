#pragma once
// The forms' window timers. A loaded form's on_timer runs every timer_interval_ms from
// the moment it loaded: once however late (missed ticks are not made up), never again
// while its own tick runs, and a new interval counts from when it is first seen.

#include "platform/legacy/form.h"
#include "platform/system/clock.h"

#include <cstdint>
#include <vector>

namespace platform {

class FormTimers {
  public:
    // The clock must outlive the timers.
    explicit FormTimers(Clock& clock) : clock_(clock) {}

    // From now, while the form is loaded.
    void start(Form& form);
    void stop(const Form& form);

    // How long until the next tick is due, at most `limit`.
    uint32_t time_to_next(uint32_t limit) const;
    // Runs the handler of every form whose tick is due, in the order the forms loaded.
    // A handler may load and unload forms, its own too.
    void fire_due();

  private:
    struct Timer {
        Form* form;
        int interval;
        uint32_t start; // when the running interval began
        bool ticking = false;
    };

    Timer* find(const Form& form);
    void fire(Form& form);

    Clock& clock_;
    std::vector<Timer> timers_;
};

} // namespace platform
