#pragma once

namespace platform {

// The short warning sound (the desktop's bell).
void Beep();

} // namespace platform
