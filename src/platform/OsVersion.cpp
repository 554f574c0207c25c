#include "platform/OsVersion.h"

#include <QSysInfo>

namespace platform {

bool QueryOsVersion(OsVersion& out) {
    out.Name = QSysInfo::prettyProductName();
    out.Version = QSysInfo::kernelVersion();
    out.Build.clear(); // no build number beside the kernel release
    return !out.Name.isEmpty();
}

} // namespace platform
