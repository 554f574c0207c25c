#pragma once

#include "support/Conversions.h"

// What the readers of LNG/ConfigScale.ini share: the file's lines and the conversions
// of its value lines. Numbers of the scale keys and the calibration block carry a comma
// as decimal mark (support::ParseNumber); the record blocks are written by the locale's
// rules, whose decimal separator the caller passes (the program's DecimalSep).

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
