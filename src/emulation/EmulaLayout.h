#pragma once

// The Lambda page's layout: the frame FrmEmul with the settings above, the thresholds
// label LblTabSoglie and the three grids of the table below it. Recomputed at every
// resize and tab change; two font sets by the window's outer height, two grid fonts by
// its outer width.

#include "ui/TwipsGeometry.h"

namespace emulation {

inline constexpr float LargeFontAboveHeight = 11520;
inline constexpr float LargeGridFontAboveWidth = 13500;

// The controls the layout reads and places.
const QStringList& EmulaPageControls();

// tabWidth and tabHeight: the tab control's size (its pages fill it); outerWidth and
// outerHeight: the window's outer size. Positions inside FrmEmul are relative to the
// frame.
void LayoutEmulaPage(ui::TwipsGeometry& page, float tabWidth, float tabHeight, float outerWidth,
                     float outerHeight);

// The grids' rows and columns as the layout sizes them: the table row height and the
// width of one rpm column, in twips.
struct EmulaGridCells {
    float RowHeight = 0;
    float RpmColumn = 0;
    float PressColumn = 0;
};
EmulaGridCells EmulaGridCellsOf(const ui::TwipsGeometry& page);

} // namespace emulation
