#pragma once

// The arithmetic of the Lambda page, apart from its widgets: volt codes and their texts,
// the delay, the block's defaults and enable rule, the threshold and table-cell editors,
// the value-entry checks and apply, the breakpoint steps and the working-point cell.
// Texts are numbers in the locale's format (decimalSep).

#include "ecudata/EmulaBlock.h"
#include "ecudata/RecordTables.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <utility>

namespace emulation {

using ecudata::EmulaBlk;

// The volt step: the single-precision 19.6 mV widened, as every conversion uses it.
inline constexpr double S = static_cast<double>(19.6f);

inline constexpr int TableRows = 4;
inline constexpr int TableCols = 12;
inline constexpr int OffsetModeIndex = 5; // the lambda record that shows offsets

// The nearest whole number, a half to the even one.
double Nearest(double value);

// Byte of the table cell of pressure row r and rpm column c.
constexpr int TableByte(int row, int col) {
    return 32 + 4 * col + row;
}
int Word(const EmulaBlk& block, int offset);
void SetWord(EmulaBlk& block, int offset, int value); // low 16 bits, little-endian

// The volts a code stands for in hundredths: nearest(code x S) / 10, truncated.
int ShownCentivolts(int code);
// The code's volts as text, without trailing zeros (255 -> "4.99", 51 -> "1").
QString VoltText(int code, const QString& decimalSep);
QString CentivoltText(int centivolts, const QString& decimalSep);
// Lambda-type defaults truncate: Int(mV / S).
int TruncCode(double millivolts);

// Activation delay: stored units of 25 ms, and the list entry that shows them.
quint16 DelayUnits(double seconds);
int DelayIndex(const QStringList& items, int units);
// A delay item as the configuration fill writes it; either decimal mark reads.
std::optional<double> DelaySeconds(const QString& item);

// The four threshold boxes, the three grids: enabled only with a lambda type, the
// emulation on and at least one probe typed.
bool TableEnabled(int lambdaIndex, int abilEmulaIndex, const EmulaBlk& block);

// A new lambda type: the whole table and the four thresholds take its defaults.
void ApplyLambdaDefaults(EmulaBlk& block, const ecudata::LambdaRec& record);

// Threshold boxes. The highest millivolts a box takes by the lambda-type index.
int LevelLimitMv(int lambdaIndex);
// The accepted text in hundredths of a volt: limited by type, never below 0; nothing
// for an empty or non-numeric text.
std::optional<int> ValidateLevelCentivolts(const QString& text, int lambdaIndex,
                                           const QString& decimalSep);
// The code of a threshold in volts: nearest(nearest(v x 1000) / S), within a byte.
int LevelCode(double volts);
// Every "," to "." or the other way, whichever is not the locale's mark.
QString NormaliseSeparator(QString text, const QString& decimalSep);

// Table cells. Offset mode shows code - 127.
struct CellMode {
    bool offset = false;
    int lambdaIndex = 0;
};
QString StepTableCell(const QString& text, bool up, bool shift, CellMode mode,
                      const QString& decimalSep);
// The byte of a cell text; nothing when it is not a number or falls outside 0..255.
std::optional<int> CellByte(const QString& text, CellMode mode, const QString& decimalSep);
QString CellText(int byte, CellMode mode, const QString& decimalSep);

// Breakpoints: one step, clamped to the upper bound first, then the lower.
int StepBreakpoint(int value, int delta, int lower, int upper);

// The value-entry dialog: 0 accepted, else the MsgEmula number of the refusal (1 empty
// or not a number, 2/3 linear above/below, 4/5 percent, 6/7 absolute).
enum EnterOper { OperCancelled = 0, OperLinear = 1, OperPercent = 2, OperAbsolute = 3 };
int CheckEnterValue(const QString& text, int oper, const QString& decimalSep);
// The volts an absolute value is clamped to in every voltage cell (the nearer end of the
// lambda type's range); nothing when the cells take it as it is or hold offsets.
std::optional<double> ClampedAbsoluteVolts(double value, CellMode mode);
// The lowest and highest volts a voltage cell of the lambda type holds.
std::pair<double, double> CellVoltRange(int lambdaIndex);
// One cell after the dialog's value and operation, clamped before it is quantised.
QString ApplyEnterValueCell(const QString& cell, double value, int oper, CellMode mode,
                            const QString& decimalSep);

// The working-point cell (column, row), each at least 1: the first breakpoint strictly
// above the live value, else the count.
struct MarkerCell {
    int col = 1;
    int row = 1;
};
MarkerCell EmulaMarkerCell(const std::array<int, TableCols>& rpmBreaks,
                           const std::array<int, TableRows>& pressBreaks, double rpm,
                           double pressure);

// The data line of a parameter file's "[EmulaLambda]": exactly 176 hex digits.
std::optional<EmulaBlk> ParseEmulaLine(const QString& line);

} // namespace emulation
