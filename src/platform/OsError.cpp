#include "platform/OsError.h"

#include <cerrno>

namespace platform {

namespace {
thread_local int lastError = 0;
}

int LastOsError() {
    return lastError;
}
void SetLastOsError(int code) {
    lastError = code;
}

bool DeviceGone(int code) {
    return code == EIO || code == ENXIO || code == ENODEV;
}

} // namespace platform
