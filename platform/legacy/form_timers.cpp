#include "platform/legacy/form_timers.h"

#include <algorithm>

namespace platform {

void FormTimers::start(Form& form) {
    timers_.push_back({&form, form.timer_interval_ms, clock_.now_ms()});
}

void FormTimers::stop(const Form& form) {
    std::erase_if(timers_, [&](const Timer& t) { return t.form == &form; });
}

FormTimers::Timer* FormTimers::find(const Form& form) {
    const auto it = std::find_if(timers_.begin(), timers_.end(),
                                 [&](const Timer& t) { return t.form == &form; });
    return it == timers_.end() ? nullptr : &*it;
}

uint32_t FormTimers::time_to_next(uint32_t limit) const {
    const uint32_t now = clock_.now_ms();
    for (const Timer& t : timers_) {
        if (t.interval > 0 && t.form->on_timer) {
            const int32_t left = t.interval - elapsed_ms(now, t.start);
            limit = std::min(limit, static_cast<uint32_t>(std::max(left, 0)));
        }
    }
    return limit;
}

void FormTimers::fire_due() {
    std::vector<Form*> forms;
    for (const Timer& t : timers_) {
        forms.push_back(t.form);
    }
    for (Form* form : forms) {
        fire(*form);
    }
}

void FormTimers::fire(Form& form) {
    Timer* t = find(form);
    if (!t || t->ticking) {
        return;
    }
    const uint32_t now = clock_.now_ms();
    if (form.timer_interval_ms != t->interval) {
        t->interval = form.timer_interval_ms;
        t->start = now;
        return;
    }
    if (t->interval <= 0 || !form.on_timer || elapsed_ms(now, t->start) < t->interval) {
        return;
    }
    t->start = now;
    t->ticking = true;
    // The handler may unload the form or load others: its entry is looked up again.
    struct Done {
        FormTimers& self;
        Form& form;
        ~Done() {
            if (Timer* again = self.find(form)) {
                again->ticking = false;
            }
        }
    } done{*this, form};
    auto handler = form.on_timer;
    handler();
    form.invalidate();
}

} // namespace platform
