#include "support/Clock.h"

#include "platform/Clock.h"

#include <QCoreApplication>
#include <algorithm>

namespace support {

namespace {

// Sleeping at most this long keeps the 1 ms link timer on time while a wait runs.
constexpr double MaxIdleSliceUsec = 1000.0;

class RealTimeSource final : public TimeSource {
public:
    double NowUsec() override { return platform::SteadyNowUsec(); }
    void PumpEvents() override {
        if (QCoreApplication::instance()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
    }
    void Idle(double maxUsec) override { platform::SleepUsec(std::min(maxUsec, MaxIdleSliceUsec)); }
};

RealTimeSource realSource;
TimeSource* current = &realSource;
int waitDepth = 0;

// Pumps events until the clock reaches target; a reading equal to target ends the wait
// only when equalEnds.
void PumpUntil(TimeSource& source, double target, bool equalEnds) {
    struct Depth {
        Depth() { ++waitDepth; }
        ~Depth() { --waitDepth; }
    } depth;
    for (;;) {
        source.PumpEvents();
        const double now = source.NowUsec();
        if (now > target || (equalEnds && now == target)) {
            return;
        }
        source.Idle(target - now);
    }
}

} // namespace

TimeSource& CurrentTimeSource() {
    return *current;
}

ScopedTimeSource::ScopedTimeSource(TimeSource& source) : previous_(current) {
    current = &source;
}

ScopedTimeSource::~ScopedTimeSource() {
    current = previous_;
}

int WaitDepth() {
    return waitDepth;
}

double GetTimeUsec() {
    return current->NowUsec();
}

void WaitUsec(const double& us) {
    TimeSource& source = *current;
    PumpUntil(source, source.NowUsec() + us, false);
}

void WaitSec(const double& seconds) {
    TimeSource& source = *current;
    const double target = source.NowUsec() + seconds * 1e6;
    if (target <= source.NowUsec()) {
        return;
    }
    PumpUntil(source, target, true);
}

} // namespace support
