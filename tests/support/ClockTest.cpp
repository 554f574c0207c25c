#include "support/Clock.h"
#include "common/FakeTime.h"

#include <QTimer>
#include <gtest/gtest.h>

using namespace support;
using testing_support::FakeTime;

TEST(Clock, RealReadingsNeverDecrease) {
    double previous = GetTimeUsec();
    for (int i = 0; i < 10000; ++i) {
        const double now = GetTimeUsec();
        ASSERT_GE(now, previous);
        previous = now;
    }
}

TEST(WaitUsec, ZeroAndNegativeWaitsPumpEventsExactlyOnce) {
    for (const double us : {0.0, -50.0}) {
        FakeTime time;
        time.onPump = [&] { time.Advance(1); }; // a real clock moves on between readings
        WaitUsec(us);
        EXPECT_EQ(time.Pumps(), 1) << us;
    }
}

TEST(WaitUsec, AReadingEqualToTheTargetKeepsWaiting) {
    FakeTime time(0);
    // Each pump moves the clock by exactly 250 us: readings 250, 500, ..., 1000, 1250.
    time.onPump = [&] { time.Advance(250); };
    const double us = 1000;
    WaitUsec(us);
    EXPECT_EQ(time.NowUsec(), 1250);
    EXPECT_EQ(us, 1000) << "the argument is unchanged";
}

TEST(WaitSec, ZeroReturnsWithoutPumpingAndPositiveWaitsEnd) {
    FakeTime time;
    WaitSec(0);
    EXPECT_EQ(time.Pumps(), 0);
    const double start = time.NowUsec();
    WaitSec(2.5);
    EXPECT_GE(time.NowUsec(), start + 2.5e6);
}

TEST(WaitUsec, RealWaitKeepsTimersRunningAndEndsOnTime) {
    int ticks = 0;
    QTimer timer;
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start();
    const double start = GetTimeUsec();
    // Long beside the timer's period, so that a loaded machine still runs it many times.
    const double us = 200000;
    WaitUsec(us);
    EXPECT_GT(GetTimeUsec(), start + us);
    EXPECT_GT(ticks, 5) << "timer handlers run inside the wait";
}

TEST(ScopedTimeSource, RestoresThePreviousSource) {
    TimeSource* outer = &CurrentTimeSource();
    {
        FakeTime time(42);
        EXPECT_EQ(GetTimeUsec(), 42);
    }
    EXPECT_EQ(&CurrentTimeSource(), outer);
}

// A wait sleeps to its end in one go (or to the next event): an Idle_usec wait of
// 100 ms does not wake the process a hundred times.
TEST(WaitUsec, SleepsThroughTheWholeWaitInOneSlice) {
    FakeTime time(0);
    WaitUsec(100000);
    EXPECT_GT(time.NowUsec(), 100000);
    EXPECT_LE(time.Pumps(), 3) << "one sleep to the end, and the step past it";
}
