#pragma once

// What the state procedures of the calibration run share across TaraRun*.cpp: the texts'
// line break, the supply modes they switch between and the bar's step.

#include "support/Conversions.h"

#include <QString>
#include <QtGlobal>

namespace calibration::tara_run {

inline const QString CrLf = QStringLiteral("\r\n");
inline constexpr quint8 SupplyPetrol = 0;
inline constexpr quint8 SupplyGas = 3;
inline constexpr int ProgressStep = 30; // the bar's step per sample and pause tick

inline QString Fixed(double value, int decimals, int width, const QString& sep) {
    return support::FormatFixed(value, decimals, width, sep);
}

} // namespace calibration::tara_run
