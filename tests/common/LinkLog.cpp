#include "common/LinkLog.h"

#include "link/Frames.h"

namespace staging {

namespace {

QString Unquoted(const QString& line) {
    QString text = line.trimmed();
    if (text.startsWith('"') && text.endsWith('"') && text.size() >= 2) {
        text = text.mid(1, text.size() - 2);
    }
    return text;
}

// The time stamp of a line "<ms> <tag><text>"; -1 for a name line.
qint64 StampOf(const QString& text) {
    bool ok = false;
    const qint64 ms = text.section(' ', 0, 0).toLongLong(&ok);
    return ok && text.contains(' ') ? ms : -1;
}

} // namespace

LinkLog::LinkLog(const QByteArray& bytes) {
    QStringList lines = QString::fromLatin1(bytes).split("\r\n");
    lines.removeLast(); // after the last end: "" or a line not yet ended
    for (const QString& line : lines) {
        const QString text = Unquoted(line);
        const qint64 ms = StampOf(text);
        entries_.append({ms, ms < 0 ? text : text.section(' ', 1)});
    }
}

qint64 LinkLog::StartMs() const {
    return entries_.isEmpty() ? -1 : entries_.first().ms;
}

QList<LogLine> LinkLog::Lines() const {
    QList<LogLine> lines;
    for (const Entry& entry : entries_) {
        if (entry.ms >= 0) {
            lines.append({entry.ms, entry.text});
        }
    }
    return lines;
}

QList<LoggedExchange> LinkLog::Exchanges() const {
    QList<LoggedExchange> exchanges;
    QString name;
    const auto frame = [](const Entry& entry) {
        return QByteArray::fromHex(entry.text.mid(2).toLatin1());
    };
    for (const Entry& entry : entries_) {
        if (entry.ms < 0) {
            name = entry.text; // the command's name before its frame
        } else if (!name.isEmpty()) {
            exchanges.append({name, entry.ms, frame(entry), {}, 0});
            name.clear();
        } else if (entry.text.startsWith("R ") && !exchanges.isEmpty()) {
            exchanges.last().reply = frame(entry);
            exchanges.last().replyMs = entry.ms;
        }
    }
    return exchanges;
}

QList<LoggedRequest> LinkLog::Requests() const {
    QList<LoggedRequest> requests;
    for (const LoggedExchange& exchange : Exchanges()) {
        requests.append({exchange.name, exchange.ms});
    }
    return requests;
}

bool LoggedExchange::Good() const {
    return reply.size() == comm::GetMsgLen(reply) + 2 &&
           comm::GetMsgHeader(reply) == comm::ReplyHeader &&
           comm::GetMsgByte2(reply) == comm::ReplyByte2 &&
           comm::ReplyCheckFailure(reply, request).isEmpty();
}

} // namespace staging
