#include "ecudata/FirmwareImage.h"

#include "ecudata/ZoneExchange.h"
#include "link/ClsComm.h"
#include "link/Frames.h"
#include "support/Clock.h"
#include "support/Codepage.h"
#include "support/Conversions.h"
#include "support/Cursor.h"
#include "support/DataFiles.h"
#include "support/FileRoutines.h"
#include "support/FileWriter.h"
#include "support/Lingue.h"
#include "support/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace ecudata {

namespace {

constexpr qsizetype FlashTokenSize = 9; // "H" and 8 hex digits
constexpr qsizetype IdentityHexBytes = 6;
constexpr qsizetype IdentitySize = 38;
constexpr quint8 ErasedByte = 0xFF;
const QString AdrMarker = QStringLiteral("[AdrFrmwarEcu]");

// 1 to 8 hex digits, nothing else.
std::optional<quint32> HexValue(QStringView digits) {
    if (digits.isEmpty() || digits.size() > 8) {
        return std::nullopt;
    }
    bool ok = false;
    const quint32 value = digits.toUInt(&ok, 16);
    const bool onlyDigits = std::all_of(digits.begin(), digits.end(), [](QChar c) {
        return c.isDigit() || (c.toUpper() >= u'A' && c.toUpper() <= u'F');
    });
    return ok && onlyDigits ? std::optional(value) : std::nullopt;
}

// "H00F80000": a flash address.
std::optional<qint32> FlashToken(const QString& token) {
    const QString t = token.trimmed();
    if (!t.startsWith(u'H', Qt::CaseInsensitive)) {
        return std::nullopt;
    }
    const std::optional<quint32> value = HexValue(QStringView(t).mid(1));
    return value ? std::optional(static_cast<qint32>(*value)) : std::nullopt;
}

// The image's lines up to the address marker; nothing when the file cannot be read.
std::optional<QStringList> ImageLines(const QString& path, comm::ClsComm& comm) {
    if (!support::IsFilePresent(path)) {
        return std::nullopt;
    }
    QStringList lines = support::ReadDataFileLines(path);
    ExtractAdrFrmwarEcu(lines, comm);
    return lines;
}

bool IsDataRecord(const QString& line) {
    return line.startsWith(QLatin1String("S2"));
}

// "S", the type digit, then hex pairs: the count of the pairs after it, and a checksum
// that makes the sum of every pair from the count on 0xFF in its low byte.
bool IsIntactRecord(const QString& line) {
    const qsizetype pairs = (line.size() - 2) / 2;
    if (line.size() % 2 != 0 || pairs < 2) {
        return false;
    }
    quint32 sum = 0;
    for (qsizetype k = 0; k < pairs; ++k) {
        const std::optional<quint32> byte = HexValue(QStringView(line).mid(2 + 2 * k, 2));
        if (!byte) {
            return false;
        }
        if (k == 0 && *byte != pairs - 1) {
            return false; // a cut or lengthened record
        }
        sum += *byte;
    }
    return (sum & 0xFF) == 0xFF;
}

// The kinds an image holds: header, data, count and end. Any other line, a record of
// another kind included, is damage: skipping it would leave a hole in the flash.
bool IsImageRecord(const QString& line) {
    static const QStringList kinds = {"S0", "S2", "S5", "S8"};
    return kinds.contains(line.left(2)) && IsIntactRecord(line);
}

// The image's records; nothing when the file cannot be read or a line before the marker
// is neither blank nor an intact record of the image's kinds (a cut file, a wrong
// checksum, a damaged first character; with line feeds for line ends the whole file is
// one damaged line).
std::optional<QStringList> IntactRecords(const QString& path, comm::ClsComm& comm) {
    const std::optional<QStringList> lines = ImageLines(path, comm);
    if (!lines) {
        return std::nullopt;
    }
    QStringList records;
    for (const QString& line : *lines) {
        if (line.trimmed().isEmpty()) {
            continue;
        }
        if (!IsImageRecord(line)) {
            return std::nullopt;
        }
        records.append(line);
    }
    return records;
}

// "S2", count, 6 address digits, data pairs, checksum.
bool StoreRecord(const QString& line, comm::ClsComm& comm) {
    const std::optional<quint32> address = HexValue(QStringView(line).mid(4, 6));
    const qsizetype dataDigits = line.size() - 12;
    if (!address || line.mid(4, 6).size() != 6 || dataDigits < 0 || dataDigits % 2 != 0) {
        return false;
    }
    const qint64 offset = static_cast<qint64>(*address) - comm.BFlash(0, 0).value_or(0);
    for (qsizetype k = 0; k < dataDigits / 2; ++k) {
        const std::optional<quint32> byte = HexValue(QStringView(line).mid(10 + 2 * k, 2));
        if (!byte || !comm.TableFlash(offset + k, static_cast<quint8>(*byte))) {
            return false;
        }
    }
    return true;
}

// The whole identity: 6 bytes as 12 hex digits, then the 32 descriptor characters.
bool IsWholeIdentity(const QString& identity) {
    return identity.size() >= 2 * IdentityHexBytes + (IdentitySize - IdentityHexBytes);
}

// The identity block read as two memory zones: the 6 code bytes, then the descriptor.
bool ReadIdentityBlock(comm::ClsComm& comm) {
    const std::optional<QByteArray> code =
        SendQueuedRead(comm, comm::CMD_READ_MEM_ZONE, QByteArray::fromHex("00FFE00006"));
    if (!code || code->size() < IdentityHexBytes) {
        return false;
    }
    const std::optional<QByteArray> text =
        SendQueuedRead(comm, comm::CMD_READ_MEM_ZONE, QByteArray::fromHex("00FFE00620"));
    if (!text || text->size() < IdentitySize - IdentityHexBytes) {
        return false;
    }
    comm.FirmwareEcu(support::ByteStrToHex(code->left(IdentityHexBytes)) +
                     support::DecodeCp1252(text->left(IdentitySize - IdentityHexBytes)));
    return true;
}

// The reply to CMD_READ_FIRMWARE sets FirmwareEcu (the link's dispatcher does).
bool ReadEcuIdentity(comm::ClsComm& comm) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (SendRequest(comm, comm::CMD_READ_FIRMWARE) && IsWholeIdentity(comm.FirmwareEcu())) {
            return true;
        }
    }
    return ReadIdentityBlock(comm);
}

