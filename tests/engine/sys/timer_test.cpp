#include "engine/sys/clsNoxTimer.h"
#include "tests/support/fake_clock.h"
#include "tests/support/no_events.h"

#include <gtest/gtest.h>

using nox::clsNoxTimer;
using platform::FakeClock;
using platform::NoEvents;

namespace {

// An event pump that moves the clock, as real time passes while events are handled.
class TickingEvents : public platform::EventPump {
  public:
    explicit TickingEvents(FakeClock& clock, uint32_t ms) : clock_(clock), ms_(ms) {}
    void deliver_pending_events() override {
        ++deliveries;
        clock_.advance(ms_);
    }
    long deliveries = 0;

  private:
    FakeClock& clock_;
    uint32_t ms_;
};

} // namespace

TEST(Timer, NewTimerMeasuresFromClockZero) {
    FakeClock clock(5000);
    NoEvents events;
    clsNoxTimer t(clock, events);
    EXPECT_EQ(t.Passage(), 5000);
}

TEST(Timer, PassageLeavesTheReferencePassageRsResetsIt) {
    FakeClock clock(1000);
    NoEvents events;
    clsNoxTimer t(clock, events);
    t.WaitEx(0);
    clock.advance(16);
    EXPECT_EQ(t.Passage(), 16);
    EXPECT_EQ(t.Passage(), 16);
    EXPECT_EQ(t.PassageRs(), 16);
    clock.advance(3);
    EXPECT_EQ(t.PassageRs(), 3);
}

TEST(Timer, WaitExReturnsAtOnceForZeroAndResets) {
    FakeClock clock(777);
    NoEvents events;
    clsNoxTimer t(clock, events);
    t.WaitEx(0);
    clock.advance(5);
    EXPECT_EQ(t.PassageRs(), 5);
}

TEST(Timer, WaitsBusyPollUntilTheSpanHasPassed) {
    FakeClock clock(0, 1); // every reading moves the clock a millisecond
    NoEvents events;
    clsNoxTimer t(clock, events);
    t.WaitEx(0);
    const uint32_t before = clock.peek();
    t.Wait(100);
    EXPECT_GE(clock.peek() - before, 100u);
    EXPECT_EQ(events.deliveries, 0);
}

TEST(Timer, DoEvWaitTestsFirstDoEvWaitExDeliversFirst) {
    FakeClock clock(100);
    NoEvents events;
    clsNoxTimer t(clock, events);
    t.DoEvWait(0);
    EXPECT_EQ(events.deliveries, 0);
    t.DoEvWaitEx(0);
    EXPECT_EQ(events.deliveries, 1);
}

TEST(Timer, DoEvWaitExPausesUntilTheSpanAfterTheReference) {
    FakeClock clock(0);
    TickingEvents events(clock, 1);
    clsNoxTimer t(clock, events);
    t.WaitEx(0);
    clock.advance(10);
    t.DoEvWaitEx(60);
    EXPECT_EQ(events.deliveries, 50); // the 50 ms left, one per delivery
    EXPECT_EQ(t.Passage(), 0);        // reference is the moment of return

    clock.advance(80);
    t.DoEvWaitEx(60);
    EXPECT_EQ(events.deliveries, 51); // already past: delivered once, returned at once
}

TEST(Timer, ElapsedTimeSurvivesTheSignChangeAndTheWrap) {
    for (uint32_t start : {0x7FFFFFF0u, 0xFFFFFFF0u}) {
        FakeClock clock(start - 40);
        TickingEvents events(clock, 1);
        clsNoxTimer t(clock, events);
        t.WaitEx(0);
        clock.advance(72); // crosses 2^31 or 2^32
        EXPECT_EQ(t.Passage(), 72) << start;
        EXPECT_EQ(t.PassageRs(), 72) << start;
        clock.set(start - 10); // the next pause starts 10 ms before the crossing
        t.WaitEx(0);
        t.DoEvWaitEx(60);
        EXPECT_EQ(events.deliveries, 60) << start;
    }
}

TEST(Timer, NewTimerWaitExReturnsWhileTheSignedReadingIsNegative) {
    for (uint32_t uptime : {0x90000000u, 0xFFFFFFF0u}) { // negative as signed readings
        FakeClock clock(uptime);
        NoEvents events;
        clsNoxTimer t(clock, events);
        EXPECT_EQ(t.Passage(), INT32_MAX) << uptime; // too long ago to count, never negative
        t.WaitEx(0);                                 // must not wait for the sign to turn
        clock.advance(7);
        EXPECT_EQ(t.PassageRs(), 7) << uptime;
    }
}
