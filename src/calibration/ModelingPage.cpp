#include "calibration/ModelingPage.h"

#include "app/CommonDialog.h"
#include "app/Controls.h"
#include "app/FrmLX735.h"
#include "app/ProgramContext.h"
#include "calibration/ChartCanvas.h"
#include "ecudata/RecordTables.h"
#include "monitor/ControlLook.h"
#include "support/Clock.h"
#include "support/Colors.h"
#include "support/Conversions.h"
#include "support/Cursor.h"
#include "support/FileRoutines.h"
#include "support/MessageBox.h"

#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <cmath>

namespace calibration {

namespace {

using app::ArrayName;
using app::MoveTwips;
using support::RoundHalfEven;

constexpr int PointCount = 8; // labelled points 0..7
constexpr int CorCells = 192; // markers of the correction table
constexpr int RevealUsec = 40000;
constexpr double CellMs = 0.128;

// Draws an arrow pointing at angle degrees (0 right, 90 up); two arrows for the slope
// buttons, which tilt the line.
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

template <class T>
T* Make(QWidget& parent, const QString& name, int left, int top, int width, int height,
        const QString& caption = {}) {
    auto* control = new T(&parent);
    control->setObjectName(name);
    MoveTwips(*control, left, top, width, height);
    if (!caption.isEmpty()) {
        app::SetCaption(control, caption);
    }
    control->show();
    return control;
}

QLineEdit* MakeBox(QWidget& parent, const QString& name, int left, int top, int width) {
    auto* box = Make<QLineEdit>(parent, name, left, top, width, 285);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignCenter);
    box->setProperty("Appearance", 0);
    box->setFrame(false);
    monitor::SetBackColor(*box, White);
    return box;
}

void SetAppearance(QLineEdit& box, int appearance) {
    if (box.property("Appearance").toInt() != appearance) {
        box.setProperty("Appearance", appearance);
        box.setFrame(appearance == 1);
    }
}

// A point label in its back colour, its digit in the colour that reads on it: white on
// the red of a point, black on the yellow of the selection.
void PaintPoint(QLabel& label, quint32 back) {
    monitor::SetBackColor(label, back);
    const QColor digit =
        qGray(support::ColorFromBgr(back).rgb()) < 128 ? QColor(Qt::white) : QColor(Qt::black);
    if (label.palette().color(QPalette::WindowText) != digit) {
        QPalette palette = label.palette();
        palette.setColor(QPalette::WindowText, digit);
        label.setPalette(palette);
    }
}

bool Differs(double a, double b) {
    return a != b;
}

} // namespace

ModelingPage::ModelingPage(app::ProgramContext& ctx, app::FrmLX735& window, TaraValues& tara)
    : ctx_(ctx), window_(window), tara_(tara) {
    holdTimer_.setSingleShot(true);
    connect(&holdTimer_, &QTimer::timeout, this, [this] { HoldTick(); });
    revealTimer_.setInterval(RevealUsec / 1000);
    connect(&revealTimer_, &QTimer::timeout, this, [this] { RevealNext(); });
    BuildControls();
}

QWidget* ModelingPage::Widget(const QString& name) const {
    return qobject_cast<QWidget*>(window_.Control(name));
}

QString ModelingPage::Fixed(double value, int decimals) const {
    int width = 1;
    return support::FormatFixed(value, decimals, width, ctx_.DecimalSep);
}

// ---- Controls

