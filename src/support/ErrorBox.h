#pragma once

#include <QString>

namespace support {

// The error a caller trapped: its number and description.
struct ErrObject {
    qint64 Number = 0;
    QString Description;
};

// The one error box: "<context>Error<tag>:" and, unless the number is 0 (or 3146 for
// a trapped error), the number and description on a second line. With useSystemError
// the number is the operating system's last error code and the description is empty.
void ShowErrorBox(const QString& tag, const QString& context, bool useSystemError,
                  const ErrObject& trapped = {});

} // namespace support
