#include "PollModel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>

namespace bench {

namespace {

// The countdowns as the window's load sets them and their reloads: a countdown below 1
// fires and is reloaded, any other is lowered by 1.
constexpr std::array<int, 6> Starts{3, 7, 17, 23, 53, 101};
constexpr std::array<int, 6> Reloads{3, 7, 17, 23, 53, 503};
enum { Serve, RaiseLive, FuelSwitch, RaiseZone2, RaiseZone3, ReadErrors };

} // namespace

ExchangeCost CostOf(double requestBytes, double replyBytes, const LinkTimings& timings) {
    ExchangeCost cost;
    cost.sendUsec = requestBytes * timings.attesaByteTxUsec;
    cost.replyWireUsec = timings.ecuAnswerUsec + replyBytes * WireByteUsec;
    cost.waitUsec = std::max(timings.idleUsec, cost.replyWireUsec);
    cost.pickupUsec = Timer1Usec;
    return cost;
}

ScheduleResult ModelSchedule(const QMap<QString, double>& exchangeUsec, int ticks) {
    std::array<int, 6> countdown = Starts;
    QMap<QString, bool> pending;
    // The request server's order among the periodic reads.
    const QString order[] = {Zone3Read, Zone2Read, LiveRead};
    ScheduleResult result;
    const auto fires = [&](int c) {
        if (countdown[c] < 1) {
            countdown[c] = Reloads[c];
            return true;
        }
        --countdown[c];
        return false;
    };
    const auto raise = [&](int c, const QString& name) {
        if (fires(c)) {
            pending[name] = true;
        }
    };
    const auto exchange = [&](const QString& name) {
        ++result.reads[name];
        return exchangeUsec.value(name);
    };
    double usec = 0;
    for (int tick = 0; tick < ticks; ++tick) {
        double held = 0; // how long this tick waits for replies
        if (fires(Serve)) {
            const auto first = std::find_if(std::begin(order), std::end(order),
                                            [&](const QString& name) { return pending[name]; });
            if (first != std::end(order)) {
                pending[*first] = false;
                held += exchange(*first);
            }
        }
        raise(RaiseLive, LiveRead);
        fires(FuelSwitch);
        raise(RaiseZone2, Zone2Read);
        raise(RaiseZone3, Zone3Read);
        if (fires(ReadErrors)) {
            held += exchange(ErrorRead);
        }
        // Timer2 keeps its 14 ms grid: the next tick is the first one after the wait.
        usec += held > 0 ? std::ceil(held / Timer2Usec) * Timer2Usec : Timer2Usec;
    }
    result.ticks = ticks;
    result.seconds = usec / 1e6;
    return result;
}

} // namespace bench
