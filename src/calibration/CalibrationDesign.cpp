#include "calibration/CalibrationDesign.h"

#include "ui/Controls.h"

#include <algorithm>

namespace calibration {

namespace {

using ui::ControlDesc;
using ui::ControlKind;

const ui::ControlDesc Design[] = {
    {ui::ControlKind::Label, "LblVarTara", 0, "FrmVarTara", "Offset", 120, 240, 1500, 240},
    {ui::ControlKind::Label, "LblVarTaraVal", 0, "FrmVarTara", "", 1680, 240, 1260, 240},
    {ui::ControlKind::Label, "LblVarTara", 1, "FrmVarTara", "TCorr", 120, 495, 1500, 240},
    {ui::ControlKind::Label, "LblVarTaraVal", 1, "FrmVarTara", "", 1680, 495, 1260, 240},
    {ui::ControlKind::Label, "LblVarTara", 2, "FrmVarTara", "TInj cycle", 120, 750, 1500, 240},
    {ui::ControlKind::Label, "LblVarTaraVal", 2, "FrmVarTara", "", 1680, 750, 1260, 240},
    {ui::ControlKind::Label, "LblVarTara", 3, "FrmVarTara", "TInj max", 120, 1005, 1500, 240},
    {ui::ControlKind::Label, "LblVarTaraVal", 3, "FrmVarTara", "", 1680, 1005, 1260, 240},
    {ui::ControlKind::Label, "LblVarTara", 4, "FrmVarTara", "TInj ref", 120, 1260, 1500, 240},
    {ui::ControlKind::Label, "LblVarTaraVal", 4, "FrmVarTara", "", 1680, 1260, 1260, 240},
    {ui::ControlKind::Label, "LblVarTara", 5, "FrmVarTara", "TInj load", 120, 1515, 1500, 240},
    {ui::ControlKind::Label, "LblVarTaraVal", 5, "FrmVarTara", "", 1680, 1515, 1260, 240},
    {ui::ControlKind::Label, "LblVarTara", 6, "FrmVarTara", "Alfa", 3060, 240, 1500, 240},
    {ui::ControlKind::Label, "LblVarTaraVal", 6, "FrmVarTara", "", 4620, 240, 1260, 240},
    {ui::ControlKind::Label, "LblVarTara", 7, "FrmVarTara", "Offset", 3060, 495, 1500, 240},
    {ui::ControlKind::Label, "LblVarTaraVal", 7, "FrmVarTara", "", 4620, 495, 1260, 240},
    {ui::ControlKind::Label, "LblVarTara", 8, "FrmVarTara", "Final offset", 3060, 750, 1500, 240},
    {ui::ControlKind::Label, "LblVarTaraVal", 8, "FrmVarTara", "", 4620, 750, 1260, 240},
    {ui::ControlKind::Label, "LblVarTara", 9, "FrmVarTara", "", 3060, 1005, 1500, 240},
    {ui::ControlKind::Label, "LblVarTaraVal", 9, "FrmVarTara", "", 4620, 1005, 1260, 240},
    {ui::ControlKind::Label, "LblVarTara", 10, "FrmVarTara", "Pressure", 3060, 1260, 1500, 240},
    {ui::ControlKind::Label, "LblVarTaraVal", 10, "FrmVarTara", "", 4620, 1260, 1260, 240},
    {ui::ControlKind::Label, "LblVarTara", 11, "FrmVarTara", "Temperature", 3060, 1515, 1500, 240},
    {ui::ControlKind::Label, "LblVarTaraVal", 11, "FrmVarTara", "", 4620, 1515, 1260, 240},
};

// A place or a size as a control holds it: whole pixels, a size never below zero.
int Place(int twips) {
    return ui::ToTwips(ui::ToPixels(twips));
}
int Size(int twips) {
    return ui::ToTwips(std::max(0, ui::ToPixels(twips)));
}

void SetLeft(QRect& r, int twips) {
    r.moveLeft(Place(twips));
}
void SetTop(QRect& r, int twips) {
    r.moveTop(Place(twips));
}
void SetWidth(QRect& r, int twips) {
    r.setWidth(Size(twips));
}
void SetHeight(QRect& r, int twips) {
    r.setHeight(Size(twips));
}
QRect Rect(int left, int top, int width, int height) {
    return {Place(left), Place(top), Size(width), Size(height)};
}

} // namespace

std::span<const ui::ControlDesc> CalibrationDesign() {
    return Design;
}

CalPageLayout LayoutCalPage(CalPageLayout p, QSize tab, bool readoutsShown) {
    SetLeft(p.start, tab.width() - (p.start.width() + 300));
    SetLeft(p.cancel, p.start.x());
    SetTop(p.cancel, tab.height() - (p.cancel.height() + 150));
    SetWidth(p.frame, p.start.x() - 2 * p.frame.x());
    for (QRect* label : {&p.step, &p.message}) {
        SetWidth(*label, p.frame.width() - 2 * label->x());
    }
    SetHeight(p.frame, tab.height() - 1200);
    if (readoutsShown) {
        const int top = tab.height() - p.readouts.height() - 150;
        SetLeft(p.readouts, p.frame.x());
        SetTop(p.readouts, top);
        SetHeight(p.frame, top - 120 - p.frame.y());
        SetLeft(p.compute, p.readouts.x() + p.readouts.width() + 120);
        SetTop(p.compute, top + p.readouts.height() - p.compute.height());
    }
    SetHeight(p.step, p.frame.height() - 2 * p.step.y());
    SetHeight(p.message, p.frame.height() - p.message.y());
    p.outline = Rect(p.step.x(), p.step.y() + p.step.height() - p.outline.height() - 120,
                     p.step.width(), p.outline.height());
    p.bar = Rect(p.outline.x() + 15, p.outline.y() + 15, p.outline.width() - 30,
                 p.outline.height() - 30);
    return p;
}

} // namespace calibration
