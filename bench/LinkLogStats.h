#pragma once

// The program's link log BIN/RxTx.TXT read back as exchanges: each request frame with
// its time stamp and the receive buffer as the log last showed it before the next
// request. The time stamps are the program's steady clock in milliseconds.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

namespace bench {

struct Exchange {
    QString name;       // "CMD_READ_MEM1"
    qint64 sentMs = 0;  // the "T " line, written once the request's last byte is out
    QByteArray request; //
    QByteArray reply;   // the last "R " buffer before the next request
    qint64 replyMs = 0; // that line's stamp
    bool good = false;  // a whole reply that passes the link's own check
};

QList<Exchange> ReadLinkLog(const QString& path);

// One command's exchanges whose request went out in a window.
struct CommandStats {
    int sent = 0;
    int good = 0;
    double requestBytes = 0; // mean
    double replyBytes = 0;   // mean over the good replies
    double replyMs = 0;      // mean time from the request's last byte to the whole reply
};

QMap<QString, CommandStats> Summarise(const QList<Exchange>& exchanges, qint64 fromMs, qint64 toMs);

} // namespace bench
