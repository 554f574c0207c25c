#include "calibration/MapDesign.h"

#include <algorithm>

namespace calibration {

namespace {

using app::ControlDesc;
using app::ControlKind;

// Rows whose names are the window's own adopt its controls, which keep their captions.
const ControlDesc ChartDesign[] = {
    // The chart on the left, the command frames on the right.
    {ControlKind::Frame, "FrmMap", -1, "Tab5", "", 60, 780, 7020, 5100},
    {ControlKind::Custom, "ChartMap", -1, "FrmMap", "", 0, 0, 7020, 5100},
    // Each fuel's label in the legend follows a square of its samples' colour.
    {ControlKind::Shape, "ShpMapGas", -1, "FrmLegendaMap", "", 120, 727, 150, 150},
    {ControlKind::Label, "LblMapGas", -1, "FrmLegendaMap", "", 360, 660, 2520, 285},
    {ControlKind::Shape, "ShpMapPetrol", -1, "FrmLegendaMap", "", 120, 367, 150, 150},
    {ControlKind::Label, "LblMapPetrol", -1, "FrmLegendaMap", "", 360, 300, 2520, 285},
    GasSampleDesign,
    PetrolSampleDesign,
};

const ControlDesc PageDesign[] = {
    {ControlKind::Button, "CmdMapRead", -1, "FrmMapCmd", "", 90, 240, 1380, 420},
    {ControlKind::Button, "CmdMapCompute", -1, "FrmMapCmd", "", 1530, 240, 1380, 420},
    {ControlKind::Button, "CmdMapClrGas", -1, "FrmMapCmd", "", 90, 780, 1380, 420},
    {ControlKind::Button, "CmdMapClrPet", -1, "FrmMapCmd", "", 1530, 780, 1380, 420},
    {ControlKind::Button, "CmdMapOpen", -1, "FrmMapCmd", "Open", 90, 1320, 1380, 420},
    {ControlKind::Button, "CmdMapSave", -1, "FrmMapCmd", "Save", 1530, 1320, 1380, 420},
    // The Modeling tab's button that takes the matched points off its chart.
    {ControlKind::Button, "CmdShpMapMod", -1, "Tab3", "", 6780, 5500, 1800, 420},
    // No wider than its caption (the layout fits it to the language): a click beside the
    // caption does not tick it.
    {ControlKind::Check, "ChkAbilAcqVacum", -1, "FrmMapTuning", "", 120, 300, 1800, 285},
    {ControlKind::Label, "LblShoRpm", -1, "FrmMapTuning", "", 120, 720, 1200, 285},
    {ControlKind::Combo, "CmbShoRpm", -1, "FrmMapTuning", "", 1380, 690, 1500, 315},
    {ControlKind::Shape, "ShpInjTimeShadowMap", 0, "FrmMap", "", 0, 0, 150, 150},
    {ControlKind::Shape, "ShpInjTimeMap", 0, "FrmMap", "", 0, 0, 150, 150},
    MatchedPointDesign,
    // The developer's frame stands outside the tabs, over them, and grows when clicked.
    {ControlKind::Frame, "FrmMapSample", -1, "client", "", 600, 600, 225, 225},
    {ControlKind::Custom, "ChartMapSample", -1, "FrmMapSample", "", 0, 0, 225, 225},
};

} // namespace

std::span<const ControlDesc> MapChartDesign() {
    return ChartDesign;
}

std::span<const ControlDesc> MapPageDesign() {
    return PageDesign;
}

MapPageLayout LayoutMapPage(QSize tab, int commandFrameWidth, int tuningFrameWidth,
                            int captionWidth) {
    MapPageLayout l;
    l.framesLeft = tab.width() - commandFrameWidth - 225;
    l.chart = {l.framesLeft - 150, tab.height() - 900};
    l.acquireWidth = std::min(captionWidth, tuningFrameWidth - 240);
    return l;
}

} // namespace calibration
