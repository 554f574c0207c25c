#pragma once

// The Map page's designed controls and its layout as arithmetic in twips, apart from its
// behaviour: the chart frame FrmMap (canvas, legend, the first sample labels), the
// command and acquisition frames, the live point, the matched points on the Modeling
// chart and the developer's frame FrmMapSample; where LayoutMapPage puts them for the
// tab control's size.

#include "ui/ControlBuilder.h"

#include <QSize>
#include <span>

namespace calibration {

// The chart frame's controls (MapChart); the canvas is the custom row (MakeChartCanvas).
std::span<const ui::ControlDesc> MapChartDesign();
// The page's commands, live point, matched points and developer frame (MapPage); the
// developer frame's canvas is the custom row (MakeChartCanvas).
std::span<const ui::ControlDesc> MapPageDesign();

// Elements the page adds while it runs, each placed when made: the sample labels
// LblTgMap and LblTpMap (1..59, on the first), the matched points ShpMapMod (1 and up,
// as large as the first) and the developer frame's cells ShpT(0..191).
inline constexpr ui::ControlDesc GasSampleDesign{
    ui::ControlKind::Label, "LblTgMap", 0, "FrmMap", "", 0, 0, 90, 90};
inline constexpr ui::ControlDesc PetrolSampleDesign{
    ui::ControlKind::Label, "LblTpMap", 0, "FrmMap", "", 0, 0, 90, 90};
inline constexpr ui::ControlDesc MatchedPointDesign{
    ui::ControlKind::Shape, "ShpMapMod", 0, "FrmMod", "", 0, 0, 120, 120};
inline constexpr ui::ControlDesc SampleCellDesign{
    ui::ControlKind::Shape, "ShpT", 0, "FrmMapSample", "", 0, 0, 45, 45};

// Where LayoutMapPage puts the page's controls.
struct MapPageLayout {
    int framesLeft = 0;   // FrmMapCmd, FrmMapTuning and FrmLegendaMap
    QSize chart;          // FrmMap
    int acquireWidth = 0; // ChkAbilAcqVacum
};

// The frames at the tab's right edge, the chart on the rest of the tab; the acquisition
// box as wide as its caption (captionWidth) and no wider than its frame allows.
MapPageLayout LayoutMapPage(QSize tab, int commandFrameWidth, int tuningFrameWidth,
                            int captionWidth);

} // namespace calibration
