#include "engine/sys/clsNoxTimer.h"

namespace nox {

// Elapsed times are differences modulo 2^32 read as signed numbers, so a
// measurement stays right across the clock's sign change and its wrap.

int32_t clsNoxTimer::Passage() {
    return since(baseTime);
}

int32_t clsNoxTimer::PassageRs() {
    const int32_t d = since(baseTime);
    baseTime = clock_.now_ms();
    return d;
}

void clsNoxTimer::Wait(int32_t vTime) {
    const uint32_t start = clock_.now_ms();
    while (since(start) < vTime) {
    }
}

void clsNoxTimer::DoEvWait(int32_t vTime) {
    const uint32_t start = clock_.now_ms();
    while (since(start) < vTime) {
        events_.deliver_pending_events();
    }
}

void clsNoxTimer::WaitEx(int32_t vTime) {
    while (since(baseTime) < vTime) {
    }
    baseTime = clock_.now_ms();
}

void clsNoxTimer::DoEvWaitEx(int32_t vTime) {
    do {
        events_.deliver_pending_events();
    } while (since(baseTime) < vTime);
    baseTime = clock_.now_ms();
}

} // namespace nox
