#pragma once

// The program's data files are 8-bit text in the Windows-1252 code page.

#include <QByteArray>
#include <QString>

namespace support {

QString DecodeCp1252(const QByteArray& bytes);

// Characters outside the code page become "?".
QByteArray EncodeCp1252(const QString& text);

} // namespace support
