// The tests' one wait: on the simulated clock it passes simulated time in 1 ms steps
// until the condition holds or the bound has passed, delivering posted events; on the
// real clock it runs the event loop.

#include "common/Wait.h"
#include "common/FakeTime.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>
#include <gtest/gtest.h>

using testing_support::FakeTime;
using testing_support::RunFor;
using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace {

TEST(WaitFor, OnTheSimulatedClockEndsWhenTheConditionHoldsOrTheBoundHasPassed) {
    struct Case {
        double holdsAfterUsec; // < 0: never
        std::chrono::microseconds bound;
        bool held;
    };
    for (const Case& c :
         {Case{0, 1s, true}, Case{250e3, 1s, true}, Case{-1, 2s, false}, Case{3e6, 2s, false}}) {
        FakeTime time;
        const double start = time.NowUsec();
        int pumps = 0;
        time.onPump = [&] { ++pumps; };
        const auto holds = [&] {
            return c.holdsAfterUsec >= 0 && time.NowUsec() - start >= c.holdsAfterUsec;
        };
        EXPECT_EQ(WaitFor(holds, c.bound), c.held) << c.holdsAfterUsec;
        const double waited = time.NowUsec() - start;
        if (c.held) {
            // At the first look after it holds: steps of a millisecond.
            EXPECT_GE(waited, c.holdsAfterUsec);
            EXPECT_LT(waited, c.holdsAfterUsec + 2000) << c.holdsAfterUsec;
        } else {
            EXPECT_GE(waited, double(c.bound.count())) << "gave up before the bound";
            EXPECT_GE(pumps, c.bound.count() / 1000 * 9 / 10) << "the rig's pace";
        }
    }
}

TEST(WaitFor, OnTheSimulatedClockDeliversPostedCalls) {
    FakeTime time;
    bool called = false;
    QObject receiver;
    QMetaObject::invokeMethod(
        &receiver, [&] { called = true; }, Qt::QueuedConnection);
    EXPECT_TRUE(WaitFor([&] { return called; }, 10ms));
}

TEST(WaitFor, OnTheRealClockRunsTheEventLoop) {
    bool fired = false;
    QTimer::singleShot(20, [&] { fired = true; });
    EXPECT_TRUE(WaitFor([&] { return fired; }, 60s));
}

TEST(RunFor, LetsTheSimulatedTimePassInMillisecondSteps) {
    FakeTime time;
    const double start = time.NowUsec();
    int pumps = 0;
    time.onPump = [&] { ++pumps; };
    RunFor(1500ms);
    EXPECT_GE(time.NowUsec() - start, 1.5e6);
    EXPECT_LT(time.NowUsec() - start, 1.5e6 + 2000);
    EXPECT_GE(pumps, 1500);
}

} // namespace
