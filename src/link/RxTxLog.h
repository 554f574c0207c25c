#pragma once

// The link log BIN/RxTx.TXT and the port-handle file BIN/Handle.ini below the
// application folder. The log gets one quoted line per frame, state change and
// failed port call; it is opened and closed for every line and never reports an
// error, so that logging cannot disturb the link.

#include <QString>
#include <QtGlobal>

namespace comm {

QString RxTxLogPath(const QString& appFolder);
QString HandleFilePath(const QString& appFolder);

// Appends "<ms> <tag><text>" in quotes; a request frame in hex (text beginning "41")
// gets a quoted line with its command's name first.
void WriteRxTxLog(const QString& appFolder, const QString& tag, const QString& text);

// The number as the failed-call lines write it: upper-case hex without leading
// zeros, a negative number as its eight-digit two's complement.
QString LogHex(qint64 value);

// Replaces the port-handle file with the handle's line.
void WriteHandleFile(const QString& appFolder, qint32 handle);
// Replaces an existing port-handle file with one empty line; a missing file stays so.
void ClearHandleFile(const QString& appFolder);
// The handle the file records: True with a number above 0, False for a missing file,
// an empty line or anything that is not such a number. errorText is set when the
// file exists but cannot be read.
bool ReadHandleFile(const QString& appFolder, qint32& handle, QString& errorText);

} // namespace comm