void ModelingPage::BuildControls() {
    QWidget& frmMod = *Widget("FrmMod");
    canvas_ = new ChartCanvas(frmMod, "ChartMod");
    for (int i = 0; i < PointCount; ++i) {
        QLabel* label =
            Make<QLabel>(frmMod, ArrayName("LblPntMod", i), 0, 0, 165, 165, QString::number(i));
        label->setAlignment(Qt::AlignCenter);
        QFont font = label->font();
        font.setPointSize(6);
        font.setBold(true);
        label->setFont(font);
        label->installEventFilter(this);
        label->setVisible(i == 0);
        PaintPoint(*label, Red);
        points_[i] = label;
    }
    canvas_->Overlay("LineRifModel").Color = 0x008000;
    for (int i = 0; i < PointCount - 1; ++i) {
        canvas_->Overlay(ArrayName("LineRMod", i)).Color = 0xFF0000;
    }
    auto* live = Make<QFrame>(frmMod, ArrayName("ShpInjTimeMod", 0), 0, 0, 180, 180);
    monitor::SetFillColor(*live, 0x0000FF);
    // The calibration's markers move from the General page's design onto the chart.
    for (const char* name : {"ShpPmin", "ShpPLoad"}) {
        if (QWidget* marker = Widget(name)) {
            const bool visible = marker->isVisibleTo(marker->parentWidget());
            marker->setParent(&frmMod);
            MoveTwips(*marker, 0, 0, 150, 150);
            marker->setVisible(visible);
        }
    }
    auto* gasTitle = qobject_cast<QLineEdit*>(Widget("TxtGasMod"));
    auto* petrolTitle = qobject_cast<QLineEdit*>(Widget("TxtPetrolMod"));
    if (gasTitle && petrolTitle) {
        canvas_->SetTitles(*gasTitle, *petrolTitle);
    }
    BuildPointFrame(*Widget("FrmModPnt"));
    BuildLineFrame(*Widget("FrmModLine"));

    QWidget& tab = *window_.Page(3);
    const auto button = [&](const char* name, const char* caption, int left, auto handler) {
        auto* b = Make<QPushButton>(tab, name, left, 4980, 1080, 420, caption);
        connect(b, &QPushButton::clicked, this, handler);
    };
    button("CmdModOpen", "Open", 6780, [this] { CmdModOpen_Click(); });
    button("CmdModSave", "Save", 7950, [this] { CmdModSave_Click(); });
    button("CmdReset", "Reset", 9120, [this] { CmdReset_Click(); });
    if (auto* compute = qobject_cast<QPushButton*>(window_.Control("CmdComputeModl(0)"))) {
        connect(compute, &QPushButton::clicked, this, [this] { CmdComputeModl_Click(); });
    }
}

void ModelingPage::BuildPointFrame(QWidget& frame) {
    for (const auto& [name, top] : {std::pair{"LblPlace", 540}, std::pair{"LblMul", 870}}) {
        if (QWidget* caption = Widget(name)) {
            MoveTwips(*caption, 60, top, 560, 285);
        }
    }
    for (int i = 0; i < 7; ++i) {
        const int left = 640 + i * 390;
        auto* label = Make<QLabel>(frame, ArrayName("LblXPos", i), left, 270, 360, 240,
                                   QString::number(i + 1));
        label->setAlignment(Qt::AlignCenter);
        // As wide as "20,0" needs: the boxes stand a pixel apart.
        txtX_[i] = MakeBox(frame, ArrayName("TxtXPos", i), left, 540, 375);
        txtY_[i] = MakeBox(frame, ArrayName("TxtYPos", i), left, 870, 375);
        txtX_[i]->installEventFilter(this);
        txtY_[i]->installEventFilter(this);
    }
    const struct {
        const char* name;
        double angle;
        StepButton step;
    } arrows[] = {{"CmdLeft", 0, StepButton::Left},
                  {"CmdRight", 180, StepButton::Right},
                  {"CmdUp", 90, StepButton::Up},
                  {"CmdDown", 270, StepButton::Down}};
    int left = 640;
    for (const auto& a : arrows) {
        auto* b = Make<QPushButton>(frame, a.name, left, 1260, 480, 420);
        b->setIcon(ArrowIcon(a.angle, false));
        ConnectStep(*b, a.step);
        left += 510;
    }
    // The reset ends with the boxes above it.
    auto* reset = Make<QPushButton>(frame, "CmdResetLine", left, 1260, 3355 - left, 420, "Reset");
    connect(reset, &QPushButton::clicked, this, [this] { CmdResetLine_Click(); });
}

