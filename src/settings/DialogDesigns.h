#pragma once

// The designed controls of the settings dialogs (expert, level sensor, injectors, reset),
// as tables for ui::ControlBuilder. Each dialog's own controls hang on a parent named as
// the dialog; the rows of the level-sensor and injector dialogs are computed, the
// injector rows for the number of injectors. Pure: no widgets are made here.

#include "ui/ControlBuilder.h"

#include <span>
#include <vector>

namespace settings {

// The expert dialog (parent "FrmSetExpert").
std::span<const ui::ControlDesc> ExpertDesign();

// The level-sensor dialog (parent "FrmLevelSetting"): its frame and heading, and Default
// and the live readings below where the rows go.
std::vector<ui::ControlDesc> LevelDesign();
// Its four threshold rows under the heading, row 3 (4/4) on top.
std::vector<ui::ControlDesc> LevelRowsDesign();

// The injector dialog (parent "FrmInjSet") for rows injectors (1 to 8): the column
// headings, the sensibility slider, then one row per injector; the frame, the background
// button and the slider fit the rows.
std::vector<ui::ControlDesc> InjDesign(int rows);

// The reset dialog (parent "FrmResetParam"): the three answer buttons side by side.
std::span<const ui::ControlDesc> ResetDesign();

} // namespace settings
