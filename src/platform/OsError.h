#pragma once

namespace platform {

// The operating system's error code of the last failing platform call, captured at
// the call (errno can be overwritten by anything that runs after it).
int LastOsError();
void SetLastOsError(int code);

} // namespace platform
