#pragma once

// The arithmetic of the level-sensor and injector dialogs' rows, apart from their
// widgets: which threshold a row shows, the value texts, the push that keeps the rows
// ordered, and the injector offsets in scroll-bar steps.

#include <QString>
#include <QtGlobal>
#include <array>

namespace settings {

// ---- Level-sensor dialog: rows 0 to 3, row 3 on top.

constexpr int LevelRows = 4;

// The threshold element (1 to 4) row i shows: i + 1, or 4 - i for a reversed sensor.
int LevelElement(int row, bool reversed);

// The row's top in twips below the heading.
int LevelRowTop(int headingTop, int headingHeight, int rowHeight, int row);

// The value of a raw count in the sensor's unit, two decimals: fullScale / fullCount x c,
// the division first; a full count of 0 divides by 0.000001.
QString LevelValueText(double fullScale, int fullCount, int count, const QString& decimalSep);

// ---- Injector dialog: one row per injector.

constexpr int InjMaxRows = 8;

constexpr int OffsetStepMin = -50;
constexpr int OffsetStepMax = 50;

// An offset (ms) as scroll-bar steps of 10 x kTimeInj: rounded half to even; 0 when the
// scale is 0. Not clamped to the bar.
int OffsetSteps(double offsetMs, double kTimeInj);

// The mode combo's item for a stored mode (4: 1, 0: 2, anything else: 0), and the mode an
// item asks for.
int ModeItem(int mode);
int ItemMode(int item);

} // namespace settings
