// lx735-make-firmware [options] OUTPUT: writes a firmware image in the program's form,
// Motorola S2 records (24-bit addresses) inside the flash map of BIN/Flash.ini: a few
// KiB of filler code at the start of the flash and the 38-byte identity block at
// 0x00FFE000 (version, date, then the 32-character descriptor whose third word is the
// project code), followed by the "[AdrFrmwarEcu]" marker that names that address.
// Options make the variants that tests need.
#include "Scramble.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <cstdio>
#include <optional>

namespace {

constexpr quint32 FillerAddress = 0x00F80000;
constexpr int FillerSize = 4096;
constexpr quint32 IdentityAddress = 0x00FFE000;
constexpr int DescriptorSize = 32;
constexpr int BytesPerRecord = 32;
const QByteArray Descriptor = "LX735 SEQGAS";
const QByteArray CrLf = "\r\n";

QByteArray Hex(const QByteArray& bytes) {
    return bytes.toHex().toUpper();
}

// "Sn" + count + address + data + checksum: the count takes the address, data and checksum
// bytes; the checksum is the ones' complement of the sum of count, address and data.
QByteArray Record(char type, int addressBytes, quint32 address, const QByteArray& data) {
    QByteArray body;
    body.append(static_cast<char>(addressBytes + data.size() + 1));
    for (int shift = 8 * (addressBytes - 1); shift >= 0; shift -= 8) {
        body.append(static_cast<char>((address >> shift) & 0xFF));
    }
    body.append(data);
    quint8 sum = 0;
    for (const char b : body) {
        sum += static_cast<quint8>(b);
    }
    body.append(static_cast<char>(~sum & 0xFF));
    return QByteArray("S") + type + Hex(body) + CrLf;
}

QByteArray S2Records(quint32 address, const QByteArray& data) {
    QByteArray out;
    for (int at = 0; at < data.size(); at += BytesPerRecord) {
        out += Record('2', 3, address + at, data.mid(at, BytesPerRecord));
    }
    return out;
}

// Filler code: the same bytes at every run.
QByteArray Filler() {
    QByteArray bytes(FillerSize, '\0');
    quint32 state = 0x1D872B41;
    for (char& b : bytes) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<char>(state >> 24);
    }
    return bytes;
}

// "12" -> 0x12: the identity carries decimal digits as hex digits.
std::optional<char> DigitsByte(const QString& twoDigits) {
    static const QRegularExpression twoDecimals("^[0-9]{2}$");
    if (!twoDecimals.match(twoDigits).hasMatch()) {
        return std::nullopt;
    }
    return static_cast<char>(twoDigits.toUInt(nullptr, 16));
}

std::optional<QByteArray> IdentityBlock(const QString& version, const QString& date,
                                        const QString& project) {
    static const QRegularExpression versionForm("^([0-9]{2})\\.([0-9]{2})$");
    static const QRegularExpression dateForm("^([0-9]{2})/([0-9]{2})/([0-9]{2})([0-9]{2})$");
    const QRegularExpressionMatch v = versionForm.match(version);
    const QRegularExpressionMatch d = dateForm.match(date);
    if (!v.hasMatch() || !d.hasMatch()) {
        return std::nullopt;
    }
    QByteArray block;
    for (const QString& digits : {v.captured(1), v.captured(2), d.captured(1), d.captured(2),
                                  d.captured(3), d.captured(4)}) {
        block.append(*DigitsByte(digits));
    }
    QByteArray descriptor = Descriptor;
    if (!project.isEmpty()) {
        descriptor += ' ' + project.toLatin1();
    }
    if (descriptor.size() > DescriptorSize) {
        return std::nullopt;
    }
    return block + descriptor.leftJustified(DescriptorSize, ' ');
}

QByteArray Image(const QByteArray& identity, bool marker) {
    QByteArray image = Record('0', 2, 0, "TarvencoInj468");
    image += S2Records(FillerAddress, Filler());
    image += S2Records(IdentityAddress, identity);
    image += Record('8', 3, FillerAddress, {});
    if (marker) {
        image += "[AdrFrmwarEcu]" + CrLf;
        image += QByteArray::number(IdentityAddress, 16).toUpper().rightJustified(8, '0') + CrLf;
    }
    return image;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    QCommandLineParser parser;
    const QCommandLineOption version("version", "Firmware version VV.vv.", "VV.vv", "01.12");
    const QCommandLineOption date("date", "Release date DD/MM/YYYY.", "date", "14/04/2011");
    const QCommandLineOption project("project", "Project code, the descriptor's third word.",
                                     "code", "T468");
    const QCommandLineOption scrambled("scrambled", "Write the scrambled form.");
    const QCommandLineOption noMarker("no-marker", "Leave out the [AdrFrmwarEcu] lines.");
    parser.addOptions({version, date, project, scrambled, noMarker});
    parser.addPositionalArgument("OUTPUT", "The image file to write.");
    if (!parser.parse(arguments) || parser.positionalArguments().size() != 1) {
        std::fprintf(stderr,
                     "%s\nusage: lx735-make-firmware [--version VV.vv] [--date DD/MM/YYYY] "
                     "[--project CODE] [--scrambled] [--no-marker] OUTPUT\n",
                     qPrintable(parser.errorText()));
        return 2;
    }
    const std::optional<QByteArray> identity =
        IdentityBlock(parser.value(version), parser.value(date), parser.value(project));
    if (!identity) {
        std::fprintf(stderr, "lx735-make-firmware: bad version, date or project code\n");
        return 2;
    }
    QByteArray image = Image(*identity, !parser.isSet(noMarker));
    if (parser.isSet(scrambled)) {
        image = tools::ScrambleFile(image);
    }
    const QString output = parser.positionalArguments().first();
    if (!WriteFile(output, image)) {
        std::fprintf(stderr, "lx735-make-firmware: cannot write %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}
