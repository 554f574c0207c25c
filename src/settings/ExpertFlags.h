#pragma once

// The arithmetic of the expert settings: the zone-3 expert-flags byte (bit 0 the
// minimum-rpm function, bits 1 to 7 the maximum-power injection-time threshold in 128 us
// units) and the threshold list.

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace ecudata {
struct Mem3Rec;
}

namespace settings {

// The expert flags an edit starts from: the pending edit when there is one, else the
// record as read.
qint16 ExpertFlagsBase(const ecudata::Mem3Rec& toWrite, const ecudata::Mem3Rec& asRead);

// Bits 1 to 7 for a threshold item in ms: t = item x 1000 us rounded half to even,
// Int(t / 128) at most 254, bit 0 clear.
qint16 ThresholdBits(double itemMs);

// The threshold item (list of us values) for the expert flags: the first not below
// (flags AND 254) x 128; -1 for a threshold of 0 or none not below it.
int ThresholdSelection(const QStringList& itemsUs, qint16 expertFlags, const QString& decimalSep);

} // namespace settings
