#pragma once

// The program's images of the ECU's memory: the live record, the parameter records with
// their to-write copies, the emulation block, the compensation tables, the correction
// table with its model, and the map samples. One instance lives in the program context;
// the reply dispatcher fills it through the zone parsers. The installer's pending edits
// live beside the blocks as read (Edits.h): the records' to-write copies, EmulaEdit and
// CompEdit; pages show the merge and edit only the edits.

#include "ecudata/CompTables.h"
#include "ecudata/CorrectionTable.h"
#include "ecudata/Edits.h"
#include "ecudata/EmulaBlock.h"
#include "ecudata/LiveData.h"
#include "ecudata/MapSamples.h"
#include "ecudata/ParamRecords.h"

#include <QByteArray>
#include <QtGlobal>
#include <array>

namespace ecudata {

struct EcuImages {
    // The to-write copies start at their no-edit markers; the tables carry the current
    // layout's end marker, so that a file saved before the first read reads back as such.
    EcuImages() {
        ResetMemToWrite(*this);
        TblCorEdit.back() = TblCorRead.back() = -1;
    }

    Mem1Rec Mem1Data;
    Mem1Rec Mem1Prev;

    Mem2Rec Mem2Data;
    Mem2Rec Mem2Prev;
    Mem2Rec Mem2Write;

    Mem3Rec Mem3Data;
    Mem3Rec Mem3Prev;
    Mem3Rec Mem3Write;
    bool Mem3Changed = false; // the last zone-3 read differed from the image before it

    EmulaBlk EmulaBlkData{};
    BlockEdits<quint8, EmulaBlkSize> EmulaEdit;
    QByteArray EmulaLine; // the last emulation-block reply frame

    CompTbl CompTblGasTemp{};
    CompTbl CompTblRidTemp{};
    CompTbl CompTblPress{};
    CompTbl CompTblSmag{};
    std::array<BlockEdits<qint32, 32>, 4> CompEdit; // by table id - 1
    quint32 CompTblReads = 0;                       // counts every time the tables as read changed

    TblCor TblCorEdit{}; // the table to send
    TblCor TblCorRead{}; // the table as last read back
    ModRec ModPoints;

    MapArray MapTinjBnz{};
    MapArray MapVacmBnz{};
    MapArray MapTinjGas{};
    MapArray MapVacmGas{};
    bool MapChanged = false;

    BlockStates Blocks;

    // Replies accepted by the parsers, counted by command byte, so that a requester can
    // tell a reply that was stored from one that was refused (a short zone reply).
    std::array<quint32, 256> AcceptedReplies{};
};

} // namespace ecudata
