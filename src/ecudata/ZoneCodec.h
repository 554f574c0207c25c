#pragma once

// Field codecs of the ECU's memory zones. A zone payload is walked as hex text (two
// upper-case digits per byte); 16- and 32-bit fields travel low byte first, signed
// fields in two's complement. Empty or non-hex text decodes to 0.

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <utility>

namespace ecudata {

// The data part of a reply frame: the bytes after the status byte, without the
// checksum; empty for a frame of 5 bytes or fewer.
QByteArray ReplyData(const QByteArray& frame);

// The command byte of a reply frame (0 when the frame is too short to hold one).
quint8 ReplyCmd(const QByteArray& frame);

// First two digits; a missing digit counts as 0 ("A" is 0xA0).
quint8 HexToByte(const QString& hex);
// Four digits, low byte first, as a signed 16-bit value ("FFFF" is -1).
qint16 HexToInt16(const QString& hex);
// Four digits, low byte first, 0..65535.
qint32 HexToUInt16(const QString& hex);
// Eight digits, low byte first, 0..4294967295.
double HexToUInt32(const QString& hex);

// Eight digits, most significant byte first, of the value rounded half to even;
// "0" beyond +/-2147483647.
QString Int32ToHex(double value);

// -128..127 to the byte of its two's complement; anything else gives 0.
quint8 SignedToByte(int v);
// 0..127 unchanged, 128..255 less 256.
qint16 ByteToSigned(quint8 b);

// Walks a zone payload field by field from its first digit. Reads beyond the end give
// the short or empty text, which the decoders read as 0.
class HexReader {
public:
    explicit HexReader(QString hex) : hex_(std::move(hex)) {}

    quint8 Byte() { return HexToByte(Take(2)); }
    qint16 Int16() { return HexToInt16(Take(4)); }
    qint32 UInt16() { return HexToUInt16(Take(4)); }
    double UInt32() { return HexToUInt32(Take(8)); }
    // Digits of the payload (two per byte).
    qsizetype Size() const { return hex_.size(); }

private:
    QString Take(int digits);

    QString hex_;
    qsizetype pos_ = 0;
};

// How a field's value becomes hex digits before it is cut to the field's width.
enum class HexConv {
    Double, // support::DoubleToHex (non-negative values)
    Int16,  // support::Int16ToHex (signed 16-bit)
    Int32,  // Int32ToHex (rounds half to even)
};

// Builds a zone payload field by field, low byte first. Values are brought into the
// field's range before they are converted, so that an out-of-range value never wraps
// into a different one.
class HexWriter {
public:
    void Byte(double value, HexConv conv = HexConv::Int32);
    void Word(double value, HexConv conv = HexConv::Int32);
    void Long(double value);
    // Digits that are already in wire order.
    void Raw(const QString& hex) { hex_ += hex; }
    const QString& Text() const { return hex_; }

private:
    QString hex_;
};

} // namespace ecudata