void ModelingPage::BuildLineFrame(QWidget& frame) {
    for (const auto& [name, top] : {std::pair{"LblAlfa", 360}, std::pair{"LblOffset", 900}}) {
        if (QWidget* caption = Widget(name)) {
            MoveTwips(*caption, 120, top, 1080, 285);
        }
    }
    txtAlfa_ = MakeBox(frame, "TxtALfaPos", 1260, 360, 900);
    txtOffset_ = MakeBox(frame, "TxtOffsetPos", 1260, 900, 900);
    txtAlfa_->installEventFilter(this);
    txtOffset_->installEventFilter(this);
    const struct {
        const char* name;
        int left, top;
        double angle;
        bool tilted;
        StepButton step;
    } buttons[] = {{"CmdAlfaUp", 2280, 300, 60, true, StepButton::AlfaUp},
                   {"CmdAlfaDown", 2820, 300, 30, true, StepButton::AlfaDown},
                   {"CmdOffsetUp", 2280, 840, 90, false, StepButton::OffsetUp},
                   {"CmdOffsetDown", 2820, 840, 270, false, StepButton::OffsetDown}};
    for (const auto& d : buttons) {
        auto* b = Make<QPushButton>(frame, d.name, d.left, d.top, 480, 420);
        b->setIcon(ArrowIcon(d.angle, d.tilted));
        ConnectStep(*b, d.step);
    }
}

void ModelingPage::ConnectStep(QPushButton& button, StepButton step) {
    button.setAutoRepeat(false);
    connect(&button, &QPushButton::pressed, this, [this, step] { StepButtonDown(step); });
    connect(&button, &QPushButton::released, this, [this] { StepButtonUp(); });
}

bool ModelingPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonRelease) {
        return false;
    }
    for (int i = 0; i < PointCount; ++i) {
        if (watched == points_[i]) {
            DeselezionaPuntiMod();
            SelectPointMod(i);
        }
    }
    for (int i = 0; i < 7; ++i) {
        if (watched == txtX_[i] || watched == txtY_[i]) {
            DeselezionaPuntiMod();
            SelectPointMod(i + 1);
        }
    }
    if (watched == txtAlfa_ || watched == txtOffset_) {
        SelectLine(*static_cast<QLineEdit*>(watched));
    }
    return false;
}

// ---- Chart frame

void ModelingPage::InizVarMod() {
    QWidget& frame = *Widget("FrmMod");
    geo_ = calibration::InizVarMod(static_cast<float>(app::WidthTwips(frame)),
                                   static_cast<float>(app::HeightTwips(frame)));
}

void ModelingPage::DrawGridMod() {
    QWidget& frame = *Widget("FrmMod");
    canvas_->Fit();
    canvas_->SetFrame(calibration::DrawGridMod(geo_));
    // Placeholders until the model is drawn: labels 1..7 hidden, 300 twips apart.
    points_[0]->raise();
    for (int i = 1; i < PointCount; ++i) {
        points_[i]->hide();
        pointPos_[i] = {pointPos_[i - 1].first, pointPos_[i - 1].second + 300};
        points_[i]->raise();
    }
    for (int i = 1; i < PointCount - 1; ++i) {
        canvas_->Overlay(ArrayName("LineRMod", i)).Visible = false;
        segmentPos_[i][3] = segmentPos_[i - 1][3] + 90;
    }
    canvas_->SendToBack("LineRifModel");
    // The ECU table's markers, seen in the developer view only.
    for (int i = 0; i < CorCells; ++i) {
        QWidget* marker = Widget(ArrayName("ShpPunti", i));
        if (!marker) {
            marker = Make<QFrame>(frame, ArrayName("ShpPunti", i), 120, 600, 90, 90);
            monitor::SetFillColor(*marker, 0x000000);
            marker->setVisible(ctx_.DeveloperView);
        } else if (i == 0) {
            marker->setVisible(ctx_.DeveloperView);
        }
    }
    canvas_->update();
}

// ---- Model drawing

void ModelingPage::DisponiMatriceModDefault() {
    calibration::DisponiMatriceModDefault(ctx_.Images.ModPoints);
}

