#pragma once

// The exchanges of the program's link log (common/LinkLog.h) summed up by command. The
// time stamps are the program's steady clock in milliseconds.

#include "common/LinkLog.h"

#include <QList>
#include <QMap>
#include <QString>

namespace bench {

// One command's exchanges whose request went out in a window.
struct CommandStats {
    int sent = 0;
    int good = 0;
    double requestBytes = 0; // mean
    double replyBytes = 0;   // mean over the good replies
    double replyMs = 0;      // mean time from the request's last byte to the whole reply
};

QMap<QString, CommandStats> Summarise(const QList<staging::LoggedExchange>& exchanges,
                                      qint64 fromMs, qint64 toMs);

} // namespace bench
