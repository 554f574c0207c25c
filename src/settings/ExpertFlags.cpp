#include "settings/ExpertFlags.h"

#include "ecudata/ParamRecords.h"
#include "settings/ConfigLists.h"
#include "support/Conversions.h"

#include <algorithm>
#include <cmath>

namespace settings {

namespace {

constexpr qint16 NoEdit = -1;

} // namespace

qint16 ExpertFlagsBase(const ecudata::Mem3Rec& toWrite, const ecudata::Mem3Rec& asRead) {
    return toWrite.ExpertFlags != NoEdit ? toWrite.ExpertFlags : asRead.ExpertFlags;
}

qint16 ThresholdBits(double itemMs) {
    const double t = support::RoundHalfEven(itemMs * 1000);
    const double units = std::clamp(std::floor(t / 128), 0.0, 254.0);
    return qint16(int(units) & 254);
}

int ThresholdSelection(const QStringList& itemsUs, qint16 expertFlags, const QString& sep) {
    const double th = (expertFlags & 254) * 128.0;
    return th > 0 ? FirstNotBelow(itemsUs, th, sep) : -1;
}

} // namespace settings
