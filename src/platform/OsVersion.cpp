#include "platform/OsVersion.h"

#include <QSysInfo>

namespace platform {

bool QueryOsVersion(OsVersion& out) {
    out.Name = QSysInfo::prettyProductName();
    out.Version = QSysInfo::kernelVersion();
    out.Build = QSysInfo::kernelType();
    return !out.Name.isEmpty();
}

} // namespace platform
