#pragma once

// The pure parts of the update's parameter handling: the fix-ups that bring the
// records read from an ECU with old firmware into the form the new firmware expects,
// and the test record's write payload taken from the read reply frame.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace ecudata {
struct Mem2Rec;
struct Mem3Rec;
} // namespace ecudata

namespace firmware {

// Firmware dated up to 27/07/2007: zone 2's flag bit 3 cleared and zone 3's expert
// options reset to bit 0 kept and bits 2, 4, 5, 6 set. Firmware dated up to 21/07/2008:
// the change-over speed as a period count of the ECU clock. An unknown version (0)
// changes nothing.
void FixUpSavedRecords(ecudata::Mem2Rec& mem2, ecudata::Mem3Rec& mem3, qint16 ecuVersNum,
                       const QString& ecuDate);

// The change-over period count for a change-over speed (rpm) and an ECU clock: the clock
// divided by the speed rounded to a whole number, rounded down; -1 (none) for a speed of
// 0 or a count that does not fit 16 bits.
double SwitchRpmPeriodFor(double switchRpm, qint32 rpmClock);

// Bytes 6..21 of the reply frame right-aligned in 22 bytes (NUL-filled on the left): the
// 16 data bytes of a whole 22-byte reply.
QByteArray DcolWritePayload(const QByteArray& replyFrame);

} // namespace firmware
