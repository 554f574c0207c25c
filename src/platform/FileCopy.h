#pragma once

#include <QString>

namespace platform {

// Copies a file over any existing target, streaming it in chunks (a file of any size
// costs the same memory). The target is replaced in one step, once the whole copy is
// flushed and checked, so it is either the old file or the whole copy, never half of
// one. False with why set (the system's text) when the copy failed.
bool CopyFileOverwrite(const QString& from, const QString& to, QString* why = nullptr);

// Renames a file over any existing file in the same file system, in one step; False
// (nothing changed) when it cannot, e.g. when the target is a folder.
bool MoveFileOverwrite(const QString& from, const QString& to);

} // namespace platform
