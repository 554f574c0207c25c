#include "platform/OsError.h"

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

} // namespace platform
