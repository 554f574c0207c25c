#pragma once

// The firmware identities of the ECU (asked over the link) and of the image. The file side: the
// flash map BIN/Flash.ini (one block a line, "Hxxxxxxxx ... Hxxxxxxxx", first and last address) and
// the firmware image BIN/TarvencoInj468.frh (Motorola S2 records, plain or scrambled, optionally
// ended by
// "[AdrFrmwarEcu]" and the identity block's address). What they give is stored in the
// link object: BFlash, LargFlash, TableFlash, AdrFrmwarEcu and FirmwareFle.

#include <QString>
#include <QStringList>
#include <optional>

namespace comm {
class ClsComm;
}
namespace support {
class ClsLingue;
}

namespace ecudata {

QString FlashIniPath(const QString& appFolder);
QString FirmwareFilePath(const QString& appFolder);

// The blocks of <AppFolder>/BIN/Flash.ini into BFlash, and LargFlash (the last block's
// end minus the first block's start). False for a missing file, a file without a block,
// a token that is not "H" and hex digits, more blocks than BFlash holds, or blocks that
// do not ascend.
bool ReadFlashIni(comm::ClsComm& comm);

// Cuts the lines before the first "[AdrFrmwarEcu]" line; the line after it becomes
// AdrFrmwarEcu (a marker on the last line leaves it as it was).
void ExtractAdrFrmwarEcu(QStringList& lines, comm::ClsComm& comm);

// The data of every S2 record into TableFlash at (address - first block's start). Every
// line before the marker is checked first: it must be blank or an intact S0, S2, S5 or S8
// record (count and checksum). False, and nothing stored, for any other line (a cut
// image, line feeds for line ends, a damaged first character, a leading blank, a record
// of another kind) or when the file cannot be read; False too when a record lies outside
// TableFlash (the bytes stored before stay).
bool ReadFirmwareFile(const QString& path, comm::ClsComm& comm);

// Every identity byte 0xFF: erased flash (an ECU whose update did not finish).
bool IsErasedIdentity(const QString& identity);
// The version and date bytes 0xFF: an image whose records do not cover the identity
// block names no version, so it can be neither older nor newer than the ECU's.
bool IsBlankImageIdentity(const QString& identity);

// The 6-digit address of every S2 record in file order; one empty text when there is
// none, the file cannot be read or a line is refused as ReadFirmwareFile refuses it.
QStringList ReadFirmwareAddresses(const QString& path, comm::ClsComm& comm);

// The image's identity: reads the flash map, fills TableFlash with the erased value
// 0xFF, lays the image's records into it and sets FirmwareFle from the 38 bytes at
// AdrFrmwarEcu (6 bytes as hex digits, then 32 characters). False, with FirmwareFle as
// it was, when any step fails or the identity block lies outside the flash.
bool LoadFirmwareFileInfo(comm::ClsComm& comm);

// Both identities, with the busy pointer shown while it runs. With the link not
// stopped the ECU is asked for its identity (CMD_READ_FIRMWARE, a second time on
// failure, then the identity block by two memory reads) into FirmwareEcu; with the link
// stopped, or when the ECU gave no whole identity, FirmwareEcu is "" (unknown). Then
// LoadFirmwareFileInfo. True when the image's identity was read and, unless the link is
// stopped, the ECU's too.
bool LoadFirmwareInfo(comm::ClsComm& comm);

// An update that erased the ECU and has not yet written the installation's parameters
// back: recorded before the erase, so that neither a cut update nor a failed write-back
// can leave the only copy of the installation unmentioned, or let a later update replace
// it. Each identity as shown: "version - date - project".
struct UnfinishedUpdate {
    QString ecu;        // the ECU before the erase
    QString ecuProject; // its project code
    int ecuVersion = 0; // its version number (139 for 01.39)
    QString image;      // the image being written
    QString backup;     // the parameter file holding the set, relative to the program's folder
};

// The identity as the record keeps it, from FirmwareEcu or FirmwareFle.
QString ShownIdentity(const QString& version, const QString& date, const QString& project);

// BIN/UpdateUnfinished.ini, line pairs: a "[Name]" line, then its value.
QString UnfinishedUpdatePath(const QString& appFolder);
bool RecordUnfinishedUpdate(const QString& appFolder, const UnfinishedUpdate& record);
// Nothing when there is no record (or it cannot be read as one).
std::optional<UnfinishedUpdate> ReadUnfinishedUpdate(const QString& appFolder);
void ClearUnfinishedUpdate(const QString& appFolder);
// A parameter file sent whole and saved to the ECU's flash: when it is the record's
// backup, the set is back in an ECU and the record goes.
void ClearUnfinishedUpdateIfSent(const QString& appFolder, const QString& sentPath);

// What the installer is told about an unfinished update, from the dictionary's
// [FirmwareUpdate] section (English when it lacks an entry).
enum class UpdateText {
    ParamsAreIn, // %1: where the installation's parameters are, and how to send them
    EarlierUnfinished,
    TestRecordLost, // %1: the backup file
    ErasedEcuAsk,   // %1: the recorded identity, %2: the image's
    Unknown,
    BackupsKept, // %1: the earlier backup, %2: this update's read-back
};
QString UpdateTextOf(const support::ClsLingue& lingue, UpdateText text);

// The start's box while an update stands unfinished; nothing shown without one.
void TellUnfinishedUpdate(const QString& appFolder, const support::ClsLingue& lingue);

} // namespace ecudata
