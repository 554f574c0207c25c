#pragma once

#include "support/Clock.h"

#include <functional>

namespace testing_support {

// A simulated clock: time stands still until a wait idles, then jumps by the time the
// wait asks for. Each event pump calls onPump (tests step a link or a simulated ECU
// there), so time-outs of many seconds run in microseconds. Installed for its lifetime.
// Tests let it pass through testing_support::WaitFor and RunFor (common/Wait.h).
class FakeTime final : public support::TimeSource {
public:
    explicit FakeTime(double startUsec = 1e6) : now_(startUsec), scope_(*this) {}

    double NowUsec() override { return now_; }
    void PumpEvents() override {
        ++pumps_;
        if (onPump) {
            onPump();
        }
    }
    void Idle(double maxUsec) override { now_ += maxUsec > 0 ? maxUsec : 1; }

    void Advance(double usec) { now_ += usec; }

    int Pumps() const { return pumps_; }

    std::function<void()> onPump;

private:
    double now_;
    int pumps_ = 0;
    support::ScopedTimeSource scope_;
};

} // namespace testing_support
