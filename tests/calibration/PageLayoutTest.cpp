// The calibration pages' layouts as arithmetic in twips: where each page puts its
// controls for a size of the tab control, and where the Modeling chart's labels, shapes
// and markers stand.

#include "calibration/CalibrationDesign.h"
#include "calibration/MapDesign.h"
#include "calibration/ModelingDesign.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace calibration;

// The Calibration tab as designed: buttons 1800 x 420, the status frame at 60, 780.
CalPageLayout DesignedCalPage() {
    return {.start = {240, 3360, 1800, 420},
            .cancel = {2160, 3360, 1800, 420},
            .frame = {60, 780, 10200, 2400},
            .step = {240, 240, 9600, 600},
            .message = {240, 1500, 9600, 600},
            .outline = {240, 900, 9600, 480},
            .bar = {240, 900, 9600, 480},
            .readouts = {4200, 3360, 6000, 1800},
            .compute = {240, 3960, 1800, 420}};
}

TEST(CalPageLayout, ButtonsRightStatusFrameLeftBarAlongTheStepLabelsFoot) {
    const CalPageLayout l = LayoutCalPage(DesignedCalPage(), {10440, 6600}, false);
    EXPECT_EQ(l.start.topLeft(), QPoint(8340, 3360));
    EXPECT_EQ(l.cancel.topLeft(), QPoint(8340, 6030)); // its foot 150 above the tab's
    EXPECT_EQ(l.frame, QRect(60, 780, 8220, 5400));
    EXPECT_EQ(l.step, QRect(240, 240, 7740, 4920));
    EXPECT_EQ(l.message, QRect(240, 1500, 7740, 3900));
    EXPECT_EQ(l.outline, QRect(240, 4560, 7740, 480));
    EXPECT_EQ(l.bar, QRect(255, 4575, 7710, 450));
    // Hidden, the developer's controls stay where they stood.
    EXPECT_EQ(l.readouts, DesignedCalPage().readouts);
    EXPECT_EQ(l.compute, DesignedCalPage().compute);
}

TEST(CalPageLayout, ShownReadoutsStandLevelWithCancelAndTheFrameGivesUpTheirRoom) {
    const CalPageLayout l = LayoutCalPage(DesignedCalPage(), {10440, 6600}, true);
    EXPECT_EQ(l.readouts, QRect(60, 4650, 6000, 1800));
    EXPECT_EQ(l.readouts.y() + l.readouts.height(), l.cancel.y() + l.cancel.height());
    EXPECT_EQ(l.compute, QRect(6180, 6030, 1800, 420)); // beside them, feet level
    EXPECT_EQ(l.frame.y() + l.frame.height(), 4650 - 120);
    EXPECT_EQ(l.outline.y() + l.outline.height(), l.step.y() + l.step.height() - 120);
}

TEST(CalPageLayout, EveryValueIsWholePixelsAsTheNextStepReadsIt) {
    // 10447 - 2100 = 8347 twips lands between pixels: the button stands at 8340 and the
    // frame ends 60 twips before that, not before 8347.
    const CalPageLayout l = LayoutCalPage(DesignedCalPage(), {10447, 6607}, true);
    for (const QRect& r :
         {l.start, l.cancel, l.frame, l.step, l.message, l.outline, l.bar, l.readouts, l.compute}) {
        for (const int v : {r.x(), r.y(), r.width(), r.height()}) {
            EXPECT_EQ(v % 15, 0) << v;
        }
    }
    EXPECT_EQ(l.start.x(), 8340);
    EXPECT_EQ(l.frame.width(), 8340 - 120);
}

TEST(ModPageLayout, FramesRightButtonsInRowsBelowTheLineFrameChartTakesTheRest) {
    const ModPageLayout l =
        LayoutModPage({10440, 6600}, 3420, {6780, 2700, 3420, 1500}, {1080, 1200, 900});
    EXPECT_EQ(l.framesLeft, 10440 - 3420 - 225);
    EXPECT_EQ(l.fileButtons[0], QPoint(6795, 4320));
    EXPECT_EQ(l.fileButtons[1], QPoint(6795 + 1080 + 90, 4320));
    EXPECT_EQ(l.fileButtons[2], QPoint(6795 + 1080 + 90 + 1200 + 90, 4320));
    EXPECT_EQ(l.lowerButtons[0], QRect(6795, 4830, 1665, 420));
    EXPECT_EQ(l.lowerButtons[1], QRect(6795 + 1755, 4830, 1665, 420));
    EXPECT_EQ(l.chart, QSize(6795 - 150, 5700));
}

TEST(MapPageLayout, FramesRightAndTheAcquisitionBoxNoWiderThanItsFrameAllows) {
    const MapPageLayout narrow = LayoutMapPage({10440, 6600}, 3000, 3000, 1500);
    EXPECT_EQ(narrow.framesLeft, 10440 - 3000 - 225);
    EXPECT_EQ(narrow.chart, QSize(7215 - 150, 5700));
    EXPECT_EQ(narrow.acquireWidth, 1500);
    EXPECT_EQ(LayoutMapPage({10440, 6600}, 3000, 3000, 4000).acquireWidth, 3000 - 240);
}

TEST(ModelingChart, LabelsShapesAndMarkersCentredOnTheirChartPoints) {
    const ModGeometry g = InizVarMod(9000, 6000);
    // A point label of 165 twips: its centre on the point, whole twips.
    const Twips p = ModPointPos(g, 10, 10, 165, 165);
    EXPECT_EQ(p.left, std::round(g.X(10) - 82.5));
    EXPECT_EQ(p.top, std::round(g.Y(10) - 82.5));
    const std::array<double, 4> ends = ModSegmentEnds(p, {p.left + 100, p.top - 100}, 165, 165);
    EXPECT_EQ(ends[2] - ends[0], 100);
    EXPECT_EQ(ends[3] - ends[1], -100);
    // A shape beyond the chart's maxima stands on its right and top edges.
    const Twips capped = ModShapePos(g, 25, 40, 90, 90, true);
    EXPECT_EQ(capped.left, g.X(g.XMax()) - 90);
    EXPECT_EQ(capped.top, g.Y(g.YMax()) - 90);
    EXPECT_EQ(ModShapePos(g, 0.01, 0, 0, 0, false).left, g.X(0.01)); // not rounded
    // Cell 100 of the correction table: petrol 12.8 ms, gas 12.8 ms plus its correction.
    const Twips m = CorMarkerPos(g, 100, 1.5, 45, 45);
    EXPECT_EQ(m.left, std::round(g.X(12.8) - 45));
    EXPECT_EQ(m.top, std::round(g.Y(14.3) - 45));
}

} // namespace
