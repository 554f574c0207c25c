// The link-step gate: work runs once neither main tick of the loop running now, nor a
// link step, nor a frame being sent is under way; it runs once, and a tick left under way
// below a modal loop (the poll tick that opened the update window) does not hold it.

#include "app/LinkStepGate.h"
#include "app/ProgramContext.h"
#include "common/Wait.h"
#include "platform/FtdiFake.h"
#include "platform/SerialPosix.h"

#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr std::chrono::seconds Bound{60};
// Long enough for many of the gate's rechecks.
constexpr std::chrono::milliseconds Held{50};

class LinkStepGateTest : public ::testing::Test {
protected:
    // Asks the gate to run the counting work (with an extra condition when given).
    void Ask(std::function<bool()> also = {}) {
        app::LinkStepGate(context).RunWhenOpen(
            owner, [this] { ++runs; }, std::move(also));
    }

    app::ProgramContext context{std::make_unique<platform::PosixSerialPort>(),
                                std::make_unique<platform::FakeFtdiDriver>()};
    QObject owner;
    int runs = 0;
};

TEST_F(LinkStepGateTest, RunsAtOnceWhenNothingIsUnderWay) {
    context.Comm().ComState(app::COM_READY);
    EXPECT_TRUE(app::LinkStepGate(context).Open());
    Ask();
    EXPECT_EQ(runs, 1);
    testing_support::RunFor(Held);
    EXPECT_EQ(runs, 1) << "ran again";
}

// Each of what holds the gate: asked while it is under way, the work waits through it,
// then runs once.
TEST_F(LinkStepGateTest, WaitsThroughATickOrALinkExchangeThenRunsOnce) {
    struct Hold {
        const char* what;
        std::function<void(app::ProgramContext&)> begin;
        std::function<void(app::ProgramContext&)> end;
    };
    const Hold holds[] = {
        {"the link tick", [](app::ProgramContext& c) { c.Ticks.Timer1.Begin(); },
         [](app::ProgramContext& c) { c.Ticks.Timer1.End(); }},
        {"the poll tick", [](app::ProgramContext& c) { c.Ticks.Timer2.Begin(); },
         [](app::ProgramContext& c) { c.Ticks.Timer2.End(); }},
        {"a link step", [](app::ProgramContext& c) { c.Comm().Stepping(true); },
         [](app::ProgramContext& c) { c.Comm().Stepping(false); }},
        {"a frame being sent", [](app::ProgramContext& c) { c.Comm().ComState(app::COM_SENDING); },
         [](app::ProgramContext& c) { c.Comm().ComState(app::COM_WAIT_REPLY); }},
    };
    for (const Hold& hold : holds) {
        SCOPED_TRACE(hold.what);
        runs = 0;
        context.Comm().ComState(app::COM_READY);
        hold.begin(context);
        EXPECT_FALSE(app::LinkStepGate(context).Open());
        Ask();
        testing_support::RunFor(Held);
        EXPECT_EQ(runs, 0) << "ran inside it";
        hold.end(context);
        EXPECT_TRUE(testing_support::WaitFor([&] { return runs > 0; }, Bound));
        testing_support::RunFor(Held);
        EXPECT_EQ(runs, 1);
    }
}

TEST_F(LinkStepGateTest, ACallersOwnConditionIsWaitedForToo) {
    bool ready = false;
    Ask([&] { return ready; });
    testing_support::RunFor(Held);
    EXPECT_EQ(runs, 0);
    ready = true;
    EXPECT_TRUE(testing_support::WaitFor([&] { return runs > 0; }, Bound));
    testing_support::RunFor(Held);
    EXPECT_EQ(runs, 1);
}

TEST_F(LinkStepGateTest, WorkHeldBackIsDroppedWithItsOwner) {
    auto shortLived = std::make_unique<QObject>();
    context.Ticks.Timer1.Begin();
    app::LinkStepGate(context).RunWhenOpen(*shortLived, [this] { ++runs; });
    shortLived.reset();
    context.Ticks.Timer1.End();
    testing_support::RunFor(Held);
    EXPECT_EQ(runs, 0);
}

// The poll tick opens a modal window (its loop nested in the tick); a press in that
// window asks the gate. The outer tick cannot end before the window closes, so it does
// not hold the gate; a link tick that begins inside the window's loop does.
TEST_F(LinkStepGateTest, ATickBelowTheModalLoopRunningNowDoesNotHoldIt) {
    context.Ticks.Timer2.Begin();
    EXPECT_FALSE(app::LinkStepGate(context).Open());
    QEventLoop modal;
    bool openInside = false;
    int runsAtOnce = -1;
    bool heldByInnerTick = false;
    QTimer::singleShot(0, &owner, [&] {
        openInside = app::LinkStepGate(context).Open();
        Ask();
        runsAtOnce = runs;
        context.Ticks.Timer1.Begin(); // a link tick inside the window's loop
        Ask();
        testing_support::RunFor(Held);
        heldByInnerTick = runs == 1;
        context.Ticks.Timer1.End();
        QTimer::singleShot(Bound, &modal, &QEventLoop::quit);
        QTimer::singleShot(0, &owner, [&] {
            if (testing_support::WaitFor([&] { return runs == 2; }, Bound)) {
                modal.quit();
            }
        });
    });
    modal.exec();
    EXPECT_TRUE(openInside);
    EXPECT_EQ(runsAtOnce, 1);
    EXPECT_TRUE(heldByInnerTick);
    EXPECT_EQ(runs, 2);
    // Back in the tick's own loop it holds the gate again.
    EXPECT_FALSE(app::LinkStepGate(context).Open());
    context.Ticks.Timer2.End();
}

} // namespace
