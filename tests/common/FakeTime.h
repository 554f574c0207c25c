#pragma once

#include "support/Clock.h"

#include <functional>

namespace testing_support {

// A simulated clock: time stands still until a wait idles, then jumps by the time the
// wait asks for. Each event pump calls onPump (tests step a link or a simulated ECU
// there), so time-outs of many seconds run in microseconds. Installed for its lifetime.
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

    // Lets usec pass in waits of stepUsec, so the event pump runs at that pace.
    void RunFor(double usec, double stepUsec) {
        const double end = now_ + usec;
        while (now_ < end) {
            support::WaitUsec(stepUsec);
        }
    }
    // Waits in steps of stepUsec until the condition holds; False when maxUsec passed first.
    bool RunUntil(const std::function<bool()>& condition, double maxUsec, double stepUsec) {
        const double end = now_ + maxUsec;
        while (!condition()) {
            if (now_ >= end) {
                return false;
            }
            support::WaitUsec(stepUsec);
        }
        return true;
    }
    int Pumps() const { return pumps_; }

    std::function<void()> onPump;

private:
    double now_;
    int pumps_ = 0;
    support::ScopedTimeSource scope_;
};

} // namespace testing_support
