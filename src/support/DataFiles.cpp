#include "support/DataFiles.h"

#include "support/Clock.h"
#include "support/Codepage.h"
#include "support/FileRoutines.h"
#include "support/MessageBox.h"

#include <QFile>
#include <QSet>
#include <algorithm>
#include <optional>

namespace support {

namespace {

const QString HeaderWord = QStringLiteral("VESTRAGON");
const QString BoxTitle = QStringLiteral("FileExist");
constexpr int DigitsPerGroup = 4;
constexpr int HighestCode = 255;

// The whole file in one read, split at CR LF only (a lone CR or LF stays in its line).
// Nothing when the file cannot be read; an empty file gives no line.
std::optional<QStringList> ReadLines(const QString& path) {
    if (!IsFilePresent(path)) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = file.read(file.size());
    if (bytes.size() != file.size()) {
        return std::nullopt;
    }
    if (bytes.isEmpty()) {
        return QStringList();
    }
    return DecodeCp1252(bytes).split(QStringLiteral("\r\n"));
}

// The largest group value: the header's half, fraction kept, stays within the code page;
// a data line's group stands for its half with the remainder dropped.
constexpr int MaxHeaderGroup = 2 * HighestCode;
constexpr int MaxDataGroup = 2 * HighestCode + 1;

// A scrambled line in plain text; nothing when a group is not a decimal number or is
// above maxGroup.
std::optional<QString> Unscramble(const QString& line, int maxGroup) {
    QString reversed = line;
    std::reverse(reversed.begin(), reversed.end());
    QByteArray codes;
    codes.reserve(reversed.size() / DigitsPerGroup + 1);
    for (qsizetype start = 0; start < reversed.size(); start += DigitsPerGroup) {
        int value = 0;
        for (const QChar c : QStringView(reversed).mid(start, DigitsPerGroup)) {
            if (c < u'0' || c > u'9') {
                return std::nullopt;
            }
            value = value * 10 + (c.unicode() - u'0');
        }
        if (value > maxGroup) {
            return std::nullopt;
        }
        codes.append(static_cast<char>(value / 2));
    }
    return DecodeCp1252(codes);
}

// A damaged file is told once a run: several readers read the same file.
void ReportDamagedFile(const QString& path, const QString& text) {
    static QSet<QString> reported;
    if (!reported.contains(path)) {
        reported.insert(path);
        MsgBox(text, vbInformation, BoxTitle);
    }
}

bool IsHeader(const QString& line) {
    const std::optional<QString> plain = Unscramble(line, MaxHeaderGroup);
    return plain && *plain == HeaderWord;
}

} // namespace

QStringList ReadPlainFile(const QString& path) {
    return ReadLines(path).value_or(QStringList());
}

bool IsScrambledFile(const QString& path) {
    const std::optional<QStringList> lines = ReadLines(path);
    if (!lines) {
        return false;
    }
    CurrentTimeSource().PumpEvents();
    return !lines->isEmpty() && IsHeader(lines->first());
}

QStringList ReadScrambledFile(const QString& path) {
    const std::optional<QStringList> lines = ReadLines(path);
    if (!lines) {
        return {};
    }
    CurrentTimeSource().PumpEvents();
    if (lines->isEmpty() || !IsHeader(lines->first())) {
        ReportDamagedFile(path, QStringLiteral("HEADER WRONG "));
        return {};
    }
    QStringList result;
    result.reserve(lines->size() - 1);
    for (qsizetype i = 1; i < lines->size(); ++i) {
        std::optional<QString> plain = Unscramble(lines->at(i), MaxDataGroup);
        if (!plain) {
            // A damaged line would give wrong values further up: read nothing instead.
            ReportDamagedFile(path,
                              QStringLiteral("DAMAGED FILE: %1 (line %2)").arg(path).arg(i + 1));
            return {};
        }
        result.append(std::move(*plain));
    }
    return result;
}

QStringList ReadDataFileLines(const QString& path) {
    if (!IsFilePresent(path)) {
        return {};
    }
    return IsScrambledFile(path) ? ReadScrambledFile(path) : ReadPlainFile(path);
}

} // namespace support