void ModelingPage::PlottaMatricePuntiMod(bool animate) {
    ModRec& m = ctx_.Images.ModPoints;
    CalcModPoints(m);
    for (int i = 0; i < PointCount; ++i) {
        QLabel& label = *points_[i];
        const double w = app::WidthTwips(label);
        const double h = app::HeightTwips(label);
        const double left = RoundHalfEven(geo_.OrgX + geo_.ScaleX * m.X[i] - w / 2);
        const double top = RoundHalfEven(geo_.OrgY - geo_.ScaleY * m.Y[i] - h / 2);
        if (Differs(left, pointPos_[i].first) || Differs(top, pointPos_[i].second)) {
            pointPos_[i] = {left, top};
            app::MoveTwips(label, static_cast<int>(left), static_cast<int>(top),
                           static_cast<int>(w), static_cast<int>(h));
            label.setToolTip(
                QStringLiteral("P%1 (%2 ; %3)").arg(i).arg(Fixed(m.X[i], 1), Fixed(m.Y[i], 1)));
            label.hide();
        }
    }
    for (int i = 0; i < PointCount - 1; ++i) {
        const double w = app::WidthTwips(*points_[i]);
        const double h = app::HeightTwips(*points_[i]);
        const std::array<double, 4> ends{RoundHalfEven(pointPos_[i].first + w / 2),
                                         RoundHalfEven(pointPos_[i].second + h / 2),
                                         RoundHalfEven(pointPos_[i + 1].first + w / 2),
                                         RoundHalfEven(pointPos_[i + 1].second + h / 2)};
        ChartLine& line = canvas_->Overlay(ArrayName("LineRMod", i));
        if (ends != segmentPos_[i]) {
            segmentPos_[i] = ends;
            line.X1 = ends[0];
            line.Y1 = ends[1];
            line.X2 = ends[2];
            line.Y2 = ends[3];
            line.Visible = false;
        }
    }
    if (animate) {
        // The hidden items come back one by one, 40 ms apart, without blocking.
        revealNext_ = 0;
        revealTimer_.start();
    } else {
        for (QLabel* label : points_) {
            label->show();
        }
        for (int i = 0; i < PointCount - 1; ++i) {
            canvas_->Overlay(ArrayName("LineRMod", i)).Visible = true;
        }
    }
    canvas_->update();
}

void ModelingPage::RevealNext() {
    if (revealNext_ < PointCount) {
        points_[revealNext_]->show();
    } else if (revealNext_ < 2 * PointCount - 1) {
        canvas_->Overlay(ArrayName("LineRMod", revealNext_ - PointCount)).Visible = true;
        canvas_->update();
    }
    if (++revealNext_ >= 2 * PointCount - 1) {
        revealTimer_.stop();
    }
}

void ModelingPage::AggiornaStatoPuntoMod() {
    const ModRec& m = ctx_.Images.ModPoints;
    for (int i = 0; i < 7; ++i) {
        txtX_[i]->setText(Fixed(m.X[i + 1], 1));
        txtY_[i]->setText(Fixed(m.dY[i + 1], 1));
    }
    txtAlfa_->setText(Fixed(m.Alfa, 2));
    txtOffset_->setText(Fixed(m.Offset, 1));
}

void ModelingPage::DrawRefLineMod() {
    const ModRec& m = ctx_.Images.ModPoints;
    ChartLine& line = canvas_->Overlay("LineRifModel");
    line.X1 = geo_.OrgX;
    line.Y1 = geo_.OrgY - geo_.ScaleY * m.Offset;
    line.X2 = geo_.OrgX + geo_.ScaleX * LineEndX;
    line.Y2 = geo_.OrgY - geo_.ScaleY * LineEndX * m.Alfa - geo_.ScaleY * m.Offset;
    line.Visible = true;
    canvas_->update();
}

