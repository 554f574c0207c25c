#include "firmware/UpdateFixUps.h"

#include "ecudata/ParamRecords.h"
#include "support/FileRoutines.h"

#include <cmath>

namespace firmware {

namespace {

const QString OldOptionsDate = QStringLiteral("27/07/2007");
const QString OldSwitchDate = QStringLiteral("21/07/2008");
constexpr quint8 OldOptionFlag = 0x08;
constexpr qint16 ExpertFlagsKept = 0x01;
constexpr qint16 ExpertFlagsSet = 0x74;
constexpr int DcolFrameSize = 22;
constexpr int DcolDataFrom = 5; // 0-based: after "B" 0x01 LEN CMD STATUS
constexpr int DcolDataSize = 16;

} // namespace

void FixUpSavedRecords(ecudata::Mem2Rec& mem2, ecudata::Mem3Rec& mem3, qint16 ecuVersNum,
                       const QString& ecuDate) {
    if (ecuVersNum <= 0) {
        return;
    }
    if (!support::IsDateNewer(ecuDate, OldOptionsDate)) {
        mem2.Flags &= static_cast<quint8>(~OldOptionFlag);
        mem3.ExpertFlags =
            static_cast<qint16>((mem3.ExpertFlags & ExpertFlagsKept) | ExpertFlagsSet);
    }
    if (!support::IsDateNewer(ecuDate, OldSwitchDate)) {
        mem2.SwitchRpmPeriod = SwitchRpmPeriodFor(mem3.SwitchRpm, ecudata::GetRpmClock(mem2.Flags));
    }
}

double SwitchRpmPeriodFor(double switchRpm, qint32 rpmClock) {
    const double n = std::nearbyint(switchRpm);
    if (n == 0 || !std::isfinite(n)) {
        return -1;
    }
    const double q = std::floor(rpmClock / n);
    return q <= 65535 ? q : -1;
}

QByteArray DcolWritePayload(const QByteArray& replyFrame) {
    QByteArray field = replyFrame.right(DcolFrameSize);
    field.prepend(QByteArray(DcolFrameSize - field.size(), '\0'));
    return field.mid(DcolDataFrom, DcolDataSize);
}

} // namespace firmware
