#pragma once

// The injection-time correction table with which the ECU computes the gas time from the
// petrol time, and the nine-point model it is made from.
//
// Cells 0..156: correction (gas minus petrol time, ms) at petrol time k x 0.128 ms;
// 157: at 20.096 ms; 158..180: copies of 157; 181: the model's Offset; 182: its Alfa;
// 183..190: the cell numbers of model points 0..7; 191: end marker -1.

#include <QString>
#include <QtGlobal>
#include <array>

namespace comm {
class ClsComm;
}

namespace ecudata {

struct ConfigScale;
struct EcuImages;
struct EcuModel;

using TblCor = std::array<double, 192>;

// The nine-point model of gas time against petrol time (single precision throughout).
struct ModRec {
    std::array<float, 9> X{};     // petrol time of point i, ms
    std::array<float, 9> Y{};     // gas time of point i, ms
    std::array<float, 9> BaseX{}; // fixed abscissae
    std::array<float, 9> dX{};    // the installer's shifts
    std::array<float, 9> dY{};
    float Alfa = 0; // slope
    float Offset = 0;

    bool operator==(const ModRec&) const = default;
};

inline constexpr int TblCorBlockCells = 48;
inline constexpr int TblCorBlocks = 4;

// Computes a table from a model (points 0..7). Cells below point 0, between point 7 and
// the top cell, and cell 191 keep their values. A model whose table would hold a value
// that is not finite or does not fit the wire is refused with a message: the table is
// left as it was and the result is False.
bool CalcTblCor(TblCor& table, const ModRec& model, const ConfigScale& scale);

// Makes TblCorEdit's model cells consistent (point 0 at cell 0, point 7 at cell 157, the
// others in order between them, Offset and Alfa not negative) and rebuilds ModPoints from
// them.
void FixTblCor(EcuImages& images);

// Decodes one read block (48 cells as 192 hex digits, low byte first) into the table.
// Every block must be whole: a shorter text changes nothing and gives False. The last
// block (3) ending in "FFFF" is the current layout; any other is the older one, which is
// moved into the current layout.
bool DecodeTblCorBlock(const QString& hex, int block, TblCor& table, const ConfigScale& scale);

// Moves the tail of a table read in the older layout (line parameters in cells 184/185,
// point cells 186..191) into the current one, interpolating the two cells the older
// layout lacks. Cell 191 is left as it is.
void ConvertOldTblCorLayout(TblCor& table);

// True when every cell 0..190 is finite and fits its 16-bit wire word.
bool TblCorFitsWire(const TblCor& table, const ConfigScale& scale);

// The hex text (192 digits) of one block as written: cells 0..180 in units of
// K_Time_Inj_us, 181/182 x 1000, 183..190 raw, cell 191 always "FFFF". Call only for a
// table that TblCorFitsWire.
QString EncodeTblCorBlock(const TblCor& table, int block, const ConfigScale& scale);

// Reads the table from the ECU in four blocks into TblCorRead. The first failed
// exchange or incomplete block ends it with False; blocks read before it stay.
bool ReadTblCor(comm::ClsComm& link, EcuModel& model);

// Writes TblCorEdit to the ECU in four blocks. A table with a cell that does not fit
// the wire is not sent at all (False); the first failed block ends it with False.
bool WriteTblCor(comm::ClsComm& link, EcuModel& model);

} // namespace ecudata