void ModelingPage::VisualizzaPuntoInjTimeMod() {
    const app::InjectionTimes& t = ctx_.InjTimes;
    const auto place = [&](QWidget& shape, double x, double y, double halfW, double halfH,
                           bool whole) {
        x = std::min<double>(x, geo_.XMax());
        y = std::min<double>(y, geo_.YMax());
        double left = geo_.OrgX + geo_.ScaleX * x - halfW;
        double top = geo_.OrgY - geo_.ScaleY * y - halfH;
        if (whole) {
            left = RoundHalfEven(left);
            top = RoundHalfEven(top);
        }
        app::SetLeftTwips(shape, static_cast<int>(std::lround(left)));
        app::SetTopTwips(shape, static_cast<int>(std::lround(top)));
    };
    for (int i = 0; i < 16; ++i) {
        if (QWidget* shape = Widget(ArrayName("ShpInjTimeMod", i))) {
            place(*shape, t.TInjHist3[i], t.TInjHist4[i], i == 0 ? trail_.pointW : trail_.trailW,
                  i == 0 ? trail_.pointH : trail_.trailH, false);
        }
    }
    for (int i = 15; i >= 0; --i) {
        if (QWidget* shape = Widget(ArrayName("ShpInjTimeMod", i))) {
            shape->raise();
        }
    }
    if (!ctx_.DeveloperView) {
        return;
    }
    QWidget* pmin = Widget("ShpPmin");
    QWidget* pload = Widget("ShpPLoad");
    if (!pmin || !pload) {
        return;
    }
    trail_.trailW = app::WidthTwips(*pmin) / 2.0;
    trail_.trailH = app::HeightTwips(*pmin) / 2.0;
    const struct {
        QWidget* shape;
        double x, y;
    } markers[] = {{pmin, tara_.TaraRefTime, tara_.TaraRefTime + tara_.TaraFinalOffset},
                   {pload, tara_.TaraLoadTime, tara_.TaraLoadTime}};
    for (int k = 0; k < 2; ++k) {
        const double x = std::min<double>(markers[k].x, geo_.XMax());
        const double y = std::min<double>(markers[k].y, geo_.YMax());
        const double left = RoundHalfEven(geo_.OrgX + geo_.ScaleX * x - trail_.trailW);
        const double top = RoundHalfEven(geo_.OrgY - geo_.ScaleY * y - trail_.trailH);
        if (Differs(left, devMarkerPos_[k].first) || Differs(top, devMarkerPos_[k].second)) {
            devMarkerPos_[k] = {left, top};
            app::SetLeftTwips(*markers[k].shape, static_cast<int>(left));
            app::SetTopTwips(*markers[k].shape, static_cast<int>(top));
        }
    }
    pload->raise();
    pmin->raise();
}

void ModelingPage::LayoutModPage() {
    app::TabStrip& sst = window_.SstMain();
    QWidget& pnt = *Widget("FrmModPnt");
    QWidget& line = *Widget("FrmModLine");
    QWidget& frmMod = *Widget("FrmMod");
    const int pntLeft = app::WidthTwips(sst) - app::WidthTwips(pnt) - 225;
    app::SetLeftTwips(pnt, pntLeft);
    app::SetLeftTwips(line, pntLeft);
    // The file buttons stand in a row below the line frame.
    const int buttonsTop = app::TopTwips(line) + app::HeightTwips(line) + 120;
    int left = pntLeft;
    for (const char* name : {"CmdModOpen", "CmdModSave", "CmdReset"}) {
        if (QWidget* b = Widget(name)) {
            app::SetLeftTwips(*b, left);
            app::SetTopTwips(*b, buttonsTop);
            left += app::WidthTwips(*b) + 90;
        }
    }
    // Below the row, the Map page's button that takes its points off this chart and, in
    // the developer view, the compensation tables' button beside it.
    left = pntLeft;
    for (const char* name : {"CmdShpMapMod", "CmdTableComp"}) {
        if (QWidget* b = Widget(name)) {
            app::MoveTwips(*b, left, buttonsTop + 510, 1665, 420);
            left += 1665 + 90;
        }
    }
    app::SetWidthTwips(frmMod, pntLeft - 150);
    app::SetHeightTwips(frmMod, app::HeightTwips(sst) - 900);
    InizVarMod();
    DrawGridMod();
    PlottaMatricePuntiMod(true);
    AggiornaStatoPuntoMod();
    DrawRefLineMod();
    DeselezionaPuntiMod();
    // The live point stands on the chart from the start, not at the frame's corner.
    VisualizzaPuntoInjTimeMod();
}

void ModelingPage::PlotCorTableMod() {
    QWidget* first = Widget(ArrayName("ShpPunti", 0));
    if (!first) {
        return;
    }
    const double halfW = RoundHalfEven(app::WidthTwips(*first) / 2.0);
    const double halfH = RoundHalfEven(app::HeightTwips(*first) / 2.0);
    const ecudata::TblCor& table = ctx_.Images.TblCorRead;
    for (int i = 0; i < CorCells; ++i) {
        QWidget* marker = Widget(ArrayName("ShpPunti", i));
        if (!marker) {
            continue;
        }
        const double left = RoundHalfEven(i * CellMs * geo_.ScaleX + geo_.OrgX - halfW);
        const double top = RoundHalfEven(geo_.OrgY - (i * CellMs + table[i]) * geo_.ScaleY - halfH);
        if (Differs(left, markerPos_[i].first) || Differs(top, markerPos_[i].second)) {
            markerPos_[i] = {left, top};
            app::SetLeftTwips(*marker, static_cast<int>(left));
            app::SetTopTwips(*marker, static_cast<int>(top));
            marker->raise();
        }
    }
}

