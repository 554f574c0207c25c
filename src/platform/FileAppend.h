#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace platform {

// Appends the bytes to the file (created when missing) with one open, write and
// close, and gives the file's size after it; none when the file cannot be opened or
// written. Cheap enough for a log that gets a line every few milliseconds.
std::optional<qint64> AppendToFile(const QString& path, const QByteArray& bytes);

} // namespace platform
