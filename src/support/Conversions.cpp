#include "support/Conversions.h"

#include <algorithm>
#include <cmath>

namespace support {

namespace {

const char HexDigits[] = "0123456789ABCDEF";

int HexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') {
        return u - '0';
    }
    if (u >= 'A' && u <= 'F') {
        return u - 'A' + 10;
    }
    if (u >= 'a' && u <= 'f') {
        return u - 'a' + 10;
    }
    return -1;
}

// Digits by repeated division by 16; a remainder below 15 is rounded half to even,
// anything from 15 up is "F". Unpadded.
QString HexDigitsOf(double value) {
    QString result;
    double q = 0;
    do {
        q = std::floor(value / 16.0);
        const double r = value - 16.0 * q;
        result.prepend(r < 15.0 ? QChar(HexDigits[static_cast<int>(std::nearbyint(r))]) : 'F');
        value = q;
    } while (q > 0);
    return result;
}

} // namespace

QByteArray HexToByteStr(QString& hex) {
    if (hex.size() % 2 != 0) {
        hex.prepend('0');
    }
    QByteArray bytes;
    bytes.reserve(hex.size() / 2);
    for (qsizetype i = 0; i < hex.size(); i += 2) {
        const int high = HexValue(hex[i]);
        const int low = HexValue(hex[i + 1]);
        if (high < 0 || low < 0) {
            return {};
        }
        bytes.append(static_cast<char>(high * 16 + low));
    }
    return bytes;
}

QString ByteStrToHex(const QByteArray& bytes) {
    QString hex;
    hex.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        hex.append(QChar(HexDigits[b >> 4])).append(QChar(HexDigits[b & 0x0F]));
    }
    return hex;
}

QString DoubleToHex(double value) {
    if (!std::isfinite(value) || value < 0) {
        return {};
    }
    QString hex = HexDigitsOf(value);
    if (hex.size() % 2 != 0) {
        hex.prepend('0');
    }
    return hex;
}

QString Int16ToHex(double value) {
    if (std::isnan(value)) {
        return {};
    }
    if (value >= 32767) {
        return "7FFF";
    }
    if (value <= -32767) {
        return "FFFF";
    }
    if (value == 0) {
        return "0000";
    }
    if (value > 0) {
        return HexDigitsOf(value);
    }
    QString hex = HexDigitsOf(value + 32768).rightJustified(4, '0');
    hex[0] = QChar(HexDigits[HexValue(hex[0]) + 8]);
    return hex;
}

QString SwapHexBytes(QString hex) {
    if (hex.size() % 2 != 0) {
        hex.prepend('0');
    }
    QString swapped;
    swapped.reserve(hex.size());
    for (qsizetype i = hex.size() - 2; i >= 0; i -= 2) {
        swapped.append(hex.mid(i, 2));
    }
    return swapped;
}

double ParseNumber(QString text) {
    while (text.startsWith(' ')) {
        text.remove(0, 1);
    }
    while (text.endsWith(' ')) {
        text.chop(1);
    }
    QString digits;
    bool negative = false;
    qsizetype decimals = 0;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        const QChar c = text[i];
        if (c == '-') {
            negative = true;
        } else if (c == ',') {
            decimals = text.size() - 1 - i;
        } else if (c >= '0' && c <= '9') {
            digits.prepend(c);
        } else {
            return 0;
        }
    }
    if (digits.isEmpty()) {
        return 0;
    }
    double value = digits.toDouble();
    if (negative) {
        value = -value;
    }
    if (decimals > 0) {
        value /= std::pow(10.0, static_cast<double>(decimals));
    }
    return std::isfinite(value) ? value : 0;
}

namespace {

// The text of a floored, scaled value given as the digits of its magnitude.
QString FixedText(QString digits, bool negative, int decimals, int width,
                  const QString& decimalSep) {
    digits = digits.rightJustified(decimals + width, '0');
    if (decimals > 0) {
        digits.insert(digits.size() - decimals, decimalSep);
    }
    if (negative) {
        digits.prepend('-');
    }
    return digits;
}

} // namespace

QString FormatFixed(double value, int& decimals, int& width, const QString& decimalSep) {
    if (width < 1) {
        width = 1;
    }
    if (decimals < 0) {
        decimals = 0;
    }
    // Floor in double, digits from the floored value: no 32-bit range to overflow.
    const double scaled = std::floor(value * std::pow(10.0, decimals));
    if (!std::isfinite(scaled)) {
        return {};
    }
    return FixedText(QString::number(std::fabs(scaled), 'f', 0), scaled < 0, decimals, width,
                     decimalSep);
}

QString FormatFixedCount(qint64 count, qint64 scale, int decimals, const QString& decimalSep) {
    decimals = std::clamp(decimals, 0, 6);
    qint64 shifted = count;
    for (int i = 0; i < decimals; ++i) {
        shifted *= 10;
    }
    // Integer division truncates toward zero; the floor is one lower for a negative
    // value with a remainder.
    qint64 floored = shifted / scale;
    if (shifted % scale != 0 && shifted < 0) {
        --floored;
    }
    const quint64 magnitude = floored < 0 ? quint64(0) - quint64(floored) : quint64(floored);
    return FixedText(QString::number(magnitude), floored < 0, decimals, 1, decimalSep);
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

std::optional<double> DataFileNumber(const QString& text) {
    const std::optional<double> comma = LocaleNumber(text, QStringLiteral(","));
    return comma ? comma : LocaleNumber(text, QStringLiteral("."));
}

QString GeneralNumberText(double value, const QString& decimalSep) {
    if (value == 0) {
        value = 0; // no "-0"
    }
    QString text = QString::number(value, 'g', 15);
    if (text.contains(u'e')) {
        text = QString::number(value, 'f', 15);
        while (text.endsWith(u'0')) {
            text.chop(1);
        }
        if (text.endsWith(u'.')) {
            text.chop(1);
        }
    }
    return text.replace(u'.', decimalSep.isEmpty() ? QStringLiteral(".") : decimalSep);
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

} // namespace support
