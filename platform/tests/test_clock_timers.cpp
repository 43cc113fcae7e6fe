#include "platform/clock.h"
#include "platform/core/errors.h"
#include "platform/event_loop.h"
#include "platform/timer_control.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using namespace tv;

namespace {
struct VirtualTime : ::testing::Test {
    void SetUp() override { Clock::instance().setMode(Clock::Mode::Virtual); }
    qint64 now() const { return Clock::instance().nowMs(); }
};
} // namespace

TEST_F(VirtualTime, WaitJumpsThroughDeadlinesInOrder) {
    std::vector<int> order;
    const qint64 start = now();
    auto& loop = EventLoop::instance();
    loop.schedule(start + 300, [&] { order.push_back(3); });
    loop.schedule(start + 100, [&] { order.push_back(1); });
    loop.schedule(start + 200, [&] { order.push_back(2); });
    const auto cancelled = loop.schedule(start + 150, [&] { order.push_back(99); });
    loop.cancel(cancelled);
    loop.wait(250);
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_EQ(now(), start + 250);
    loop.wait(100);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST_F(VirtualTime, DrainDoesNotMoveTheClockButDoEventsDoes) {
    auto& loop = EventLoop::instance();
    const qint64 start = now();
    bool fired = false;
    loop.schedule(start + 5000, [&] { fired = true; });
    loop.drain();
    EXPECT_EQ(now(), start);
    EXPECT_FALSE(fired);
    // A busy-wait loop of the game gets to its deadline.
    int passes = 0;
    while (!fired && passes++ < 10)
        loop.doEvents();
    EXPECT_TRUE(fired);
    EXPECT_EQ(now(), start + 5000);
    // With nothing scheduled an idle pass still moves time a little, so timed loops end.
    const qint64 before = now();
    if (loop.nextDeadline() < 0) {
        loop.doEvents();
        EXPECT_GT(now(), before);
    }
}

TEST_F(VirtualTime, TimerFiresEveryIntervalWhileEnabled) {
    TimerControl timer("Timer1");
    int ticks = 0;
    QObject::connect(&timer, &TimerControl::Timer, [&] { ++ticks; });
    timer.setInterval(1000);
    EventLoop::instance().wait(5000);
    EXPECT_EQ(ticks, 0) << "a disabled timer never fires";
    timer.setEnabled(true);
    EventLoop::instance().wait(3500);
    EXPECT_EQ(ticks, 3);
    timer.setEnabled(false);
    EventLoop::instance().wait(5000);
    EXPECT_EQ(ticks, 3);
    // Interval 0 disables it as well.
    timer.setEnabled(true);
    timer.setInterval(0);
    EventLoop::instance().wait(5000);
    EXPECT_EQ(ticks, 3);
}

TEST_F(VirtualTime, TimerIntervalRangeIsTheClassicOne) {
    TimerControl timer;
    timer.setInterval(TimerControl::kMaxInterval);
    EXPECT_EQ(timer.interval(), 65535);
    try {
        timer.setInterval(70000);
        FAIL() << "70 seconds must be refused";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 380);
        EXPECT_EQ(errorText(e), "Invalid property value");
    }
    EXPECT_EQ(timer.interval(), 65535);
    EXPECT_THROW(timer.setInterval(-1), VbError);
}

TEST_F(VirtualTime, SettingIntervalRestartsTheCountdown) {
    TimerControl timer;
    int ticks = 0;
    QObject::connect(&timer, &TimerControl::Timer, [&] { ++ticks; });
    timer.setInterval(1000);
    timer.setEnabled(true);
    EventLoop::instance().wait(900);
    timer.setInterval(1000);
    EventLoop::instance().wait(900);
    EXPECT_EQ(ticks, 0);
    EventLoop::instance().wait(100);
    EXPECT_EQ(ticks, 1);
}

TEST_F(VirtualTime, HandlerThatWaitsIsNotReenteredAndMayDeleteItsTimer) {
    auto* timer = new TimerControl;
    int depth = 0, maxDepth = 0, ticks = 0;
    QObject::connect(timer, &TimerControl::Timer, [&] {
        ++ticks;
        maxDepth = std::max(maxDepth, ++depth);
        EventLoop::instance().wait(2500); // longer than the interval
        --depth;
    });
    timer->setInterval(1000);
    timer->setEnabled(true);
    EventLoop::instance().wait(1000);
    EXPECT_EQ(maxDepth, 1);
    EXPECT_GE(ticks, 1);

    auto* selfDeleting = new TimerControl;
    bool fired = false;
    QObject::connect(selfDeleting, &TimerControl::Timer, [&] {
        fired = true;
        delete selfDeleting;
    });
    selfDeleting->setInterval(10);
    selfDeleting->setEnabled(true);
    EventLoop::instance().wait(50);
    EXPECT_TRUE(fired);
    delete timer;
    EventLoop::instance().wait(5000); // nothing left that could fire on a dead object
}

TEST_F(VirtualTime, TimeOfDayMovesWithTheClockAndStartsAgainAtMidnight) {
    auto& clock = Clock::instance();
    const double start = clock.secondsSinceMidnight();
    EXPECT_GE(start, 0);
    EXPECT_LT(start, 86400);
    const qint64 toMidnightMs = static_cast<qint64>(std::llround((86400 - start) * 1000));
    clock.advanceTo(now() + toMidnightMs - 250);
    EXPECT_NEAR(clock.secondsSinceMidnight(), 86399.75, 0.002);
    clock.advanceTo(now() + 500);
    EXPECT_NEAR(clock.secondsSinceMidnight(), 0.25, 0.002);
}

TEST(RealTime, ClockKeepsItsReadingAcrossModeSwitches) {
    auto& clock = Clock::instance();
    clock.setMode(Clock::Mode::Virtual);
    clock.advanceTo(clock.nowMs() + 100000);
    const qint64 virtualNow = clock.nowMs();
    clock.setMode(Clock::Mode::Real);
    EXPECT_GE(clock.nowMs(), virtualNow);
    EXPECT_LT(clock.nowMs(), virtualNow + 1000);
    clock.advanceTo(clock.nowMs() + 100000); // no effect in real time
    EXPECT_LT(clock.nowMs(), virtualNow + 1000);
    clock.setMode(Clock::Mode::Virtual);
}