void ModelingPage::ShowModLimits() {
    const ecudata::CalibrationParams& p = ctx_.TaraParams;
    const ModRec& m = ctx_.Images.ModPoints;
    const struct {
        QLineEdit* box;
        float value;
        double min, max;
    } boxes[] = {{txtAlfa_, m.Alfa, p.TaraPar32, p.TaraPar31},
                 {txtOffset_, m.Offset, p.TaraPar33, p.TaraPar24}};
    for (const auto& b : boxes) {
        const quint32 now = monitor::BackColor(*b.box);
        const quint32 next =
            LimitBlinkColor(b.value, b.min, b.max, b.box->property("Appearance").toInt() == 1, now);
        if (next != now) {
            monitor::SetBackColor(*b.box, next);
        }
    }
}

void ModelingPage::UpdateCorTable(bool force) {
    ecudata::EcuImages& images = ctx_.Images;
    // An edit waiting to be written is newer than the table the ECU still holds.
    if (ctx_.Requests.ModWriteCountdown > 0) {
        return;
    }
    const bool changed = images.TblCorEdit != images.TblCorRead;
    images.TblCorEdit = images.TblCorRead;
    if (force || changed) {
        ecudata::FixTblCor(images);
        DrawRefLineMod();
        PlottaMatricePuntiMod(false);
        AggiornaStatoPuntoMod();
    }
}

// ---- Selection

int ModelingPage::GetSelPunto() {
    for (int i = 0; i < PointCount; ++i) {
        if (monitor::BackColor(*points_[i]) == Yellow) {
            return i;
        }
    }
    return -1;
}

void ModelingPage::SelectPointMod(int i) {
    if (i < 0 || i >= PointCount) {
        return;
    }
    PaintPoint(*points_[i], Yellow);
    if (i - 1 >= 0 && i - 1 < 7) {
        for (QLineEdit* box : {txtX_[i - 1], txtY_[i - 1]}) {
            monitor::SetBackColor(*box, Yellow);
            SetAppearance(*box, 1);
        }
    }
}

void ModelingPage::DeselezionaPuntiMod() {
    for (QLabel* label : points_) {
        PaintPoint(*label, Red);
    }
    for (int i = 0; i < 7; ++i) {
        for (QLineEdit* box : {txtX_[i], txtY_[i]}) {
            monitor::SetBackColor(*box, White);
            SetAppearance(*box, 0);
        }
    }
    for (QLineEdit* box : {txtAlfa_, txtOffset_}) {
        monitor::SetBackColor(*box, White);
        SetAppearance(*box, 0);
    }
}

void ModelingPage::SelectLine(QLineEdit& box) {
    DeselezionaPuntiMod();
    for (QLabel* label : points_) {
        PaintPoint(*label, Yellow);
    }
    monitor::SetBackColor(box, Yellow);
    SetAppearance(box, 1);
}

// ---- Step buttons

void ModelingPage::StepButtonDown(StepButton button) {
    if (!IsArrow(button)) {
        SelectLine(button == StepButton::AlfaUp || button == StepButton::AlfaDown ? *txtAlfa_
                                                                                  : *txtOffset_);
    }
    int point = -1;
    if (IsArrow(button)) {
        point = GetSelPunto();
        if (!PointInRange(button, point)) {
            return;
        }
    }
    modButtonHeld_ = true;
    heldButton_ = button;
    heldPoint_ = point;
    repeat_.Press(support::GetTimeUsec());
    RedrawAfterStep();
}

