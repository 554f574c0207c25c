#pragma once

// Link-log lines for the viewer's tests, built as the link layer writes them.

#include "ecudata/ConfigScale.h"

#include <QByteArray>
#include <QString>

namespace viewer_test {

// A CMD_READ_MEM1 reply frame (status 0, 91 data bytes) with the data bytes given at
// their offsets, the rest zero; as upper-case hex.
QString ReplyHex(const QByteArray& data);

// The 91 data bytes with the rpm period word (data offset 64) and the gas time of
// injector 1 (offset 14, element 0 travels last) set.
QByteArray LiveData(quint16 period, qint16 gasTime = 0);

// A quoted log line "<ms> <tag> <text>" with CR LF.
QByteArray LogLine(qint64 ms, const QString& tag, const QString& text);

// Scale constants with distinct values, so that a field decoded with the wrong one shows.
ecudata::ConfigScale TestScale();

} // namespace viewer_test
