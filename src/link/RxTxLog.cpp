#include "link/RxTxLog.h"

#include "link/Frames.h"
#include "platform/FileAppend.h"
#include "support/Clock.h"
#include "support/FileWriter.h"

#include <QFile>
#include <algorithm>
#include <cmath>

namespace comm {

namespace {

const QByteArray LineEnd = "\r\n";

QByteArray Quoted(const QString& text) {
    return '"' + text.toLatin1() + '"' + LineEnd;
}

// The name line of a request frame in hex; "" for any other text.
QString NameLine(const QString& text) {
    bool isHex = false;
    const uint header = text.left(2).toUInt(&isHex, 16);
    if (text.size() < 2 || !isHex || header != ReqHeader) {
        return {};
    }
    bool codeOk = false;
    const uint code = text.mid(6, 2).toUInt(&codeOk, 16);
    // A truncated frame has no command byte to name; it still gets its line.
    return CmdName(codeOk ? static_cast<quint8>(code) : 0);
}

} // namespace

QString RxTxLogPath(const QString& appFolder) {
    return appFolder + "/BIN/RxTx.TXT";
}

QString HandleFilePath(const QString& appFolder) {
    return appFolder + "/BIN/Handle.ini";
}

qint64 RxTxLogBound::DefaultLimitBytes() {
    constexpr qint64 Limit = 64LL * 1024 * 1024;
    bool ok = false;
    const qint64 wanted = qEnvironmentVariable("LX735_RXTX_LIMIT_BYTES").toLongLong(&ok);
    return ok && wanted > 0 ? std::min(wanted, Limit) : Limit;
}

void WriteRxTxLog(const QString& appFolder, const QString& tag, const QString& text,
                  RxTxLogBound* bound) {
    const QString name = NameLine(text);
    // Milliseconds rounded half to even (the default rounding mode).
    const auto ms = static_cast<qint64>(std::nearbyint(support::GetTimeUsec() / 1000.0));
    QByteArray bytes;
    if (!name.isEmpty()) {
        bytes += Quoted(name);
    }
    bytes += Quoted(QString::number(ms) + " " + tag + text);
    static platform::FileAppender log;
    const QString path = RxTxLogPath(appFolder);
    const platform::AppendResult appended = log.Append(path, bytes);
    if (!appended.stoppedWhy.isEmpty() && bound && bound->Stopped) {
        bound->Stopped(path, appended.stoppedWhy);
    }
    if (!appended.size) {
        return;
    }
    const qint64 size = *appended.size;
    if (bound && bound->Restart && !bound->HoldRestart && size > bound->LimitBytes &&
        size > bound->NextTryBytes) {
        bound->NextTryBytes = bound->Restart() ? 0 : size + bound->LimitBytes;
    }
}

QString LogHex(qint64 value) {
    const auto word = static_cast<quint32>(value);
    return QString::number(word, 16).toUpper();
}

bool WriteHandleFile(const QString& appFolder, qint32 handle) {
    return support::WriteWholeFile(HandleFilePath(appFolder), QByteArray::number(handle) + LineEnd);
}

bool ClearHandleFile(const QString& appFolder) {
    const QString path = HandleFilePath(appFolder);
    return !QFile::exists(path) || support::WriteWholeFile(path, LineEnd);
}

bool ReadHandleFile(const QString& appFolder, qint32& handle, QString& errorText) {
    QFile file(HandleFilePath(appFolder));
    if (!file.exists()) {
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        errorText = file.errorString();
        return false;
    }
    // The first item: the text up to the first comma or line end.
    const QByteArray line = file.readLine();
    const QByteArray item = line.split(',').value(0).trimmed();
    bool ok = false;
    const qint32 value = item.toInt(&ok);
    if (!ok || value <= 0) {
        return false;
    }
    handle = value;
    return true;
}

} // namespace comm