// One step of the held button and its redraw; a failed limit test ends the repeat.
void ModelingPage::RedrawAfterStep() {
    if (!StepModel(ctx_.Images.ModPoints, heldButton_, heldPoint_, geo_.YMax())) {
        repeat_.Release();
        holdTimer_.stop();
        return;
    }
    PlottaMatricePuntiMod(false);
    AggiornaStatoPuntoMod();
    DrawRefLineMod();
    if (repeat_.Held()) {
        const double wait = repeat_.UsecToNext(support::GetTimeUsec());
        holdTimer_.start(std::max(1, static_cast<int>(std::ceil(wait / 1000))));
    }
}

void ModelingPage::HoldTick() {
    if (!repeat_.Held()) {
        return;
    }
    const double now = support::GetTimeUsec();
    if (repeat_.TakeDue(now)) {
        RedrawAfterStep();
    } else {
        holdTimer_.start(std::max(1, static_cast<int>(std::ceil(repeat_.UsecToNext(now) / 1000))));
    }
}

void ModelingPage::StepButtonUp() {
    modButtonHeld_ = false;
    repeat_.Release();
    holdTimer_.stop();
    ArmModelWrite();
}

void ModelingPage::ArmModelWrite() {
    ctx_.Requests.ModWriteCountdown = 2.0;
}

// ---- Buttons

void ModelingPage::CmdResetLine_Click() {
    const QString title = ctx_.Texts.AppTitle + " - " + app::ReleaseText;
    const int answer = support::MsgBox(ctx_.Texts.MsgMod[3], support::vbYesNo, title);
    ctx_.Comm().LoadWDogSend();
    if (answer != support::vbYes) {
        return;
    }
    const support::CursorOverride hourglass(Qt::WaitCursor);
    DisponiPuntiSuLineaMod(ctx_.Images.ModPoints);
    PlottaMatricePuntiMod(true);
    AggiornaStatoPuntoMod();
    DeselezionaPuntiMod();
    DrawRefLineMod();
    ArmModelWrite();
}

void ModelingPage::CmdModOpen_Click() {
    if (support::MsgBox(ctx_.Texts.MsgMod[2], support::vbYesNo, QString()) != support::vbYes ||
        !ctx_.ParamFilePending.isEmpty()) {
        return;
    }
    ctx_.ParamFilePending = window_.ChooseParamFile();
    if (!ctx_.ParamFilePending.isEmpty() && !support::IsFilePresent(ctx_.ParamFilePending)) {
        ctx_.ParamFilePending.clear();
    }
}

void ModelingPage::CmdModSave_Click() {
    // The same dialog, file and caption as the File menu's save.
    window_.MnuFileSaveConf_Click();
}

void ModelingPage::CmdReset_Click() {
    const QString title = ctx_.Texts.AppTitle + " - " + app::ReleaseText;
    const int answer = support::MsgBox(ctx_.Texts.MsgMod[1], support::vbYesNo, title);
    ctx_.Comm().LoadWDogSend();
    if (answer != support::vbYes || !ctx_.ParamFilePending.isEmpty()) {
        return;
    }
    ctx_.ParamNoSend = 1;
    ctx_.ParamFilePending =
        ctx_.AppFolder + (ctx_.Images.Mem3Data.FuelType != 0 ? QStringLiteral("/LNG/DefaultCng.Xar")
                                                             : QStringLiteral("/LNG/Default.Xar"));
}

void ModelingPage::CmdComputeModl_Click() {
    ecudata::LoadInjTypeTbl(ctx_.Tables, ctx_.AppFolder, ctx_.DecimalSep, ctx_.Scale.K_Time_Pwm_us);
    ApplyModRules();
}

void ModelingPage::ApplyModRules() {
    QString rules;
    const auto& types = ctx_.Tables.TblInjType;
    if (!types.empty()) {
        const ecudata::InjTypeRec& type =
            types[ecudata::FindInjType(ctx_.Tables, ctx_.Images.Mem3Data.InjType)];
        rules = ctx_.Images.Mem3Data.FuelType == 0 ? type.RuleLpg : type.RuleCng;
    }
    calibration::ApplyModRules(ctx_.Images.ModPoints, rules, tara_.TaraFinalOffset, geo_.YMax());
    PlottaMatricePuntiMod(false);
    AggiornaStatoPuntoMod();
    DrawRefLineMod();
    ArmModelWrite();
}

} // namespace calibration
