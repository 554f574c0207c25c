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

std::optional<double> LocaleNumber(const QString& text, const QString& decimalSep) {
    const QString sep = decimalSep.isEmpty() ? QStringLiteral(".") : decimalSep;
    QString t = text.trimmed();
    bool negative = false;
    if (t.startsWith(u'+') || t.startsWith(u'-')) {
        negative = t.startsWith(u'-');
        t.remove(0, 1);
    }
    const qsizetype sepAt = t.indexOf(sep);
    QString whole = sepAt < 0 ? t : t.left(sepAt);
    QString fraction = sepAt < 0 ? QString() : t.mid(sepAt + sep.size());
    const auto allDigits = [](const QString& s) {
        return std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    if (whole.isEmpty() && fraction.isEmpty()) {
        return std::nullopt;
    }
    if (!allDigits(whole) || !allDigits(fraction)) {
        return std::nullopt;
    }
    const double value =
        QString(whole + u'.' + fraction + u'0').toDouble(); // "5." and ".5" read as well
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

double RoundHalfEven(double value) {
    const double down = std::floor(value);
    const double rest = value - down;
    if (rest > 0.5) {
        return down + 1;
    }
    if (rest < 0.5) {
        return down;
    }
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
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
