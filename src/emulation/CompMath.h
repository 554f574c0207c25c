#pragma once

// The arithmetic of the compensation-tables window, apart from its widgets: the leaning
// axis in milliseconds, the key editors' steps and ranges, the linear fills of the
// leaning table and the live markers' places (twips).

#include <QString>
#include <array>
#include <optional>

namespace emulation {

inline constexpr int CompPoints = 15;

// The leaning axis is held in units of 8 us and shown in ms (at most three decimals).
QString SmagMsText(int units, const QString& decimalSep);
// trunc(nearest(ms x 1000) / 8); a text that is no number reads 0.
int SmagUnits(const QString& text, const QString& decimalSep);

struct CompEditor {
    int small;
    int large;
    int low;
    int high;
};
inline constexpr CompEditor PercentEditor{1, 10, -100, 100};
inline constexpr CompEditor TempEditor{1, 10, -127, 127};
inline constexpr CompEditor PressEditor{10, 100, 0, 4000};
inline constexpr CompEditor SmagTimeEditor{1, 25, 0, 2500};

// One step, clamped to the upper limit first, then the lower.
int StepComp(int value, bool plus, bool shift, const CompEditor& editor);

// The inner points 2..14 of the leaning table filled linearly from point 1 to point 15
// (index 0 is point 1; points 1 and 15 keep their values).
// Percent row: trunc(first + (c - 1) x (last - first) / 14), toward zero.
std::array<int, CompPoints> PercentFill(const std::array<int, CompPoints>& row);
// Time row, in ms: the step quantised to whole 8 us units (nearest, a half to the even
// one); computed in double and kept within the axis range 0..20 ms.
std::array<double, CompPoints> TimeFill(const std::array<double, CompPoints>& row);

// The column 1..15 of a table's live marker: the first whose axis value is not below the
// live value; 15 when none is (an axis text that is no number does not count).
int AxisMarkerColumn(const std::array<std::optional<double>, CompPoints>& axis, double live);
// Left edges in twips from the grid's left (column 0 is 840 wide, the others 585).
int AxisMarkerLeft(int gridLeft, int column);
int LeanMarkerLeft(int gridLeft, int step);

} // namespace emulation
