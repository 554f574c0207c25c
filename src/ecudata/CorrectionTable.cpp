#include "ecudata/CorrectionTable.h"

#include "ecudata/ConfigScale.h"
#include "ecudata/EcuImages.h"
#include "ecudata/EcuModel.h"
#include "ecudata/ZoneCodec.h"
#include "ecudata/ZoneExchange.h"
#include "link/ClsComm.h"
#include "link/Frames.h"
#include "support/Conversions.h"
#include "support/MessageBox.h"
#include "support/ProgramTexts.h"

#include <algorithm>
#include <cmath>

namespace ecudata {

namespace {

constexpr int TopCell = 157;        // 20.096 ms
constexpr int LastCorrection = 180; // cells up to here are times
constexpr int OffsetCell = 181;
constexpr int AlfaCell = 182;
constexpr int FirstPointCell = 183; // cell numbers of model points 0..7
constexpr int LastPointCell = 190;
constexpr int EndCell = 191;
constexpr double CellMs = 0.128;
constexpr float CellMsSingle = 0.128f;
constexpr double TopMs = 20.096;

// v rounded to three decimals (an exact half to the even one).
double R3(double v) {
    return std::nearbyint(v * 1000) / 1000;
}

bool FitsWord(double v) {
    return std::isfinite(v) && v >= -32766 && v <= 32767;
}

// The wire word of a cell before its conversion to hex.
double WireValue(const TblCor& table, int cell, const ConfigScale& scale) {
    if (cell <= LastCorrection) {
        return table[cell] / scale.K_Time_Inj_us;
    }
    if (cell == OffsetCell || cell == AlfaCell) {
        return std::nearbyint(table[cell] * 1000);
    }
    return table[cell];
}

// The cells of one segment of the model, between points i - 1 and i.
void CalcSegment(TblCor& t, const ModRec& m, int i) {
    const double dX = R3(m.X[i] - m.X[i - 1]);
    if (dX == 0) {
        return; // no cell lies in a segment of no width
    }
    const double eB = R3(m.Y[i - 1] - m.X[i - 1] - m.Offset);
    const double eA = R3(m.Y[i] - m.X[i] - m.Offset);
    for (int k = 0; k <= EndCell; ++k) {
        const double ms = R3(k * static_cast<double>(CellMsSingle));
        const auto msSingle = static_cast<float>(ms);
        if (msSingle > m.X[i]) {
            break;
        }
        if (m.X[i - 1] <= msSingle && msSingle < m.X[i]) {
            t[k] = R3((eA - eB) / dX * R3(ms - m.X[i - 1]) + eB + m.Offset);
        }
    }
}

void ReadCells(HexReader& r, TblCor& t, int first, int last, double factor) {
    for (int c = first; c <= last; ++c) {
        t[c] = r.Int16() * factor;
    }
}

} // namespace

bool TblCorFitsWire(const TblCor& table, const ConfigScale& scale) {
    for (int c = 0; c < EndCell; ++c) {
        if (!FitsWord(WireValue(table, c, scale))) {
            return false;
        }
    }
    return true;
}

bool CalcTblCor(TblCor& table, const ModRec& model, const ConfigScale& scale) {
    TblCor t = table;
    for (int i = 1; i <= 7; ++i) {
        CalcSegment(t, model, i);
    }
    const double dX = R3(model.X[7] - model.X[6]);
    const double e7 = R3(model.Y[7] - model.X[7] - model.Offset);
    // Points 6 and 7 on one petrol time: the top cell takes point 7's correction.
    t[TopCell] =
        dX != 0 ? R3(e7 / dX * R3(TopMs - model.X[6]) + model.Offset) : R3(e7 + model.Offset);
    std::fill(t.begin() + TopCell + 1, t.begin() + FirstPointCell + 1, t[TopCell]);
    t[OffsetCell] = model.Offset;
    t[AlfaCell] = model.Alfa;
    for (int i = 0; i <= 7; ++i) {
        t[FirstPointCell + i] = R3(model.X[i] / CellMs);
    }
    if (!TblCorFitsWire(t, scale)) {
        support::MsgBox(support::Text(support::ProgramText::ModelNotFitting),
                        support::vbExclamation, QString());
        return false;
    }
    table = t;
    return true;
}

void FixTblCor(EcuImages& images) {
    TblCor& t = images.TblCorEdit;
    ModRec& m = images.ModPoints;
    t[FirstPointCell] = 0;
    t[LastPointCell] = TopCell;
    for (int c = FirstPointCell + 1; c < LastPointCell; ++c) {
        t[c] = std::isfinite(t[c]) ? std::clamp(t[c], t[FirstPointCell], t[LastPointCell])
                                   : t[FirstPointCell];
    }
    // From the top down, so that the points come out in order whatever they were.
    for (int c = LastPointCell - 2; c > FirstPointCell; --c) {
        t[c] = std::min(t[c], t[c + 1]);
    }
    t[OffsetCell] = std::max(t[OffsetCell], 0.0);
    m.Offset = static_cast<float>(t[OffsetCell]);
    t[AlfaCell] = std::max(t[AlfaCell], 0.0);
    m.Alfa = static_cast<float>(t[AlfaCell]);
    for (int i = 0; i <= 7; ++i) {
        const double cell = t[FirstPointCell + i];
        m.BaseX[i] = static_cast<float>(cell * CellMs);
        m.dX[i] = 0;
        m.X[i] = m.BaseX[i] + m.dX[i];
        const auto k = static_cast<int>(std::nearbyint(cell));
        m.dY[i] = static_cast<float>(t[k] - m.Offset - (m.Alfa - 1.0) * cell * CellMs);
        m.Y[i] = static_cast<float>(static_cast<double>(m.Alfa) * m.X[i] + m.dY[i] + m.Offset);
    }
}

bool DecodeTblCorBlock(const QString& hex, int block, TblCor& table, const ConfigScale& scale) {
    constexpr int digits = TblCorBlockCells * 4;
    if (hex.size() < digits || block < 0 || block >= TblCorBlocks) {
        return false;
    }
    const int start = block * TblCorBlockCells;
    const double k = scale.K_Time_Inj_us;
    HexReader r(hex);
    if (block < TblCorBlocks - 1) {
        ReadCells(r, table, start, start + TblCorBlockCells - 1, k);
        return true;
    }
    if (hex.mid(digits - 4, 4) == "FFFF") {
        ReadCells(r, table, start, LastCorrection, k);
        ReadCells(r, table, OffsetCell, AlfaCell, 1.0 / 1000);
        ReadCells(r, table, FirstPointCell, EndCell, 1.0);
        return true;
    }
    ReadCells(r, table, start, FirstPointCell, k);
    ReadCells(r, table, 184, 185, 1.0 / 1000);
    ReadCells(r, table, 186, EndCell, 1.0);
    ConvertOldTblCorLayout(table);
    table[EndCell] = -1;
    return true;
}

void ConvertOldTblCorLayout(TblCor& t) {
    t[181] = t[184];
    t[182] = t[185];
    t[183] = t[186];
    t[184] = t[187];
    t[185] = t[187];
    t[186] = t[188];
    t[187] = t[189];
    t[188] = t[190];
    t[189] = t[190];
    t[190] = t[191];
    t[188] = std::nearbyint((t[189] - t[187]) / 2 + t[187]);
    t[185] = std::nearbyint((t[186] - t[184]) / 2 + t[184]);
}

QString EncodeTblCorBlock(const TblCor& table, int block, const ConfigScale& scale) {
    HexWriter w;
    const int start = block * TblCorBlockCells;
    for (int c = start; c < start + TblCorBlockCells; ++c) {
        if (c == EndCell) {
            w.Raw("FFFF");
        } else {
            w.Word(WireValue(table, c, scale), HexConv::Int16);
        }
    }
    return w.Text();
}

namespace {

// [start cell][48]: the payload of a block request.
QByteArray BlockHead(int block) {
    QByteArray head;
    head.append(static_cast<char>(block * TblCorBlockCells));
    head.append(static_cast<char>(TblCorBlockCells));
    return head;
}

} // namespace

bool ReadTblCor(comm::ClsComm& link, EcuModel& model) {
    for (int b = 0; b < TblCorBlocks; ++b) {
        const auto data = SendQueuedRead(link, comm::CMD_READ_TBL_COR, BlockHead(b));
        if (!data || !DecodeTblCorBlock(support::ByteStrToHex(*data), b, model.images.TblCorRead,
                                        model.scale)) {
            return false;
        }
    }
    model.images.Blocks.SetRead(EditBlock::Correction);
    return true;
}

bool WriteTblCor(comm::ClsComm& link, EcuModel& model) {
    const TblCor& table = model.images.TblCorEdit;
    if (!TblCorFitsWire(table, model.scale)) {
        return false;
    }
    for (int b = 0; b < TblCorBlocks; ++b) {
        QString hex = EncodeTblCorBlock(table, b, model.scale);
        if (!SendRequest(link, comm::CMD_WRT_TBL_COR, BlockHead(b) + support::HexToByteStr(hex))) {
            return false;
        }
    }
    return true;
}

} // namespace ecudata
