#pragma once

// Parameter files: everything that makes up one installation (the two parameter
// records, the four compensation tables, the lambda-emulation block and the correction
// table). The installer saves the ECU's set into a "*.var" file and later loads a file
// and sends it to the ECU; the default sets LNG/Default.Xar (LPG) and LNG/DefaultCng.Xar
// (CNG) have the same format.
//
// The file is Windows-1252 text, lines ending in CR LF, in this order:
//     [INFO]
//     <release> <title>, file created <date and time>
//     [BLK2]            "B2" and the zone-2 wire image in hex
//     [BLK3]            "B3" and the zone-3 wire image in hex
//     [BLKCompTempGas]  the gas-temperature table's wire bytes (32) in hex
//     [BLKCompTempRid]  the reducer-temperature table's (32)
//     [BLKCompPress]    the pressure table's (64)
//     [BLKSmagAcc]      the leaning table's (64)
//     [EmulaLambda]     the emulation block (88 bytes) in hex; empty when never read
//     [COR]             the 192 correction cells, one number a line, in the locale's
//                       general number text, a blank in front of a value not negative
// Every hex line carries exactly the payload of the ECU command that writes the block.

#include "ecudata/CorrectionTable.h"
#include "ecudata/EmulaBlock.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>

namespace comm {
class ClsComm;
}

namespace ecudata {

struct ConfigScale;
struct EcuImages;
struct EcuModel;

QString DefaultXarPath(const QString& appFolder);
QString DefaultCngXarPath(const QString& appFolder);

// What the info line of a file tells: the program's release and title and when the
// file was made (the locale's general date-and-time text).
struct ParamFileInfo {
    QString release;
    QString appTitle;
    QString created;
};

// A number written by GeneralNumberText under any locale: "," and "." are both taken as
// the decimal mark. Nothing for anything else.
std::optional<double> ParseGeneralNumber(const QString& text);

// The file for every block as the installer sees it: as read with the pending edits
// merged in (without consuming them), a pending injector set-up step and model write
// included. Zone 2 goes out with fuel state 0 and without a pending hour reset; zone 3
// with every cylinder that is not off as plainly on (1); the compensation tables clamped
// as every write of them does; the emulation block empty when it was never read.
QByteArray BuildParamFile(EcuModel& model, const ParamFileInfo& info, const QString& decimalSep);

// Writes the file whole or not at all (an existing file stays as it was when the write
// fails). A failure is shown to the installer, with the file and the reason, and gives
// False.
bool SaveParamFile(const QString& path, EcuModel& model, const ParamFileInfo& info,
                   const QString& decimalSep);

// The checked contents of a file.
struct ParamFileData {
    QByteArray mem2; // zone-2 wire image
    QByteArray mem3; // zone-3 wire image
    // The compensation tables' wire bytes in the order of CompTables; empty for a table
    // the file does not hold (a file written before the table existed).
    std::array<QByteArray, 4> comp;
    QByteArray emula; // the emulation block; empty when the file holds none
    TblCor cor{};     // in the current layout
};

// Reads and checks a file. Both records and the whole correction table must be there,
// every block the file holds must be whole, and every correction value must fit the
// ECU; otherwise nothing is given and error says what is wrong, with the line. A
// correction table in the older layout (its last cell not -1) is moved into the current
// one.
std::optional<ParamFileData> ReadParamFile(const QString& path, const ConfigScale& scale,
                                           QString& error);

// The off-line import of a file's emulation block into the images (read block and reply
// line; any pending edit of it dropped), its lines read as ReadParamFile reads them; the records and the correction
// table need not be there. True when taken; a file that holds no block, or any line
// ReadParamFile refuses, changes nothing.
bool ImportParamFileEmula(const QString& path, EcuImages& images);

// A file chosen to be loaded replaces what the installer had edited before choosing it:
// every pending edit of the blocks the file will write is dropped (with ParamNoSend set,
// of the correction table alone). An hour reset stays; a file that cannot be read drops
// nothing.
void DropEditsForFile(const QString& path, EcuModel& model, quint8 ParamNoSend);

// The blocks of a parameter file, in the order a load sends them.
enum class ParamBlock {
    Mem2,
    Mem3,
    CompGasTemp, // the compensation tables in the order of CompTables
    CompRidTemp,
    CompPress,
    CompSmag,
    Emulation,
    Correction,
};

// What a load of a parameter file did.
struct ParamFileLoad {
    // False: the file is missing or damaged; nothing changed and the installer was told.
    bool read = false;
    // The blocks it was to send that the ECU did not take and give back, in their order.
    QList<ParamBlock> notWritten;

    bool Complete() const { return read && notWritten.isEmpty(); }
};

// Loads a parameter file into the images and sends it to the ECU block by block, each
// written and read back: zone 2, zone 3, the compensation tables, the emulation block,
// the correction table; a default set, once all of them are in, also clears the ECU's
// error list. The ECU's service hours are kept. With ParamNoSend set only the correction
// table is sent (the flag stays with the queued file until it is done with, so a retry
// sends no more). Nothing goes to an ECU that is not identified, or while the link is
// stopped: the images alone take the file.
//
// The first block that fails ends the send: it may have restarted the link, and the rest
// of a file must not reach an ECU that has not been identified again (another one may be
// on the cable by then). Every block not written is read again, so that the images come
// to show what the ECU holds; a failed write of zone 2 or 3 puts both records and their
// pending edits back at once. Blocks the file does not hold are not sent, nor the leaning
// table to an ECU whose firmware has none.
ParamFileLoad SendParamFile(const QString& path, comm::ClsComm& link, EcuModel& model,
                            quint8 ParamNoSend);

// Writes TblCorEdit (up to three tries, 250 ms apart) and reads it back (the same); after
// a failure both TblCorEdit and TblCorRead hold the table as it was at the start. In the
// developer view TEMPI4.TXT is written next to the executable, whatever the outcome.
bool SendTblCor(comm::ClsComm& link, EcuModel& model, const QString& decimalSep);

// The developer export of a correction table: 192 lines
// "Val_corTempiGas[<k>] = #<value>@", each in double quotes. False when it cannot be
// written.
bool WriteTempi4(const QString& path, const TblCor& table, const QString& decimalSep);

} // namespace ecudata
