#pragma once

// The designed controls of the emulation windows, in twips, each built through
// ui::ControlBuilder below the window named as the first rows' parent.
//
// The Lambda page's table holds only the controls the page makes itself: the frame
// FrmEmul, its captions, live values and GrdTitolo stand in the main window's table, the
// lambda combos and GrdEmul in the Configuration page's. The page's layout places them
// all at every resize, so the places here stand only until the first one.

#include "ui/ControlBuilder.h"

#include <span>

namespace emulation {

// Below "FrmEmul".
std::span<const ui::ControlDesc> EmulaPageDesign();

// Below "FrmCompensaTbl".
std::span<const ui::ControlDesc> CompensaTblDesign();

// Below "FrmEnterValueLambda".
std::span<const ui::ControlDesc> EnterValueDesign();

} // namespace emulation
