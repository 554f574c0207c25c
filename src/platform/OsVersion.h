#pragma once

#include <QString>

namespace platform {

// What the About box shows of the operating system: the distribution's name and the
// kernel's version.
struct OsVersion {
    QString Name;    // "Debian GNU/Linux 12 (bookworm)"
    QString Version; // kernel release, "6.1.0-18-amd64"
    QString Build;   // a build number, where the system has one
};

bool QueryOsVersion(OsVersion& out);

} // namespace platform
