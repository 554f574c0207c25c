#include "support/Clock.h"

#include "platform/Clock.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <algorithm>

namespace support {

namespace {

// Below this a wait sleeps: a timer has whole milliseconds.
constexpr double TimerResolutionUsec = 1000.0;

class RealTimeSource final : public TimeSource {
public:
    double NowUsec() override { return platform::SteadyNowUsec(); }
    void PumpEvents() override {
        if (QCoreApplication::instance()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
    }
    // Sleeps until the next event (a due timer, input, a socket) or the time's end,
    // whichever is first; the whole milliseconds by the event loop, the rest by a sleep.
    void Idle(double maxUsec) override {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app || maxUsec < TimerResolutionUsec) {
            platform::SleepUsec(std::min(maxUsec, TimerResolutionUsec));
            return;
        }
        if (!wake_) {
            wake_ = new QTimer(app); // the application owns it
            wake_->setSingleShot(true);
            wake_->setTimerType(Qt::PreciseTimer);
        }
        wake_->start(static_cast<int>(std::min(maxUsec / TimerResolutionUsec, 1e9)));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    void IdleUntilEvent(double maxUsec) override { Idle(maxUsec); }

private:
    QPointer<QTimer> wake_;
};

RealTimeSource realSource;
TimeSource* current = &realSource;
int waitDepth = 0;

// Counts the waits under way for as long as one runs.
struct WaitScope {
    WaitScope() { ++waitDepth; }
    ~WaitScope() { --waitDepth; }
    WaitScope(const WaitScope&) = delete;
    WaitScope& operator=(const WaitScope&) = delete;
};

// Pumps events until the clock reaches target; a reading equal to target ends the wait
// only when equalEnds.
void PumpUntil(TimeSource& source, double target, bool equalEnds) {
    const WaitScope scope;
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

double ParseTimeScale(const QString& text) {
    bool ok = false;
    const double scale = text.trimmed().toDouble(&ok);
    return ok && scale > 0 && scale <= 1 ? scale : 1.0;
}

double TestTimeScale() {
    return ParseTimeScale(qEnvironmentVariable("LX735_TEST_TIME_SCALE"));
}

void PauseUsec(double us) {
    WaitUsec(us * TestTimeScale());
}

bool WaitUntil(const std::function<bool()>& done, double maxUsec) {
    const WaitScope scope;
    TimeSource& source = *current;
    const double target = source.NowUsec() + maxUsec;
    for (;;) {
        source.PumpEvents();
        if (done()) {
            return true;
        }
        const double now = source.NowUsec();
        if (now > target) {
            return false;
        }
        source.IdleUntilEvent(target - now);
    }
}

} // namespace support
