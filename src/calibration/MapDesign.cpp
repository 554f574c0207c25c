#include "calibration/MapDesign.h"

#include <algorithm>

namespace calibration {

namespace {

using ui::ControlDesc;
using ui::ControlKind;

// The frames, buttons and captions the chart and page use are the main window's.
const ui::ControlDesc ChartDesign[] = {
    // The chart fills the window's FrmMap.
    {ui::ControlKind::Custom, "ChartMap", -1, "FrmMap", "", 0, 0, 7020, 5100},
    // Each fuel's label in the legend follows a square of its samples' colour.
    {ui::ControlKind::Shape, "ShpMapGas", -1, "FrmLegendaMap", "", 120, 727, 150, 150},
    {ui::ControlKind::Shape, "ShpMapPetrol", -1, "FrmLegendaMap", "", 120, 367, 150, 150},
    GasSampleDesign,
    PetrolSampleDesign,
};

const ui::ControlDesc PageDesign[] = {
    {ui::ControlKind::Button, "CmdMapOpen", -1, "FrmMapCmd", "Open", 90, 1320, 1380, 420},
    {ui::ControlKind::Button, "CmdMapSave", -1, "FrmMapCmd", "Save", 1530, 1320, 1380, 420},
    {ui::ControlKind::Shape, "ShpInjTimeShadowMap", 0, "FrmMap", "", 0, 0, 150, 150},
    {ui::ControlKind::Shape, "ShpInjTimeMap", 0, "FrmMap", "", 0, 0, 150, 150},
    MatchedPointDesign,
    {ui::ControlKind::Custom, "ChartMapSample", -1, "FrmMapSample", "", 0, 0, 225, 225},
};

} // namespace

std::span<const ui::ControlDesc> MapChartDesign() {
    return ChartDesign;
}

std::span<const ui::ControlDesc> MapPageDesign() {
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
