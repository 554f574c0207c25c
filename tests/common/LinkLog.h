#pragma once

// The program's link log, BIN/RxTx.TXT, read back: its stamped lines, and the requests
// with the reply the log showed for each. A line is `"<ms> <tag> <text>"` (quoted,
// CR LF); a request frame follows a line with its command's name alone. Only lines the
// program has ended are read: the last one may still be being written.

#include <QByteArray>
#include <QList>
#include <QString>

namespace staging {

// One line of the log after its time stamp ("C 3", "T 4102030C4C", ...).
struct LogLine {
    qint64 ms = 0;
    QString text;
};

// One request frame: its command's name and time stamp.
struct LoggedRequest {
    QString name; // "CMD_READ_MEM1"
    qint64 ms = 0;
};

// A request frame ("T " sent, "D " interrupted) with the receive buffer as the last
// "R " line before the next request showed it ("" when nothing came).
struct LoggedExchange {
    QString name;
    qint64 ms = 0; // the request's line, written once its last byte is out
    QByteArray request;
    QByteArray reply;
    qint64 replyMs = 0; // the reply's line

    // The reply is the ECU's whole, good answer to this request: framed to its length,
    // checksum, echo and status 0, as the link checks it.
    bool Good() const;
};

class LinkLog {
public:
    // The log's bytes as read from the file.
    explicit LinkLog(const QByteArray& bytes);

    // The time stamp of the header line; -1 when there is none yet.
    qint64 StartMs() const;
    QList<LogLine> Lines() const;
    QList<LoggedExchange> Exchanges() const;
    QList<LoggedRequest> Requests() const;

private:
    struct Entry {
        qint64 ms; // -1: a name line
        QString text;
    };
    QList<Entry> entries_;
};

} // namespace staging
