#pragma once

// What the poll schedule and the link timings allow. An exchange costs the paced
// request, the idle pause before the program looks for the reply (the ECU answers
// meanwhile: the reply's wire time counts only where it outlasts the pause) and the
// 1 ms link timer that picks the reply up. The poll scheduler's Timer2 (14 ms) serves
// one request every 4th tick in the request server's order (zone 3, zone 2, the live
// record), raises the live read every 8th tick, zone 2 every 24th, zone 3 every 54th,
// and reads the errors itself every 504th. A tick that exchanges holds Timer2 until the
// reply is in; the countdowns go on at the first tick after it.

#include <QMap>
#include <QString>

namespace bench {

inline constexpr double Timer2Usec = 14000;
inline constexpr double Timer1Usec = 1000;
inline constexpr double WireByteUsec = 10 * 1e6 / 38400; // 8N1: ten bits a byte

struct LinkTimings {
    double attesaByteTxUsec = 0;
    double idleUsec = 0;
    double ecuAnswerUsec = 0; // end of the request to the reply's first byte
};

struct ExchangeCost {
    double sendUsec = 0;      // request bytes x AttesaByteTx_usec
    double replyWireUsec = 0; // the ECU's answer delay + reply bytes on the wire
    double waitUsec = 0;      // the longer of Idle_usec and the reply
    double pickupUsec = 0;    // the link timer's step
    double TotalUsec() const { return sendUsec + waitUsec + pickupUsec; }
};

ExchangeCost CostOf(double requestBytes, double replyBytes, const LinkTimings& timings);

// The schedule's periodic reads by the names the link log gives them.
inline const QString LiveRead = QStringLiteral("CMD_READ_MEM1");
inline const QString Zone2Read = QStringLiteral("CMD_READ_MEM2");
inline const QString Zone3Read = QStringLiteral("CMD_READ_MEM3");
inline const QString ErrorRead = QStringLiteral("CMD_READ_ERR");

struct ScheduleResult {
    int ticks = 0;
    double seconds = 0;
    QMap<QString, int> reads;
    double PerSecond(const QString& name) const { return reads.value(name) / seconds; }
};

// Runs the countdowns for the given number of Timer2 ticks with these exchange costs
// (µs, by read name).
ScheduleResult ModelSchedule(const QMap<QString, double>& exchangeUsec, int ticks);

} // namespace bench
