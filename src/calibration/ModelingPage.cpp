#include "calibration/ModelingPage.h"

#include "app/FrmLX735.h"
#include "app/MainControls.h"
#include "app/ProgramContext.h"
#include "calibration/ChartCanvas.h"
#include "calibration/ModelingDesign.h"
#include "calibration/PageControls.h"
#include "ecudata/RecordTables.h"
#include "support/Clock.h"
#include "support/Colors.h"
#include "support/Conversions.h"
#include "support/Cursor.h"
#include "support/FileRoutines.h"
#include "support/MessageBox.h"
#include "ui/CommonDialog.h"
#include "ui/ControlLook.h"
#include "ui/Controls.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <cmath>

namespace calibration {

namespace {

using support::RoundHalfEven;
using ui::ArrayName;

constexpr int PointCount = 8;   // labelled points 0..7
constexpr int CorCells = 192;   // markers of the correction table
constexpr int TrailShapes = 16; // the live point and its trail
constexpr int RevealUsec = 40000;
constexpr int StoredScale = 1000; // thousandths of the slope and offset, microseconds of a time

void SetAppearance(QLineEdit& box, int appearance) {
    if (box.property("Appearance").toInt() != appearance) {
        box.setProperty("Appearance", appearance);
        box.setFrame(appearance == 1);
    }
}

// A point label in its back colour, its digit in the colour that reads on it: white on
// the red of a point, black on the yellow of the selection.
void PaintPoint(QLabel& label, quint32 back) {
    ui::SetBackColor(label, back);
    const QColor digit =
        qGray(support::ColorFromBgr(back).rgb()) < 128 ? QColor(Qt::white) : QColor(Qt::black);
    if (label.palette().color(QPalette::WindowText) != digit) {
        QPalette palette = label.palette();
        palette.setColor(QPalette::WindowText, digit);
        label.setPalette(palette);
    }
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

QString ModelingPage::Fixed(double value, int decimals) const {
    int width = 1;
    return support::FormatFixed(value, decimals, width, ctx_.DecimalSep);
}

QString ModelingPage::StoredFixed(float value, int scale, int decimals) const {
    return support::FormatFixedCount(std::llround(double(value) * scale), scale, decimals,
                                     ctx_.DecimalSep);
}

// ---- Controls

void ModelingPage::BuildControls() {
    app::BuildOnMainWindow(*window_.centralWidget(), "ModelingChartDesign", ModelingChartDesign(),
                           MakeChartCanvas);
    app::BuildOnMainWindow(*window_.centralWidget(), "ModelingFramesDesign", ModelingFramesDesign(),
                           MakeValueBox);
    BindControls();
    canvas_->Fit();
    refLine_ = &canvas_->Overlay("LineRifModel");
    refLine_->Color = 0x008000;
    for (int i = 0; i < PointCount - 1; ++i) {
        segments_.push_back(&canvas_->Overlay(ui::ArrayName("LineRMod", i)));
        segments_.back()->Color = 0xFF0000;
    }
    canvas_->SetTitles(ui::Bind<QLineEdit>(window_, "TxtGasMod"),
                       ui::Bind<QLineEdit>(window_, "TxtPetrolMod"));
    for (int i = 0; i < PointCount; ++i) {
        QLabel& label = *points_[i];
        label.setAlignment(Qt::AlignCenter);
        QFont font = label.font();
        font.setPointSize(6);
        font.setBold(true);
        label.setFont(font);
        label.installEventFilter(this);
        label.setVisible(i == 0);
        PaintPoint(label, Red);
    }
    for (QLabel* number : ui::BindArray<QLabel>(window_, "LblXPos", 0, PointCount - 1)) {
        number->setAlignment(Qt::AlignCenter);
    }
    for (int i = 0; i < PointCount - 1; ++i) {
        txtX_[i]->installEventFilter(this);
        txtY_[i]->installEventFilter(this);
    }
    txtAlfa_->installEventFilter(this);
    txtOffset_->installEventFilter(this);
    window_.SetTabFocus(3, *txtX_[0]);
    ui::SetFillColor(*trailShapes_[0], 0x0000FF);
    MakeCorMarkers();
    ConnectButtons();
}

// The correction table's markers ShpPunti(0..191): the window's design holds the first
// ones; the others are made here, seen in the developer view only, which the window
// switches with its own.
void ModelingPage::MakeCorMarkers() {
    markers_ = ui::BindArray<QWidget>(*frmMod_, "ShpPunti", 0, app::WindowCorMarkers);
    std::vector<QWidget*> made;
    for (int i = app::WindowCorMarkers; i < CorCells; ++i) {
        QWidget& marker = BuildElement(*frmMod_, CorMarkerDesign, i);
        ui::SetFillColor(marker, 0x000000);
        marker.setVisible(ctx_.DeveloperView);
        made.push_back(&marker);
    }
    markers_.insert(markers_.end(), made.begin(), made.end());
    window_.AddDeveloperControls(made);
}

void ModelingPage::BindControls() {
    using ui::Bind;
    frmMod_ = &ui::Bind<QWidget>(window_, "FrmMod");
    frmModPnt_ = &ui::Bind<QWidget>(window_, "FrmModPnt");
    frmModLine_ = &ui::Bind<QWidget>(window_, "FrmModLine");
    canvas_ = &ui::Bind<ChartCanvas>(window_, "ChartMod");
    points_ = ui::BindArray<QLabel>(window_, "LblPntMod", 0, PointCount);
    txtX_ = ui::BindArray<QLineEdit>(window_, "TxtXPos", 0, PointCount - 1);
    txtY_ = ui::BindArray<QLineEdit>(window_, "TxtYPos", 0, PointCount - 1);
    txtAlfa_ = &ui::Bind<QLineEdit>(window_, "TxtALfaPos");
    txtOffset_ = &ui::Bind<QLineEdit>(window_, "TxtOffsetPos");
    fileButtons_ = {&ui::Bind<QWidget>(window_, "CmdModOpen"),
                    &ui::Bind<QWidget>(window_, "CmdModSave"),
                    &ui::Bind<QWidget>(window_, "CmdReset")};
    lowerButtons_ = {&ui::Bind<QWidget>(window_, "CmdShpMapMod"),
                     &ui::Bind<QWidget>(window_, "CmdTableComp")};
    shpPmin_ = &ui::Bind<QWidget>(window_, "ShpPmin");
    shpPLoad_ = &ui::Bind<QWidget>(window_, "ShpPLoad");
    trailShapes_ = {&ui::Bind<QWidget>(window_, "ShpInjTimeMod", 0)};
}

void ModelingPage::ConnectButtons() {
    for (const StepButtonDesign& b : ModelingStepButtons()) {
        auto& button = ui::Bind<QPushButton>(window_, b.name);
        button.setIcon(ArrowIcon(b.angle, b.tilted));
        button.setAutoRepeat(false);
        const StepButton step = b.step;
        modelEditors_.push_back(&button);
        connect(&button, &QPushButton::pressed, this, [this, step] { StepButtonDown(step); });
        connect(&button, &QPushButton::released, this, [this] { StepButtonUp(); });
    }
    ConnectClicks<ModelingPage>(window_, *this, *this,
                                {{"CmdResetLine", &ModelingPage::CmdResetLine_Click},
                                 {"CmdModOpen", &ModelingPage::CmdModOpen_Click},
                                 {"CmdModSave", &ModelingPage::CmdModSave_Click},
                                 {"CmdReset", &ModelingPage::CmdReset_Click},
                                 {"CmdComputeModl(0)", &ModelingPage::CmdComputeModl_Click}});
    for (const char* name : {"CmdResetLine", "CmdComputeModl(0)"}) {
        modelEditors_.push_back(&ui::Bind<QWidget>(window_, name));
    }
    EnableModelEditing();
}

bool ModelingPage::ModelRead() const {
    return ctx_.Images.Blocks.Read(ecudata::EditBlock::Correction);
}

// The model is edited only once the ECU's table is read: before, the model is the
// default one and a write would replace the ECU's table with it.
void ModelingPage::EnableModelEditing() {
    for (QWidget* editor : modelEditors_) {
        editor->setEnabled(ModelRead());
    }
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
    for (int i = 0; i < PointCount - 1; ++i) {
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
    geo_ = calibration::InizVarMod(static_cast<float>(ui::WidthTwips(*frmMod_)),
                                   static_cast<float>(ui::HeightTwips(*frmMod_)));
}

void ModelingPage::DrawGridMod() {
    canvas_->Fit();
    canvas_->SetFrame(calibration::DrawGridMod(geo_));
    // Placeholders until the model is drawn: labels 1..7 hidden, 300 twips apart.
    points_[0]->raise();
    for (int i = 1; i < PointCount; ++i) {
        points_[i]->hide();
        pointPos_[i] = {pointPos_[i - 1].left, pointPos_[i - 1].top + 300};
        points_[i]->raise();
    }
    for (int i = 1; i < PointCount - 1; ++i) {
        segments_[i]->Visible = false;
        segmentPos_[i][3] = segmentPos_[i - 1][3] + 90;
    }
    canvas_->SendToBack("LineRifModel");
    // The ECU table's markers, seen in the developer view only.
    markers_[0]->setVisible(ctx_.DeveloperView);
    canvas_->update();
}

void ModelingPage::LoadTrailMod() {
    QWidget& point = *trailShapes_[0];
    for (int i = static_cast<int>(trailShapes_.size()); i < TrailShapes; ++i) {
        QWidget& shape = BuildElement(*frmMod_, TrailDesign, i,
                                      {ui::LeftTwips(point), ui::TopTwips(point),
                                       ui::WidthTwips(point) - 60, ui::HeightTwips(point) - 60});
        ui::SetFillColor(shape, 0xFFFF00 + 15 * i);
        trailShapes_.push_back(&shape);
    }
    for (int i = TrailShapes - 1; i >= 0; --i) {
        trailShapes_[i]->raise();
    }
    const QWidget& older = *trailShapes_[1];
    trail_ = {ui::WidthTwips(point) / 2.0, ui::HeightTwips(point) / 2.0,
              ui::WidthTwips(older) / 2.0, ui::HeightTwips(older) / 2.0};
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
        const double w = ui::WidthTwips(label);
        const double h = ui::HeightTwips(label);
        const Twips at = ModPointPos(geo_, m.X[i], m.Y[i], w, h);
        if (at != pointPos_[i]) {
            pointPos_[i] = at;
            ui::MoveTwips(label, static_cast<int>(at.left), static_cast<int>(at.top),
                          static_cast<int>(w), static_cast<int>(h));
            label.setToolTip(
                QStringLiteral("P%1 (%2 ; %3)").arg(i).arg(Fixed(m.X[i], 1), Fixed(m.Y[i], 1)));
            label.hide();
        }
    }
    for (int i = 0; i < PointCount - 1; ++i) {
        const std::array<double, 4> ends =
            ModSegmentEnds(pointPos_[i], pointPos_[i + 1], ui::WidthTwips(*points_[i]),
                           ui::HeightTwips(*points_[i]));
        ChartLine& line = *segments_[i];
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
        for (ChartLine* segment : segments_) {
            segment->Visible = true;
        }
    }
    canvas_->update();
}

void ModelingPage::RevealNext() {
    if (revealNext_ < PointCount) {
        points_[revealNext_]->show();
    } else if (revealNext_ < 2 * PointCount - 1) {
        segments_[revealNext_ - PointCount]->Visible = true;
        canvas_->update();
    }
    if (++revealNext_ >= 2 * PointCount - 1) {
        revealTimer_.stop();
    }
}

void ModelingPage::AggiornaStatoPuntoMod() {
    const ModRec& m = ctx_.Images.ModPoints;
    for (int i = 0; i < PointCount - 1; ++i) {
        txtX_[i]->setText(StoredFixed(m.X[i + 1], StoredScale, 1));
        txtY_[i]->setText(Fixed(m.dY[i + 1], 1));
    }
    txtAlfa_->setText(StoredFixed(m.Alfa, StoredScale, 2));
    txtOffset_->setText(StoredFixed(m.Offset, StoredScale, 1));
    EnableModelEditing(); // the boxes show the model: a table read has landed or not
}

void ModelingPage::DrawRefLineMod() {
    const ModRec& m = ctx_.Images.ModPoints;
    ChartLine& line = *refLine_;
    line.X1 = geo_.OrgX;
    line.Y1 = geo_.OrgY - geo_.ScaleY * m.Offset;
    line.X2 = geo_.OrgX + geo_.ScaleX * LineEndX;
    line.Y2 = geo_.OrgY - geo_.ScaleY * LineEndX * m.Alfa - geo_.ScaleY * m.Offset;
    line.Visible = true;
    canvas_->update();
}

void ModelingPage::VisualizzaPuntoInjTimeMod() {
    const bool live = !ctx_.Comm().LiveStale(); // else no working point is current
    for (QWidget* shape : trailShapes_) {
        shape->setVisible(live);
    }
    if (!live) {
        return;
    }
    const app::InjectionTimes& t = ctx_.InjTimes;
    for (size_t i = 0; i < trailShapes_.size(); ++i) {
        const bool point = i == 0;
        const Twips at =
            ModShapePos(geo_, t.TInjHist3[i], t.TInjHist4[i], point ? trail_.pointW : trail_.trailW,
                        point ? trail_.pointH : trail_.trailH, false);
        ui::SetLeftTwips(*trailShapes_[i], static_cast<int>(std::lround(at.left)));
        ui::SetTopTwips(*trailShapes_[i], static_cast<int>(std::lround(at.top)));
    }
    for (auto shape = trailShapes_.rbegin(); shape != trailShapes_.rend(); ++shape) {
        (*shape)->raise();
    }
    if (!ctx_.DeveloperView) {
        return;
    }
    trail_.trailW = ui::WidthTwips(*shpPmin_) / 2.0;
    trail_.trailH = ui::HeightTwips(*shpPmin_) / 2.0;
    const struct {
        QWidget* shape;
        double x, y;
    } markers[] = {{shpPmin_, tara_.TaraRefTime, tara_.TaraRefTime + tara_.TaraFinalOffset},
                   {shpPLoad_, tara_.TaraLoadTime, tara_.TaraLoadTime}};
    for (int k = 0; k < 2; ++k) {
        const Twips at =
            ModShapePos(geo_, markers[k].x, markers[k].y, trail_.trailW, trail_.trailH, true);
        if (at != devMarkerPos_[k]) {
            devMarkerPos_[k] = at;
            ui::SetLeftTwips(*markers[k].shape, static_cast<int>(at.left));
            ui::SetTopTwips(*markers[k].shape, static_cast<int>(at.top));
        }
    }
    shpPLoad_->raise();
    shpPmin_->raise();
}

ModPageLayout ModelingPage::PageLayout() const {
    ui::TabStrip& sst = window_.SstMain();
    return calibration::LayoutModPage({ui::WidthTwips(sst), ui::HeightTwips(sst)},
                                      ui::WidthTwips(*frmModPnt_), TwipsRect(*frmModLine_),
                                      {ui::WidthTwips(*fileButtons_[0]),
                                       ui::WidthTwips(*fileButtons_[1]),
                                       ui::WidthTwips(*fileButtons_[2])});
}

void ModelingPage::FitChart() {
    const QSize chart = PageLayout().chart;
    ui::SetWidthTwips(*frmMod_, chart.width());
    ui::SetHeightTwips(*frmMod_, chart.height());
    InizVarMod();
}

void ModelingPage::LayoutModPage() {
    const ModPageLayout l = PageLayout();
    ui::SetLeftTwips(*frmModPnt_, l.framesLeft);
    ui::SetLeftTwips(*frmModLine_, l.framesLeft);
    for (size_t i = 0; i < fileButtons_.size(); ++i) {
        ui::SetLeftTwips(*fileButtons_[i], l.fileButtons[i].x());
        ui::SetTopTwips(*fileButtons_[i], l.fileButtons[i].y());
    }
    for (size_t i = 0; i < lowerButtons_.size(); ++i) {
        const QRect& r = l.lowerButtons[i];
        ui::MoveTwips(*lowerButtons_[i], r.x(), r.y(), r.width(), r.height());
    }
    FitChart();
    DrawGridMod();
    PlottaMatricePuntiMod(true);
    AggiornaStatoPuntoMod();
    DrawRefLineMod();
    DeselezionaPuntiMod();
    // The live point stands on the chart from the start, not at the frame's corner.
    VisualizzaPuntoInjTimeMod();
    if (laidOut_) {
        laidOut_();
    }
}

void ModelingPage::PlotCorTableMod() {
    const QWidget& first = *markers_[0];
    const double halfW = RoundHalfEven(ui::WidthTwips(first) / 2.0);
    const double halfH = RoundHalfEven(ui::HeightTwips(first) / 2.0);
    const ecudata::TblCor& table = ctx_.Images.TblCorRead;
    for (int i = 0; i < CorCells; ++i) {
        const Twips at = CorMarkerPos(geo_, i, table[i], halfW, halfH);
        if (at != markerPos_[i]) {
            markerPos_[i] = at;
            ui::SetLeftTwips(*markers_[i], static_cast<int>(at.left));
            ui::SetTopTwips(*markers_[i], static_cast<int>(at.top));
            markers_[i]->raise();
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
        const quint32 now = ui::BackColor(*b.box);
        const quint32 next =
            LimitBlinkColor(b.value, b.min, b.max, b.box->property("Appearance").toInt() == 1, now);
        if (next != now) {
            ui::SetBackColor(*b.box, next);
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
        if (ui::BackColor(*points_[i]) == Yellow) {
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
    if (i - 1 >= 0 && i - 1 < PointCount - 1) {
        for (QLineEdit* box : {txtX_[i - 1], txtY_[i - 1]}) {
            ui::SetBackColor(*box, Yellow);
            SetAppearance(*box, 1);
        }
    }
}

void ModelingPage::DeselezionaPuntiMod() {
    for (QLabel* label : points_) {
        PaintPoint(*label, Red);
    }
    for (int i = 0; i < PointCount - 1; ++i) {
        for (QLineEdit* box : {txtX_[i], txtY_[i]}) {
            ui::SetBackColor(*box, White);
            SetAppearance(*box, 0);
        }
    }
    for (QLineEdit* box : {txtAlfa_, txtOffset_}) {
        ui::SetBackColor(*box, White);
        SetAppearance(*box, 0);
    }
}

void ModelingPage::SelectLine(QLineEdit& box) {
    DeselezionaPuntiMod();
    for (QLabel* label : points_) {
        PaintPoint(*label, Yellow);
    }
    ui::SetBackColor(box, Yellow);
    SetAppearance(box, 1);
}

// ---- Step buttons

void ModelingPage::StepButtonDown(StepButton button) {
    if (!ModelRead()) {
        return;
    }
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
    if (!ModelRead()) {
        return;
    }
    ctx_.Requests.ModWriteCountdown = 2.0;
}

// ---- Buttons

void ModelingPage::CmdResetLine_Click() {
    if (!ModelRead()) {
        return;
    }
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
    if (support::MsgBox(ctx_.Texts.MsgMod[2], support::vbYesNo, ctx_.Texts.AppTitle) !=
            support::vbYes ||
        !ctx_.ParamFilePending.isEmpty()) {
        return;
    }
    const QString path = window_.ChooseParamFile();
    if (!path.isEmpty() && support::IsFilePresent(path)) {
        ctx_.QueueParamFile(path);
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
    ctx_.QueueParamFile(ctx_.AppFolder + (ctx_.Images.Mem3Data.FuelType != 0
                                              ? QStringLiteral("/LNG/DefaultCng.Xar")
                                              : QStringLiteral("/LNG/Default.Xar")));
}

void ModelingPage::CmdComputeModl_Click() {
    if (!ModelRead()) {
        return;
    }
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
