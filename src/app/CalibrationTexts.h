#pragma once

// Texts of our own that tell the installer what a value or a run came to: a stored
// calibration result, a value the Lambda table's cells cannot hold. From the dictionary's
// section in the current language, the English ones where it has none.

#include <QString>

namespace app {

struct ProgramContext;

enum class CalibrationText {
    ResultStored, // the calibration's result went into the ECU
    ValueLimited, // %1 the lowest, %2 the highest, %3 the value the cells take (volts)
};

QString TextOf(const ProgramContext& ctx, CalibrationText entry);

} // namespace app
