#include "ecudata/ZoneCodec.h"

#include "support/Conversions.h"

#include <algorithm>
#include <cmath>

namespace ecudata {

namespace {

// The digits padded on the right to width, or nothing when they are not hex.
bool PadDigits(const QString& hex, int width, QString& out) {
    if (hex.isEmpty()) {
        return false;
    }
    for (const QChar c : hex) {
        if (!c.isDigit() && !(c >= 'A' && c <= 'F') && !(c >= 'a' && c <= 'f')) {
            return false;
        }
    }
    out = hex.left(width).leftJustified(width, '0');
    return true;
}

quint32 PairsLowFirst(const QString& hex, int bytes) {
    QString digits;
    if (!PadDigits(hex, bytes * 2, digits)) {
        return 0;
    }
    quint32 value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = value * 256 + digits.mid(i * 2, 2).toUInt(nullptr, 16);
    }
    return value;
}

// Every field takes the nearest whole number (an exact half to the even one): the
// digit-wise converters would otherwise round some fractions and cut others (79.75
// gives 0x4F), and a value scaled back from the wire (2.048 / 0.008) may lie a hair
// below the whole number it came from.
QString Convert(double value, HexConv conv) {
    value = std::nearbyint(value);
    switch (conv) {
    case HexConv::Double:
        return support::DoubleToHex(value);
    case HexConv::Int16:
        return support::Int16ToHex(value);
    case HexConv::Int32:
        break;
    }
    return Int32ToHex(value);
}

double Clamp(double value, double low, double high) {
    if (std::isnan(value)) {
        return low;
    }
    return std::clamp(value, low, high);
}

// Signed fields stop at -32766: the 16-bit converter writes -32767 and below as -1.
void Range(HexConv conv, int bytes, double& low, double& high) {
    if (conv == HexConv::Int16) {
        low = -32766;
        high = 32767;
    } else {
        low = 0;
        high = bytes == 1 ? 255 : 65535;
    }
}

} // namespace

QByteArray ReplyData(const QByteArray& frame) {
    return frame.size() > 5 ? frame.mid(5, frame.size() - 6) : QByteArray();
}

quint8 ReplyCmd(const QByteArray& frame) {
    return frame.size() > 4 ? static_cast<quint8>(frame[3]) : 0;
}

quint8 HexToByte(const QString& hex) {
    return static_cast<quint8>(PairsLowFirst(hex, 1));
}

qint16 HexToInt16(const QString& hex) {
    return static_cast<qint16>(PairsLowFirst(hex, 2));
}

qint32 HexToUInt16(const QString& hex) {
    return static_cast<qint32>(PairsLowFirst(hex, 2));
}

double HexToUInt32(const QString& hex) {
    return PairsLowFirst(hex, 4);
}

QString Int32ToHex(double value) {
    if (std::isnan(value) || value > 2147483647.0 || value < -2147483647.0) {
        return "0";
    }
    const auto n = static_cast<qint64>(std::nearbyint(value));
    return QString::number(static_cast<quint32>(n), 16).toUpper().rightJustified(8, '0');
}

quint8 SignedToByte(int v) {
    if (v < -128 || v > 127) {
        return 0;
    }
    return static_cast<quint8>(v & 0xFF);
}

qint16 ByteToSigned(quint8 b) {
    return b <= 127 ? b : static_cast<qint16>(b - 256);
}

QString HexReader::Take(int digits) {
    const QString field = hex_.mid(pos_, digits);
    pos_ += digits;
    return field;
}

void HexWriter::Byte(double value, HexConv conv) {
    double low = 0;
    double high = 0;
    Range(conv, 1, low, high);
    hex_ += ("00" + Convert(Clamp(value, low, high), conv)).right(2);
}

void HexWriter::Word(double value, HexConv conv) {
    double low = 0;
    double high = 0;
    Range(conv, 2, low, high);
    hex_ += support::SwapHexBytes(("0000" + Convert(Clamp(value, low, high), conv)).right(4));
}

void HexWriter::Long(double value) {
    hex_ += support::SwapHexBytes(Int32ToHex(value).rightJustified(8, '0'));
}

} // namespace ecudata
