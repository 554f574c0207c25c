#pragma once

namespace platform {

// The operating system's error code of the last failing platform call, captured at
// the call (errno can be overwritten by anything that runs after it).
int LastOsError();
void SetLastOsError(int code);

// The error of a call on a device that is no longer there (unplugged, its line hung
// up): nothing comes from that descriptor again. Transient errors (EAGAIN, EINTR) and
// time-outs are not such.
bool DeviceGone(int code);

} // namespace platform
