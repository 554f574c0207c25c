#include "calibration/ModelingDesign.h"

#include "support/Conversions.h"

#include <QPainter>
#include <QPixmap>
#include <algorithm>

namespace calibration {

namespace {

using support::RoundHalfEven;
using ui::ControlDesc;
using ui::ControlKind;

constexpr const char* Digits[] = {"0", "1", "2", "3", "4", "5", "6", "7"};

constexpr double CellMs = 0.128;

// The chart in the window's FrmMod, its point numbers and the live point; the frame's
// axis titles and the markers ShpPmin and ShpPLoad are the window's.
const ui::ControlDesc ChartDesign[] = {
    {ui::ControlKind::Custom, "ChartMod", -1, "FrmMod", "", 0, 0, 6600, 4500},
    {ui::ControlKind::Label, "LblPntMod", 0, "FrmMod", Digits[0], 0, 0, 165, 165},
    {ui::ControlKind::Label, "LblPntMod", 1, "FrmMod", Digits[1], 0, 0, 165, 165},
    {ui::ControlKind::Label, "LblPntMod", 2, "FrmMod", Digits[2], 0, 0, 165, 165},
    {ui::ControlKind::Label, "LblPntMod", 3, "FrmMod", Digits[3], 0, 0, 165, 165},
    {ui::ControlKind::Label, "LblPntMod", 4, "FrmMod", Digits[4], 0, 0, 165, 165},
    {ui::ControlKind::Label, "LblPntMod", 5, "FrmMod", Digits[5], 0, 0, 165, 165},
    {ui::ControlKind::Label, "LblPntMod", 6, "FrmMod", Digits[6], 0, 0, 165, 165},
    {ui::ControlKind::Label, "LblPntMod", 7, "FrmMod", Digits[7], 0, 0, 165, 165},
    {ui::ControlKind::Shape, "ShpInjTimeMod", 0, "FrmMod", "", 0, 0, 180, 180},
};

constexpr int PointColumns = 7;
constexpr int FrameRows = 3 * PointColumns + 5 + 2 + 4 + 3;

// The point frame (its captions are the window's): a column for each point 1..7 (its
// number, X and Y boxes as wide as "20,0" needs, a pixel apart), the arrows and the reset
// ending under the last box; the line frame (captions the window's too): boxes and the
// step buttons; the file buttons.
constexpr std::array<ControlDesc, FrameRows> FramesDesign = [] {
    std::array<ControlDesc, FrameRows> rows{};
    size_t n = 0;
    for (int i = 0; i < PointColumns; ++i) {
        const int left = 640 + i * 390;
        rows[n++] = {
            ui::ControlKind::Label, "LblXPos", i, "FrmModPnt", Digits[i + 1], left, 270, 360, 240};
        rows[n++] = {ui::ControlKind::Custom, "TxtXPos", i, "FrmModPnt", "", left, 540, 375, 285};
        rows[n++] = {ui::ControlKind::Custom, "TxtYPos", i, "FrmModPnt", "", left, 870, 375, 285};
    }
    int left = 640;
    for (const char* arrow : {"CmdLeft", "CmdRight", "CmdUp", "CmdDown"}) {
        rows[n++] = {ui::ControlKind::Button, arrow, -1, "FrmModPnt", "", left, 1260, 480, 420};
        left += 510;
    }
    rows[n++] = {ui::ControlKind::Button,
                 "CmdResetLine",
                 -1,
                 "FrmModPnt",
                 "Reset",
                 left,
                 1260,
                 3355 - left,
                 420};

    rows[n++] = {ui::ControlKind::Custom, "TxtALfaPos", -1, "FrmModLine", "", 1260, 360, 900, 285};
    rows[n++] = {
        ui::ControlKind::Custom, "TxtOffsetPos", -1, "FrmModLine", "", 1260, 900, 900, 285};
    rows[n++] = {ui::ControlKind::Button, "CmdAlfaUp", -1, "FrmModLine", "", 2280, 300, 480, 420};
    rows[n++] = {ui::ControlKind::Button, "CmdAlfaDown", -1, "FrmModLine", "", 2820, 300, 480, 420};
    rows[n++] = {ui::ControlKind::Button, "CmdOffsetUp", -1, "FrmModLine", "", 2280, 840, 480, 420};
    rows[n++] = {
        ui::ControlKind::Button, "CmdOffsetDown", -1, "FrmModLine", "", 2820, 840, 480, 420};

    rows[n++] = {ui::ControlKind::Button, "CmdModOpen", -1, "Tab3", "Open", 6780, 4980, 1080, 420};
    rows[n++] = {ui::ControlKind::Button, "CmdModSave", -1, "Tab3", "Save", 7950, 4980, 1080, 420};
    rows[n++] = {ui::ControlKind::Button, "CmdReset", -1, "Tab3", "Reset", 9120, 4980, 1080, 420};
    return rows;
}();

constexpr StepButtonDesign StepButtons[] = {
    {"CmdLeft", 0, false, StepButton::Left},
    {"CmdRight", 180, false, StepButton::Right},
    {"CmdUp", 90, false, StepButton::Up},
    {"CmdDown", 270, false, StepButton::Down},
    {"CmdAlfaUp", 60, true, StepButton::AlfaUp},
    {"CmdAlfaDown", 30, true, StepButton::AlfaDown},
    {"CmdOffsetUp", 90, false, StepButton::OffsetUp},
    {"CmdOffsetDown", 270, false, StepButton::OffsetDown},
};

} // namespace

std::span<const ui::ControlDesc> ModelingChartDesign() {
    return ChartDesign;
}

std::span<const ui::ControlDesc> ModelingFramesDesign() {
    return FramesDesign;
}

std::span<const StepButtonDesign> ModelingStepButtons() {
    return StepButtons;
}

QIcon ArrowIcon(double angle, bool tilted) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(12, 12);
    painter.rotate(-angle);
    painter.setBrush(Qt::black);
    painter.setPen(Qt::NoPen);
    const QPointF head[] = {{9, 0}, {1, -7}, {1, 7}};
    painter.drawPolygon(head, 3);
    painter.fillRect(QRectF(-8, -2.5, 10, 5), Qt::black);
    if (tilted) {
        painter.setPen(QPen(Qt::darkGray, 1.5));
        painter.drawLine(QPointF(-9, 8), QPointF(9, 8));
    }
    return QIcon(pixmap);
}

