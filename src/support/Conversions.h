#pragma once

// Conversions between byte strings, hex strings, numbers and fixed-point text.
//
// Byte strings (frames, zone images on the wire) are QByteArray, one byte per element.
// Hex strings are QString with two upper-case hex digits per byte, most significant
// digit first. Numbers in the program's own files carry a comma as their only decimal
// mark, whatever the locale.

#include <QByteArray>
#include <QString>
#include <optional>

namespace support {

// Odd-length text gets a "0" in front, written back into hex. Any pair that is not a
// hex number gives an empty result.
QByteArray HexToByteStr(QString& hex);

QString ByteStrToHex(const QByteArray& bytes);

// Hex digits of a value of 0 and above, padded to an even length ("00" for 0).
// A negative value gives "".
QString DoubleToHex(double value);

// A 16-bit word: unpadded for positive values ("A"), four-digit two's complement for
// negative ones; at or beyond +/-32767 it saturates to "7FFF" / "FFFF".
QString Int16ToHex(double value);

// The same byte pairs in reverse order ("1234" -> "3412"; odd length padded first).
QString SwapHexBytes(QString hex);

// Locale-free parse: only digits, "-" (anywhere, negates) and "," (decimal mark).
// Anything else, or no digit at all, gives 0.
double ParseNumber(QString text);

// floor(value * 10^decimals) as text with at least width digits before decimalSep.
// decimals < 0 and width < 1 are corrected in the caller's variables.
QString FormatFixed(double value, int& decimals, int& width, const QString& decimalSep);

// FormatFixed of count / scale (scale > 0) with width 1, in exact integer arithmetic: a
// stored count such as 1050 thousandths gives "1.05", never the "1.04" of its binary
// fraction. decimals is taken within 0..6; counts stay exact up to 10^12 in size.
QString FormatFixedCount(qint64 count, qint64 scale, int decimals, const QString& decimalSep);

// A number by the locale's rules: blanks around it, an optional sign, digits with at
// most one decimal separator ("." when decimalSep is empty). Nothing otherwise.
std::optional<double> LocaleNumber(const QString& text, const QString& decimalSep);

// A number in one of the program's data files, written on any machine: as LocaleNumber
// with either "," or "." as decimal mark ("0,5" and "0.5" are both 0.5). Nothing when
// it is no number.
std::optional<double> DataFileNumber(const QString& text);

// A number as the locale writes it in general form: whole numbers without decimals,
// fractions with up to 15 significant digits and decimalSep ("." when empty); never an
// exponent.
QString GeneralNumberText(double value, const QString& decimalSep);

// The nearest whole number; an exact half goes to the even one.
double RoundHalfEven(double value);

} // namespace support
