#include "settings/DialogRows.h"

#include "support/Conversions.h"

namespace settings {

int LevelElement(int row, bool reversed) {
    return reversed ? LevelRows - row : row + 1;
}

int LevelRowTop(int headingTop, int headingHeight, int rowHeight, int row) {
    return headingTop + headingHeight + 150 + (LevelRows - 1 - row) * (rowHeight + 225);
}

QString LevelValueText(double fullScale, int fullCount, int count, const QString& sep) {
    const double divisor = fullCount != 0 ? fullCount : 0.000001;
    int decimals = 2;
    int width = 1;
    return support::FormatFixed(fullScale / divisor * count, decimals, width, sep);
}

int OffsetSteps(double offsetMs, double kTimeInj) {
    if (kTimeInj == 0) {
        return 0;
    }
    return int(support::RoundHalfEven(offsetMs / (10 * kTimeInj)));
}

int ModeItem(int mode) {
    return mode == 4 ? 1 : mode == 0 ? 2 : 0;
}

int ItemMode(int item) {
    return item == 1 ? 4 : item == 2 ? 0 : 3;
}

} // namespace settings
