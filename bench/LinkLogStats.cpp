#include "LinkLogStats.h"

namespace bench {

QMap<QString, CommandStats> Summarise(const QList<staging::LoggedExchange>& exchanges,
                                      qint64 fromMs, qint64 toMs) {
    QMap<QString, CommandStats> stats;
    for (const staging::LoggedExchange& e : exchanges) {
        if (e.ms < fromMs || e.ms >= toMs) {
            continue;
        }
        CommandStats& s = stats[e.name];
        ++s.sent;
        s.requestBytes += e.request.size();
        if (e.Good()) {
            ++s.good;
            s.replyBytes += e.reply.size();
            s.replyMs += static_cast<double>(e.replyMs - e.ms);
        }
    }
    for (CommandStats& s : stats) {
        s.requestBytes /= s.sent;
        if (s.good > 0) {
            s.replyBytes /= s.good;
            s.replyMs /= s.good;
        }
    }
    return stats;
}

} // namespace bench
