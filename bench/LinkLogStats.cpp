#include "LinkLogStats.h"

#include "link/Frames.h"

#include <QFile>

namespace bench {

namespace {

// A log line "<ms> <tag><text>", quoted; nothing for a name line.
bool SplitStamped(const QString& line, qint64* ms, QString* rest) {
    QString text = line;
    if (text.startsWith('"') && text.endsWith('"') && text.size() >= 2) {
        text = text.mid(1, text.size() - 2);
    }
    bool ok = false;
    *ms = text.section(' ', 0, 0).toLongLong(&ok);
    *rest = text.section(' ', 1);
    return ok && text.contains(' ');
}

bool WholeAndGood(const QByteArray& reply, const QByteArray& request) {
    return reply.size() > 2 && comm::GetMsgHeader(reply) == comm::ReplyHeader &&
           comm::GetMsgByte2(reply) == comm::ReplyByte2 &&
           reply.size() >= comm::GetMsgLen(reply) + 2 &&
           comm::ReplyCheckFailure(reply, request).isEmpty();
}

} // namespace

QList<Exchange> ReadLinkLog(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QList<Exchange> exchanges;
    QString name;
    for (const QString& line : QString::fromLatin1(file.readAll()).split("\r\n")) {
        qint64 ms = 0;
        QString rest;
        if (!SplitStamped(line, &ms, &rest)) {
            name = line.mid(1, line.size() - 2); // the command's name before its frame
            continue;
        }
        const QByteArray bytes = QByteArray::fromHex(rest.mid(2).toLatin1());
        if (!name.isEmpty()) {
            // Only a "T " frame went out whole; an interrupted one ("D ") counts as sent.
            exchanges.append({name, ms, bytes, {}, 0, false});
            name.clear();
        } else if (rest.startsWith("R ") && !exchanges.isEmpty()) {
            Exchange& e = exchanges.last();
            e.reply = bytes;
            e.replyMs = ms;
            e.good = WholeAndGood(bytes, e.request);
        }
    }
    return exchanges;
}

QMap<QString, CommandStats> Summarise(const QList<Exchange>& exchanges, qint64 fromMs,
                                      qint64 toMs) {
    QMap<QString, CommandStats> stats;
    for (const Exchange& e : exchanges) {
        if (e.sentMs < fromMs || e.sentMs >= toMs) {
            continue;
        }
        CommandStats& s = stats[e.name];
        ++s.sent;
        s.requestBytes += e.request.size();
        if (e.good) {
            ++s.good;
            s.replyBytes += e.reply.size();
            s.replyMs += static_cast<double>(e.replyMs - e.sentMs);
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
