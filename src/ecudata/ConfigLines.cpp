#include "ecudata/ConfigLines.h"

#include "support/DataFiles.h"

#include <algorithm>
#include <cmath>

namespace ecudata {

namespace {

constexpr qint64 ErrOverflow = 6;
constexpr qint64 ErrTypeMismatch = 13;
constexpr qint64 ErrPastEndOfFile = 62;

QString LineText(qsizetype lineIndex, const QString& line) {
    return QStringLiteral(" (line %1: \"%2\")").arg(lineIndex + 1).arg(line);
}

} // namespace

QString ConfigScalePath(const QString& appFolder) {
    return appFolder + QStringLiteral("/LNG/ConfigScale.ini");
}

QStringList ReadConfigScaleLines(const QString& appFolder) {
    return support::ReadDataFileLines(ConfigScalePath(appFolder));
}

support::ErrObject TypeMismatch(qsizetype lineIndex, const QString& line) {
    return {ErrTypeMismatch, QStringLiteral("Type mismatch") + LineText(lineIndex, line)};
}

support::ErrObject Overflow(qsizetype lineIndex, const QString& line) {
    return {ErrOverflow, QStringLiteral("Overflow") + LineText(lineIndex, line)};
}

support::ErrObject PastEndOfFile(qsizetype keyLineIndex, const QString& keyLine) {
    return {ErrPastEndOfFile,
            QStringLiteral("Input past end of file") + LineText(keyLineIndex, keyLine)};
}

} // namespace ecudata
