#pragma once

// The Modeling page's designed controls and its arithmetic in twips, apart from its
// behaviour: the chart frame FrmMod (canvas, point labels, live point, the calibration's
// markers), the point frame FrmModPnt and the line frame FrmModLine with their value
// boxes and step buttons, and the file buttons; where LayoutModPage puts them for the
// tab control's size, and where the chart's labels and shapes stand.

#include "calibration/ChartGeometry.h"
#include "calibration/NinePointModel.h"
#include "ui/ControlBuilder.h"

#include <QIcon>
#include <QRect>
#include <QSize>
#include <array>
#include <span>

namespace calibration {

// The chart frame's controls; the canvas is the custom row (MakeChartCanvas).
std::span<const ui::ControlDesc> ModelingChartDesign();
// The point and line frames and the tab's file buttons; the value boxes are the custom
// rows (MakeValueBox).
std::span<const ui::ControlDesc> ModelingFramesDesign();

// Elements the page adds while it runs, each placed when made: the correction table's
// markers ShpPunti (up to 191, beyond those of the window's design) and the live point's
// trail ShpInjTimeMod(1..15), each older position a little smaller.
inline constexpr ui::ControlDesc CorMarkerDesign{
    ui::ControlKind::Shape, "ShpPunti", 0, "FrmMod", "", 120, 600, 90, 90};
inline constexpr ui::ControlDesc TrailDesign{ui::ControlKind::Shape, "ShpInjTimeMod", 0, "FrmMod",
                                             ""};

// The step buttons of the point and line frames: the arrow each shows (pointing at angle
// degrees, 0 right and 90 up; underlined for the slope, which tilts the line) and the
// step it makes.
struct StepButtonDesign {
    const char* name;
    double angle;
    bool tilted;
    StepButton step;
};
std::span<const StepButtonDesign> ModelingStepButtons();
QIcon ArrowIcon(double angle, bool tilted);

// Where LayoutModPage puts the page's controls.
struct ModPageLayout {
    int framesLeft = 0;                  // FrmModPnt and FrmModLine
    std::array<QPoint, 3> fileButtons{}; // CmdModOpen, CmdModSave, CmdReset: top left
    std::array<QRect, 2> lowerButtons{}; // CmdShpMapMod, CmdTableComp
    QSize chart;                         // FrmMod
};

// The frames at the tab's right edge, the file buttons in a row below the line frame
// (each keeps its width) and below them the Map page's button and the compensation
// tables' button; the chart takes the rest of the tab.
ModPageLayout LayoutModPage(QSize tab, int pointFrameWidth, const QRect& lineFrame,
                            const std::array<int, 3>& fileButtonWidths);

// Top left of a model point's label of size (w, h) centred on (x, y), in whole twips (the
// chart position taken in single precision, as the model holds it).
Twips ModPointPos(const ModGeometry& mod, float x, float y, double w, double h);
// A segment from the centre of one point label of size (w, h) to the next one's: x1, y1,
// x2, y2 in whole twips.
std::array<double, 4> ModSegmentEnds(Twips from, Twips to, double w, double h);
// Top left of a shape of half size (halfW, halfH) centred on (x, y) capped at the chart's
// maxima; rounded to whole twips when whole.
Twips ModShapePos(const ModGeometry& mod, double x, double y, double halfW, double halfH,
                  bool whole);
// Top left of the marker of correction-table cell i (petrol time i x 0.128 ms, gas time
// that plus the cell's correction), whole twips.
Twips CorMarkerPos(const ModGeometry& mod, int cell, double correction, double halfW, double halfH);

} // namespace calibration
