#pragma once

// The program's one clock and its waits. Every time-out, pause and time stamp is
// measured on it. Waits keep the event loop alive, so handlers may run nested inside
// any wait: callers must expect shared state to change while they wait.

#include <QString>
#include <functional>

namespace support {

// Where time comes from and how a wait passes it. The real source reads the monotonic
// clock, runs one pass of the Qt event loop and sleeps until the next event or the
// wait's end; tests install a simulated source so that time-outs of many seconds pass
// in microseconds.
class TimeSource {
public:
    virtual ~TimeSource() = default;
    virtual double NowUsec() = 0;
    // One pass over the pending events (timers, input, sockets).
    virtual void PumpEvents() = 0;
    // Lets at most maxUsec pass without spinning the processor; the real source returns
    // earlier when an event arrives (and handles it).
    virtual void Idle(double maxUsec) = 0;
    // Lets time pass until something may have changed: the next event, or maxUsec. A
    // simulated source, which has no events, lets a short slice pass.
    virtual void IdleUntilEvent(double maxUsec) { Idle(maxUsec < 1000 ? maxUsec : 1000); }
};

TimeSource& CurrentTimeSource();

// Installs a time source for its lifetime and restores the previous one afterwards.
class ScopedTimeSource {
public:
    explicit ScopedTimeSource(TimeSource& source);
    ~ScopedTimeSource();
    ScopedTimeSource(const ScopedTimeSource&) = delete;
    ScopedTimeSource& operator=(const ScopedTimeSource&) = delete;

private:
    TimeSource* previous_;
};

// The current time in microseconds (monotonic; only differences have a meaning).
double GetTimeUsec();

// Returns once the clock has passed the start time plus us. The body runs at least
// once, so a wait of 0 (or less) still processes the pending events once.
void WaitUsec(const double& us);

// How many waits are under way, nested in one another (0 outside every wait).
int WaitDepth();

// Returns once the given number of seconds has passed; 0 or less returns at once
// without processing events.
void WaitSec(const double& seconds);

// The test-only time scale: LX735_TEST_TIME_SCALE, a factor above 0 and at most 1, so
// that end-to-end tests run the program's long fixed pauses shortened; 1 when the
// variable is unset or holds anything else. Time-outs, paces and time stamps never scale.
double TestTimeScale();
// The factor a scale text names: a number above 0 and at most 1, else 1.
double ParseTimeScale(const QString& text);

// A fixed pause of the program's own (a hold, a settle, a progress step): a wait of us,
// shortened by the test time scale.
void PauseUsec(double us);

// Processes events, sleeping between them, until done() holds (tested after each pass;
// True) or maxUsec has passed (False).
bool WaitUntil(const std::function<bool()>& done, double maxUsec);

} // namespace support
