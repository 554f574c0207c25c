#pragma once

// The four compensation tables of the gas injection time: by gas temperature, by reducer
// temperature, by gas pressure, and the leaning on acceleration. Each is 32 Longs: 15
// pairs (axis value at 2(c-1), correction in percent -100..100 at 2(c-1)+1), the enable
// flag at 30 and at 31 a copy of it (leaning table: the number of acceleration steps).
// On the wire and in parameter files the temperature tables are 32 signed bytes, the
// pressure and leaning tables 32 signed 16-bit words, low byte first.

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <array>

namespace comm {
class ClsComm;
}

namespace ecudata {

struct EcuImages;

using CompTbl = std::array<qint32, 32>;

enum class CompForm { Bytes, Words };

// One table's identity: the id CompWriteTable uses (1..4), commands, wire form and its
// parameter-file marker.
struct CompTblInfo {
    int id;
    quint8 readCmd;
    quint8 writeCmd;
    CompForm form;
    const char* marker;
};

// In the order of their ids: gas temperature, reducer temperature, pressure, leaning.
extern const std::array<CompTblInfo, 4> CompTables;

// The table as last read (or taken from a file or the default set).
CompTbl& CompTable(EcuImages& images, int id);
const CompTbl& CompTable(const EcuImages& images, int id);

// The table as the installer sees it: as read with the pending cell edits merged in.
CompTbl ShownCompTable(const EcuImages& images, int id);

// Clamps the table in place as a write does: bytes form axis -128..127, words form axis
// 0..4000, every odd element -100..100.
void ClampCompTbl(CompTbl& table, CompForm form);

// The table's wire bytes (the write payload), after clamping it in place.
QByteArray CompTblToBytes(CompTbl& table, CompForm form);

// Decodes a table's wire bytes (the data part of a read reply). Fewer bytes than the form
// needs (32 or 64) change nothing and give False.
bool CompTblFromBytes(const QByteArray& data, CompForm form, CompTbl& table);

// Decodes a parameter-file line (the wire bytes as hex text). Only a whole block is
// taken: a line that is not exactly 64 or 128 hex digits (blanks around it aside) changes
// nothing and gives False.
bool CompTblFromHexLine(const QString& line, CompForm form, CompTbl& table);

// Loads every compensation section of a parameter file into the four tables (a later
// section of one name overwrites an earlier one). A missing file changes nothing.
void LoadCompTblsFile(const QString& path, EcuImages& images);

// The same for the leaning section "[BLKSmagAcc]" only.
void LoadSmagAccFile(const QString& path, EcuImages& images);

// The ECU's firmware has the leaning table unless the firmware image is dated later
// than it.
bool EcuHasSmagTable(const comm::ClsComm& link);

// Reads the reducer-temperature, gas-temperature and pressure tables, each only after
// the one before succeeded; then the leaning table from the ECU, or from the default
// parameter set LNG/Default.Xar when the ECU has none. True when every exchange made
// succeeded with a whole table.
bool ReadCompTbls(comm::ClsComm& link, EcuImages& images);

// Writes table id (1..4), or all four for 0, in the order of their ids: each as shown,
// clamped; stops at the first failure (False). A table written becomes the table as
// read and the edits it carried are done. An id outside 0..4 sends nothing (True).
bool WriteCompTbl(comm::ClsComm& link, EcuImages& images, int id);

} // namespace ecudata