ModPageLayout LayoutModPage(QSize tab, int pointFrameWidth, const QRect& lineFrame,
                            const std::array<int, 3>& fileButtonWidths) {
    ModPageLayout l;
    l.framesLeft = tab.width() - pointFrameWidth - 225;
    const int buttonsTop = lineFrame.y() + lineFrame.height() + 120;
    int left = l.framesLeft;
    for (size_t i = 0; i < l.fileButtons.size(); ++i) {
        l.fileButtons[i] = {left, buttonsTop};
        left += fileButtonWidths[i] + 90;
    }
    left = l.framesLeft;
    for (QRect& button : l.lowerButtons) {
        button = {left, buttonsTop + 510, 1665, 420};
        left += 1665 + 90;
    }
    l.chart = {l.framesLeft - 150, tab.height() - 900};
    return l;
}

Twips ModPointPos(const ModGeometry& mod, float x, float y, double w, double h) {
    return {RoundHalfEven(mod.OrgX + mod.ScaleX * x - w / 2),
            RoundHalfEven(mod.OrgY - mod.ScaleY * y - h / 2)};
}

std::array<double, 4> ModSegmentEnds(Twips from, Twips to, double w, double h) {
    return {RoundHalfEven(from.left + w / 2), RoundHalfEven(from.top + h / 2),
            RoundHalfEven(to.left + w / 2), RoundHalfEven(to.top + h / 2)};
}

Twips ModShapePos(const ModGeometry& mod, double x, double y, double halfW, double halfH,
                  bool whole) {
    x = std::min<double>(x, mod.XMax());
    y = std::min<double>(y, mod.YMax());
    const Twips at{mod.OrgX + mod.ScaleX * x - halfW, mod.OrgY - mod.ScaleY * y - halfH};
    return whole ? Twips{RoundHalfEven(at.left), RoundHalfEven(at.top)} : at;
}

Twips CorMarkerPos(const ModGeometry& mod, int cell, double correction, double halfW,
                   double halfH) {
    return {RoundHalfEven(cell * CellMs * mod.ScaleX + mod.OrgX - halfW),
            RoundHalfEven(mod.OrgY - (cell * CellMs + correction) * mod.ScaleY - halfH)};
}

} // namespace calibration
