#pragma once

#include "support/Conversions.h"

// What the readers of LNG/ConfigScale.ini share: the file's lines and the conversions
// of its value lines. Numbers are read with either decimal mark ("0,5" or "0.5",
// support::DataFileNumber), so the file reads the same under every locale.

#include "support/ErrorBox.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace ecudata {

QString ConfigScalePath(const QString& appFolder);

// The file's lines, plain or scrambled; none when the file is missing or unreadable.
QStringList ReadConfigScaleLines(const QString& appFolder);

using support::LocaleNumber;
using support::RoundHalfEven;

// The errors a reader reports for a value line (numbered as the runtime numbers them),
// naming the line (1-based) so the installer can find it.
support::ErrObject TypeMismatch(qsizetype lineIndex, const QString& line);
support::ErrObject Overflow(qsizetype lineIndex, const QString& line);
support::ErrObject PastEndOfFile(qsizetype keyLineIndex, const QString& keyLine);

} // namespace ecudata
