#pragma once

// The link log BIN/RxTx.TXT and the port-handle file BIN/Handle.ini below the
// application folder. The log gets one quoted line per frame, state change and
// failed port call; every line goes to the file at that path at that moment (it is
// kept open only while it stays there). Logging never disturbs the link: a log that
// cannot be opened is passed over, and a write error (a full disk) stops the log, told
// once through the bound, until a fresh log stands at the path.

#include <QString>
#include <QtGlobal>
#include <functional>

namespace comm {

QString RxTxLogPath(const QString& appFolder);
QString HandleFilePath(const QString& appFolder);

// The log's size bound: once the log passes LimitBytes it is started afresh through
// Restart (wired by the program: the old log is kept as RxTx_Last.TXT and the new one
// begins with its header), so the two files together stay bounded. It also carries the
// word of a stop.
struct RxTxLogBound {
    // 64 MiB; LX735_RXTX_LIMIT_BYTES (a test switch) lowers it.
    static qint64 DefaultLimitBytes();

    qint64 LimitBytes = DefaultLimitBytes();
    // Set while the signal viewer records (Run to Stop): the restart waits until it is
    // cleared, so a recording never loses the log it is reading.
    bool HoldRestart = false;
    std::function<bool()> Restart;
    // After a restart that failed, the next try waits for another LimitBytes of log.
    qint64 NextTryBytes = 0;
    // Told once, with the log's path and the reason, when a write error stops the log
    // (called in the middle of the link's work: it must not wait on the installer).
    std::function<void(const QString& path, const QString& why)> Stopped;
};

// Appends "<ms> <tag><text>" in quotes; a request frame in hex (text beginning "41")
// gets a quoted line with its command's name first. With a bound, a log past its limit
// is restarted after the line, and a write error that stops the log is told to it.
void WriteRxTxLog(const QString& appFolder, const QString& tag, const QString& text,
                  RxTxLogBound* bound = nullptr);

// The number as the failed-call lines write it: upper-case hex without leading
// zeros, a negative number as its eight-digit two's complement.
QString LogHex(qint64 value);

// Replaces the port-handle file with the handle's line; False when it could not (the old
// file stays).
bool WriteHandleFile(const QString& appFolder, qint32 handle);
// Replaces an existing port-handle file with one empty line; a missing file stays so.
// False when it could not (the old file stays).
bool ClearHandleFile(const QString& appFolder);
// The handle the file records: True with a number above 0, False for a missing file,
// an empty line or anything that is not such a number. errorText is set when the
// file exists but cannot be read.
bool ReadHandleFile(const QString& appFolder, qint32& handle, QString& errorText);

} // namespace comm
