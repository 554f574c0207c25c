#include "emulation/CompMath.h"

#include "support/Conversions.h"

#include <algorithm>
#include <cmath>

namespace emulation {

namespace {

constexpr int FirstColumnLeft = 855; // column 1's left edge plus 15
constexpr int ColumnWidth = 585;

double Nearest(double value) {
    return support::RoundHalfEven(value);
}

} // namespace

QString SmagMsText(int units, const QString& decimalSep) {
    return support::GeneralNumberText(units * 8 / 1000.0, decimalSep);
}

int SmagUnits(const QString& text, const QString& decimalSep) {
    const double ms = support::LocaleNumber(text, decimalSep).value_or(0.0);
    return static_cast<int>(static_cast<qint64>(Nearest(ms * 1000.0)) / 8);
}

int StepComp(int value, bool plus, bool shift, const CompEditor& editor) {
    value += (plus ? 1 : -1) * (shift ? editor.large : editor.small);
    if (value > editor.high) {
        value = editor.high;
    }
    if (value < editor.low) {
        value = editor.low;
    }
    return value;
}

std::array<int, CompPoints> PercentFill(const std::array<int, CompPoints>& row) {
    std::array<int, CompPoints> filled = row;
    const double first = row.front();
    const double step = (row.back() - first) / 14.0;
    for (int c = 2; c <= 14; ++c) {
        filled[c - 1] = static_cast<int>(std::trunc(first + (c - 1) * step));
    }
    return filled;
}

std::array<double, CompPoints> TimeFill(const std::array<double, CompPoints>& row) {
    std::array<double, CompPoints> filled = row;
    const double first = row.front();
    const double stepUnits = Nearest((row.back() - first) / 14.0 * 1000.0 / 8.0);
    for (int c = 2; c <= 14; ++c) {
        const double ms = first + (c - 1) * (stepUnits * 8.0 / 1000.0);
        // Whole microseconds, within the axis the ECU takes.
        filled[c - 1] = std::clamp(Nearest(ms * 1000.0) / 1000.0, 0.0, 20.0);
    }
    return filled;
}

int AxisMarkerColumn(const std::array<std::optional<double>, CompPoints>& axis, double live) {
    for (int c = 1; c <= CompPoints; ++c) {
        if (axis[c - 1] && !(*axis[c - 1] < live)) {
            return c;
        }
    }
    return CompPoints;
}

int AxisMarkerLeft(int gridLeft, int column) {
    return gridLeft + (column - 1) * ColumnWidth + FirstColumnLeft;
}

int LeanMarkerLeft(int gridLeft, int step) {
    return gridLeft + std::min(step, CompPoints) * ColumnWidth + FirstColumnLeft;
}

} // namespace emulation
