#include "common/Wait.h"

#include "common/FakeTime.h"
#include "support/Clock.h"

#include <QCoreApplication>
#include <algorithm>

namespace testing_support {

namespace {

// Simulated time steps at the rigs' timer resolution.
constexpr double FakeStepUsec = 1000;
// On the real clock the condition (often a file read back) is looked at this often;
// events are handled as they come in between.
constexpr double RealStepUsec = 20000;

bool OnFakeTime() {
    return dynamic_cast<FakeTime*>(&support::CurrentTimeSource()) != nullptr;
}

// One step of the installed clock, of at most maxUsec. The real clock's wait runs the Qt
// event loop. A fake clock pumps only the rig's timers, so the posted Qt events (queued
// signals, calls deferred to the event loop) are delivered here; the window system's
// timers run on the real clock and are left out, or the program's own timers would tick
// beside the rig's and a test on simulated time would no longer be reproducible.
void Step(double maxUsec) {
    const bool fake = OnFakeTime();
    support::WaitUsec(std::min(fake ? FakeStepUsec : RealStepUsec, maxUsec));
    if (fake && QCoreApplication::instance()) {
        QCoreApplication::sendPostedEvents();
    }
}

} // namespace

bool WaitFor(const std::function<bool()>& condition, std::chrono::microseconds bound) {
    const double end = support::GetTimeUsec() + static_cast<double>(bound.count());
    for (;;) {
        if (condition()) {
            return true;
        }
        const double now = support::GetTimeUsec();
        if (now >= end) {
            return false;
        }
        Step(end - now);
    }
}

void RunFor(std::chrono::microseconds duration) {
    WaitFor([] { return false; }, duration);
}

} // namespace testing_support
