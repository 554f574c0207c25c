#include "common/Wait.h"

#include "common/FakeTime.h"
#include "support/Clock.h"

#include <QCoreApplication>

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

// One step: the clock's own pass (a fake clock's rig timers), then Qt's events, which a
// fake clock does not pump (window-system timers, posted calls, queued signals).
void Step(double usec) {
    support::WaitUsec(usec);
    if (QCoreApplication::instance()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

double StepUsec() {
    return OnFakeTime() ? FakeStepUsec : RealStepUsec;
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
        Step(std::min(StepUsec(), end - now));
    }
}

void RunFor(std::chrono::microseconds duration) {
    const double end = support::GetTimeUsec() + static_cast<double>(duration.count());
    for (double now = support::GetTimeUsec(); now < end; now = support::GetTimeUsec()) {
        Step(std::min(StepUsec(), end - now));
    }
}

} // namespace testing_support
