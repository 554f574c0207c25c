#pragma once

#include <QString>

namespace platform {

// Copies a file over any existing target. The target is replaced in one step, so it is
// either the old file or the whole copy, never half of one.
bool CopyFileOverwrite(const QString& from, const QString& to);

} // namespace platform