const QString RecordEcu = QStringLiteral("[Ecu]");
const QString RecordEcuProject = QStringLiteral("[EcuProject]");
const QString RecordEcuVersion = QStringLiteral("[EcuVersion]");
const QString RecordImage = QStringLiteral("[Image]");
const QString RecordBackup = QStringLiteral("[Backup]");

const QString UpdateSection = QStringLiteral("[FirmwareUpdate]");
const QStringList UpdateTexts = {
    QStringLiteral("The installation's parameters are in %1. To send them to the ECU: "
                   "File > Load, choose that file."),
    QStringLiteral("A firmware update did not write the installation's parameters back to the "
                   "ECU."),
    QStringLiteral("The test record could not be restored: %1 does not hold it."),
    QStringLiteral("The ECU's firmware is erased. Recorded before the erase: %1. Image: %2. "
                   "Program the ECU with this image?"),
    QStringLiteral("unknown"),
    QStringLiteral("The parameters of an update that did not finish stay in %1; this update's "
                   "read-back is saved in %2."),
};

QString CleanPath(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

QString FlashIniPath(const QString& appFolder) {
    return appFolder + QStringLiteral("/BIN/Flash.ini");
}

QString FirmwareFilePath(const QString& appFolder) {
    return appFolder + QStringLiteral("/BIN/TarvencoInj468.frh");
}

bool ReadFlashIni(comm::ClsComm& comm) {
    const QStringList lines = support::ReadPlainFile(FlashIniPath(comm.AppFolder()));
    qint32 row = 0;
    for (const QString& untrimmed : lines) {
        support::CurrentTimeSource().PumpEvents();
        const QString line = untrimmed.trimmed();
        if (line.isEmpty()) {
            continue;
        }
        const std::optional<qint32> first = FlashToken(line.left(FlashTokenSize));
        const std::optional<qint32> last = FlashToken(line.right(FlashTokenSize));
        // The blocks must ascend: the table is sized from the first and the last one.
        const qint32 previousEnd = row > 0 ? *comm.BFlash(row - 1, 1) : -1;
        if (!first || !last || *first > *last || *first <= previousEnd ||
            !comm.BFlash(row, 0, *first) || !comm.BFlash(row, 1, *last)) {
            return false;
        }
        ++row;
    }
    support::CurrentTimeSource().PumpEvents();
    if (row == 0) {
        return false;
    }
    comm.LargFlash(*comm.BFlash(row - 1, 1) - *comm.BFlash(0, 0));
    return true;
}

void ExtractAdrFrmwarEcu(QStringList& lines, comm::ClsComm& comm) {
    const qsizetype at = lines.indexOf(AdrMarker);
    if (at < 0) {
        return;
    }
    if (at + 1 < lines.size()) {
        comm.AdrFrmwarEcu = lines[at + 1];
    }
    lines.resize(at);
}

bool ReadFirmwareFile(const QString& path, comm::ClsComm& comm) {
    const std::optional<QStringList> records = IntactRecords(path, comm);
    if (!records) {
        return false;
    }
    for (const QString& line : *records) {
        if (IsDataRecord(line) && !StoreRecord(line, comm)) {
            return false;
        }
    }
    return true;
}

bool IsErasedIdentity(const QString& identity) {
    return identity.size() > 2 * IdentityHexBytes &&
           identity.left(2 * IdentityHexBytes) == QString(2 * IdentityHexBytes, u'F') &&
           std::all_of(identity.begin() + 2 * IdentityHexBytes, identity.end(),
                       [](QChar c) { return c.unicode() == ErasedByte; });
}

bool IsBlankImageIdentity(const QString& identity) {
    return identity.left(2 * IdentityHexBytes) == QString(2 * IdentityHexBytes, u'F');
}

QStringList ReadFirmwareAddresses(const QString& path, comm::ClsComm& comm) {
    QStringList addresses;
    for (const QString& line : IntactRecords(path, comm).value_or(QStringList())) {
        if (IsDataRecord(line)) {
            addresses.append(line.mid(4, 6));
        }
    }
    return addresses.isEmpty() ? QStringList{QString()} : addresses;
}

bool LoadFirmwareFileInfo(comm::ClsComm& comm) {
    if (!ReadFlashIni(comm) || !comm.RedimTableFlash(comm.LargFlash(), false)) {
        return false;
    }
    for (qint64 i = 0; i <= comm.TableFlashUBound(); ++i) {
        comm.TableFlash(i, ErasedByte);
    }
    if (!ReadFirmwareFile(FirmwareFilePath(comm.AppFolder()), comm)) {
        return false;
    }
    const std::optional<quint32> address = HexValue(comm.AdrFrmwarEcu.trimmed());
    if (!address) {
        return false;
    }
    const qint64 offset = static_cast<qint64>(*address) - *comm.BFlash(0, 0);
    QByteArray identity;
    for (qint64 k = 0; k < IdentitySize; ++k) {
        const std::optional<quint8> byte = comm.TableFlash(offset + k);
        if (!byte) {
            return false;
        }
        identity.append(static_cast<char>(*byte));
    }
    comm.FirmwareFle(QString::fromLatin1(identity.left(IdentityHexBytes).toHex().toUpper()) +
                     support::DecodeCp1252(identity.mid(IdentityHexBytes)));
    return true;
}

bool LoadFirmwareInfo(comm::ClsComm& comm) {
    const support::CursorOverride busy(Qt::WaitCursor);
    bool ecuKnown = true;
    if (comm.ComState() == comm::COM_STOP) {
        comm.FirmwareEcu(QString());
    } else if (!ReadEcuIdentity(comm)) {
        comm.FirmwareEcu(QString());
        ecuKnown = false;
    }
    return LoadFirmwareFileInfo(comm) && ecuKnown;
}

QString ShownIdentity(const QString& version, const QString& date, const QString& project) {
    return version + QStringLiteral(" - ") + date + QStringLiteral(" - ") + project;
}

QString UnfinishedUpdatePath(const QString& appFolder) {
    return appFolder + QStringLiteral("/BIN/UpdateUnfinished.ini");
}

bool RecordUnfinishedUpdate(const QString& appFolder, const UnfinishedUpdate& record) {
    const QStringList lines = {RecordEcu,        record.ecu,
                               RecordEcuProject, record.ecuProject,
                               RecordEcuVersion, QString::number(record.ecuVersion),
                               RecordImage,      record.image,
                               RecordBackup,     record.backup};
    return support::WriteWholeFile(
        UnfinishedUpdatePath(appFolder),
        support::EncodeCp1252(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
}

std::optional<UnfinishedUpdate> ReadUnfinishedUpdate(const QString& appFolder) {
    const QString path = UnfinishedUpdatePath(appFolder);
    if (!support::IsFilePresent(path)) {
        return std::nullopt;
    }
    const QStringList lines = support::ReadPlainFile(path);
    const auto value = [&](const QString& name) {
        const qsizetype at = lines.indexOf(name);
        return at < 0 ? std::optional<QString>() : std::optional(lines.value(at + 1));
    };
    const std::optional<QString> backup = value(RecordBackup);
    if (!backup || backup->trimmed().isEmpty()) {
        return std::nullopt;
    }
    UnfinishedUpdate record;
    record.ecu = value(RecordEcu).value_or(QString());
    record.ecuProject = value(RecordEcuProject).value_or(QString()).trimmed();
    record.ecuVersion = value(RecordEcuVersion).value_or(QString()).toInt();
    record.image = value(RecordImage).value_or(QString());
    record.backup = backup->trimmed();
    return record;
}

void ClearUnfinishedUpdate(const QString& appFolder) {
    QFile::remove(UnfinishedUpdatePath(appFolder));
}

void ClearUnfinishedUpdateIfSent(const QString& appFolder, const QString& sentPath) {
    const std::optional<UnfinishedUpdate> record = ReadUnfinishedUpdate(appFolder);
    if (record && CleanPath(appFolder + u'/' + record->backup) == CleanPath(sentPath)) {
        ClearUnfinishedUpdate(appFolder);
    }
}

QString UpdateTextOf(const support::ClsLingue& lingue, UpdateText text) {
    return support::SectionTexts(lingue, UpdateSection, UpdateTexts).value(static_cast<int>(text));
}

void TellUnfinishedUpdate(const QString& appFolder, const support::ClsLingue& lingue) {
    const std::optional<UnfinishedUpdate> record = ReadUnfinishedUpdate(appFolder);
    if (!record) {
        return;
    }
    support::MsgBox(UpdateTextOf(lingue, UpdateText::EarlierUnfinished) +
                        QStringLiteral("\r\n\r\n") +
                        UpdateTextOf(lingue, UpdateText::ParamsAreIn)
                            .arg(QDir::toNativeSeparators(appFolder + u'/' + record->backup)),
                    support::vbExclamation, QStringLiteral("FrmUpdate"));
}

} // namespace ecudata
