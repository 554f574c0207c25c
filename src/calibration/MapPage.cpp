#include "calibration/MapPage.h"

#include "app/FrmLX735.h"
#include "app/MainControls.h"
#include "app/ProgramContext.h"
#include "calibration/ChartCanvas.h"
#include "calibration/MapChart.h"
#include "calibration/MapDesign.h"
#include "calibration/ModelingPage.h"
#include "calibration/PageControls.h"
#include "platform/Sound.h"
#include "support/Clock.h"
#include "support/Conversions.h"
#include "support/Cursor.h"
#include "support/FileRoutines.h"
#include "support/MessageBox.h"
#include "support/ProgramTexts.h"
#include "ui/CommonDialog.h"
#include "ui/ControlLook.h"
#include "ui/Controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>
#include <cmath>

namespace calibration {

namespace {

const QString MapFilter = QStringLiteral("Map Files (*.map)|*.map|");
constexpr quint8 VacuumAcqFlag = 0x10;
constexpr double BusyWaitUsec = 250000;
constexpr quint32 InBandColor = 0x00FFFF; // the rpm caption lit inside the band

int Whole(double twips) {
    return static_cast<int>(std::lround(twips));
}

void Place(QWidget& control, const Twips& at) {
    ui::SetLeftTwips(control, Whole(at.left));
    ui::SetTopTwips(control, Whole(at.top));
}

// FrmMapSample's click: the frame has no signal of its own.
class ClickFilter : public QObject {
public:
    ClickFilter(QObject* parent, std::function<void()> click)
        : QObject(parent), click_(std::move(click)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            click_();
        }
        return false;
    }

private:
    std::function<void()> click_;
};

} // namespace

MapPage::MapPage(app::ProgramContext& ctx, app::FrmLX735& window, MapChart& chart,
                 ModelingPage& modeling)
    : ctx_(ctx), window_(window), chart_(chart), modeling_(modeling) {
    BuildControls();
    // The points follow the chart at each of its layouts (a resize, the page shown).
    modeling_.OnLayout([page = QPointer<MapPage>(this)] {
        if (page) {
            page->PlaceMatchedPoints();
        }
    });
}

// ---- Controls

void MapPage::BuildControls() {
    app::BuildOnMainWindow(*window_.centralWidget(), "MapPageDesign", MapPageDesign(),
                           MakeChartCanvas);
    using ui::Bind;
    frmMapCmd_ = &ui::Bind<QWidget>(window_, "FrmMapCmd");
    frmMapTuning_ = &ui::Bind<QWidget>(window_, "FrmMapTuning");
    frmLegendaMap_ = &ui::Bind<QWidget>(window_, "FrmLegendaMap");
    frmMap_ = &ui::Bind<QWidget>(window_, "FrmMap");
    acquire_ = &ui::Bind<QCheckBox>(window_, "ChkAbilAcqVacum");
    bands_ = &ui::Bind<QComboBox>(window_, "CmbShoRpm");
    cmdMapRead_ = &ui::Bind<QWidget>(window_, "CmdMapRead");
    cmdMapCompute_ = &ui::Bind<QWidget>(window_, "CmdMapCompute");
    lblCalRpm_ = &ui::Bind<QWidget>(window_, "LblCalRpm");
    txtRpm_ = &ui::Bind<QWidget>(window_, "TxtRpm", 1);
    liveShadow_ = &ui::Bind<QWidget>(window_, "ShpInjTimeShadowMap", 0);
    livePoint_ = &ui::Bind<QWidget>(window_, "ShpInjTimeMap", 0);
    matched_ = {&ui::Bind<QWidget>(window_, "ShpMapMod", 0)};
    frmMapSample_ = &ui::Bind<QWidget>(window_, "FrmMapSample");
    sampleCanvas_ = &ui::Bind<ChartCanvas>(window_, "ChartMapSample");

    ConnectClicks<MapPage>(window_, *this, *this,
                           {{"CmdMapRead", &MapPage::CmdMapRead_Click},
                            {"CmdMapCompute", &MapPage::CmdMapCompute_Click},
                            {"CmdMapClrGas", &MapPage::CmdMapClrGas_Click},
                            {"CmdMapClrPet", &MapPage::CmdMapClrPet_Click},
                            {"CmdMapOpen", &MapPage::CmdMapOpen_Click},
                            {"CmdMapSave", &MapPage::CmdMapSave_Click},
                            {"CmdShpMapMod", &MapPage::CmdShpMapMod_Click}});
    connect(acquire_, &QCheckBox::toggled, this, [this] { ChkAbilAcqVacum_Click(); });
    connect(bands_, &QComboBox::activated, this, [this] { CmbShoRpm_Click(); });

    ui::SetBackColor(*lblCalRpm_, InBandColor);
    ui::SetBackStyle(*lblCalRpm_, 0);
    ui::SetFillColor(*liveShadow_, 0x808080);
    ui::SetFillColor(*livePoint_, 0x00FF00);
    ui::SetFillColor(*matched_[0], 0xFF00FF);
    HideMatchedPoints();

    frmMapSample_->raise();
    ui::SetBackColor(*frmMapSample_, 0xFFFFFF);
    frmMapSample_->installEventFilter(new ClickFilter(this, [this] { FrmMapSample_Click(); }));
    sampleCanvas_->Fit();
    sampleZero_ = &sampleCanvas_->Overlay("LneMapSampleX");
    sampleZero_->Color = 0xFF0000;
}

// ---- Handlers

template <class Work> void MapPage::Busy(Work work) {
    const support::CursorOverride hourglass(Qt::WaitCursor);
    work();
    support::WaitUsec(BusyWaitUsec);
}

void MapPage::HideMatchedPoints() {
    matchedAt_.clear();
    for (const QPointer<QWidget>& shape : matched_) {
        if (shape) {
            ui::SetLeftTwips(*shape, 0);
            ui::SetTopTwips(*shape, 0);
            shape->hide();
        }
    }
}

void MapPage::ChkAbilAcqVacum_Click() {
    if (window_.PageFilling) {
        return;
    }
    if (!(ctx_.Images.Mem2Data.Flags & VacuumAcqFlag) && acquire_->isChecked()) {
        acquire_->setChecked(false); // runs this handler again, unchecked
        return;
    }
    const bool checked = acquire_->isChecked();
    ctx_.Requests.SmplReadCountdown = checked ? 1.0 : 0.0;
    cmdMapRead_->setEnabled(!checked);
    bands_->setEnabled(!checked);
}

void MapPage::CmbShoRpm_Click() {
    const int index = bands_->currentIndex();
    if (window_.PageFilling || index < 0) {
        return;
    }
    Busy([&] {
        HideMatchedPoints();
        ecudata::EcuImages& img = ctx_.Images;
        for (MapArray* a : {&img.MapVacmBnz, &img.MapTinjBnz, &img.MapVacmGas, &img.MapTinjGas}) {
            a->fill(0);
        }
        ecudata::ConfigScale& s = ctx_.Scale;
        s.MapBand = index;
        img.Mem3Write.Param156 = s.MapBandHigh.value(index);
        img.Mem3Write.Param152 = s.MapBandLow.value(index);
        ctx_.Requests.ReqCancSmplGas = ctx_.Requests.ReqCancSmplBnz = true;
        img.MapChanged = true;
        ctx_.Requests.Mem3WriteCountdown = 1.0;
    });
}

void MapPage::CmdMapRead_Click() {
    ctx_.Requests.SmplReadCountdown = 1.0;
}

void MapPage::ClearFuel(bool gas) {
    Busy([&] {
        ecudata::EcuImages& img = ctx_.Images;
        (gas ? ctx_.Requests.ReqCancSmplGas : ctx_.Requests.ReqCancSmplBnz) = true;
        HideMatchedPoints();
        (gas ? img.MapVacmGas : img.MapVacmBnz).fill(0);
        (gas ? img.MapTinjGas : img.MapTinjBnz).fill(0);
        img.MapChanged = true;
    });
}

void MapPage::CmdMapClrGas_Click() {
    ClearFuel(true);
}

void MapPage::CmdMapClrPet_Click() {
    ClearFuel(false);
}

void MapPage::CmdMapCompute_Click() {
    RefreshMapAcq(true);
}

void MapPage::CmdShpMapMod_Click() {
    Busy([&] { HideMatchedPoints(); });
}

void MapPage::CmdMapOpen_Click() {
    const QString path =
        ui::ShowFileDialog(&window_, {ui::FileDialogAction::Open, ctx_.AppFolder, MapFilter, 1});
    if (path.isEmpty() || !support::IsFilePresent(path)) {
        return;
    }
    // Read before the chart is reset: a file that cannot be used leaves the map shown.
    MapSamples samples = MapSamples::From(ctx_.Images);
    QString why;
    if (!LoadMapFile(path, samples, ctx_.DecimalSep, &why)) {
        support::MsgBox(support::Text(support::ProgramText::MapKept).arg(path, why),
                        support::vbExclamation, ctx_.Texts.AppTitle);
        return;
    }
    ctx_.Images.MapChanged = true;
    MapGeometry& geo = chart_.Geometry();
    geo.MaxY = 8.0;
    geo.ScaleY = MapScaleY(geo);
    chart_.DrawGridMap();
    chart_.LoadPointLabelsMap();
    samples.Into(ctx_.Images);
    const int state = ctx_.Comm().ComState();
    if (state == app::COM_RESTART || state == app::COM_STOP) {
        RefreshMapAcq(false);
    }
}

void MapPage::CmdMapSave_Click() {
    QCoreApplication::processEvents();
    const QString path =
        ui::ShowFileDialog(&window_, {ui::FileDialogAction::Save, QString(), MapFilter, 1});
    // The dialog may have stood open longer than the reply deadline.
    ctx_.Comm().LoadWDogSend();
    if (path.isEmpty()) {
        return;
    }
    QString error;
    if (!SaveMapFile(path, MapSamples::From(ctx_.Images), ctx_.DecimalSep, &error)) {
        support::MsgBox(support::Text(support::ProgramText::MapNotSaved).arg(path, error),
                        support::vbExclamation, ctx_.Texts.AppTitle);
    }
}

void MapPage::FrmMapSample_Click() {
    if (ui::HeightTwips(*frmMapSample_) != 6300) {
        ui::SetHeightTwips(*frmMapSample_, 6300);
        ui::SetWidthTwips(*frmMapSample_, 8550);
    } else {
        ui::SetHeightTwips(*frmMapSample_, 225);
        ui::SetWidthTwips(*frmMapSample_, 225);
    }
    sampleCanvas_->Fit();
    frmMapSample_->raise();
}

// ---- The rpm band

void MapPage::ShowRpmBand() {
    bool inside = false;
    if (acquire_->isChecked()) {
        const ecudata::ConfigScale& s = ctx_.Scale;
        const double rpm = ctx_.Images.Mem1Data.Rpm;
        inside = s.MapBandLow.value(s.MapBand) < rpm && rpm < s.MapBandHigh.value(s.MapBand);
    }
    if (ui::BackStyle(*lblCalRpm_) != (inside ? 1 : 0)) {
        ui::SetBackStyle(*lblCalRpm_, inside ? 1 : 0);
    }
    if (inside) {
        BeepRpmBand();
    }
}

void MapPage::BeepRpmBand() {
    const double now = support::GetTimeUsec();
    if (!beeps_.Due(now)) {
        return;
    }
    const std::optional<double> rpm = ShownRpm(ui::Caption(txtRpm_));
    if (!rpm) {
        return;
    }
    const ecudata::ConfigScale& s = ctx_.Scale;
    const Tone tone =
        BandBeepTone(*rpm, s.MapBandLow.value(s.MapBand), s.MapBandHigh.value(s.MapBand));
    platform::Beep(tone.hz, tone.ms);
    beeps_.Sounded(now);
}

void MapPage::FillCmbShoRpm() {
    window_.PageFilling = true;
    ecudata::ConfigScale& s = ctx_.Scale;
    bands_->clear();
    bands_->addItems(BandItems(s.MapBandLow, s.MapBandHigh));
    s.MapBand = SelectBand(s.MapBandLow, ctx_.Images.Mem3Data.Param152, bands_->count());
    bands_->setCurrentIndex(s.MapBand);
    window_.PageFilling = false;
}

// ---- The charts

void MapPage::RefreshMapAcq(bool plotOnModel) {
    const int pairs = MatchMapPoints(MapSamples::From(ctx_.Images), sel_);
    cmdMapCompute_->setEnabled(pairs >= 1 && !acquire_->isChecked());
    if (ctx_.DeveloperView) {
        // Rewritten at every refresh: a failed write keeps the last whole list, unsaid.
        WriteMapList(ctx_.AppFolder + QStringLiteral("/BIN/Map.txt"), MapSamples::From(ctx_.Images),
                     sel_, ctx_.DecimalSep);
    }
    PlottaMatricePuntiMap();
    if (plotOnModel) {
        PlotMapPointsMod();
    }
}

void MapPage::AutoScaleMapY() {
    MapGeometry& geo = chart_.Geometry();
    if (calibration::AutoScaleMapY(MapSamples::From(ctx_.Images), geo.MaxY)) {
        geo.ScaleY = MapScaleY(geo);
        chart_.DrawGridMap();
        chart_.LoadPointLabelsMap();
    }
}

void MapPage::PlottaMatricePuntiMap() {
    ecudata::EcuImages& img = ctx_.Images;
    if (!img.MapChanged) {
        return;
    }
    img.MapChanged = false;
    AutoScaleMapY();
    const std::vector<QWidget*>& gas = chart_.GasLabels();
    const std::vector<QWidget*>& petrol = chart_.PetrolLabels();
    const double w = ui::WidthTwips(*gas[0]) / 2.0;
    const double h = ui::HeightTwips(*gas[0]) / 2.0;
    const MapGeometry& geo = chart_.Geometry();
    for (size_t i = 0; i < gas.size() || i < petrol.size(); ++i) {
        if (i < gas.size()) {
            Place(*gas[i], SampleLabelPos(geo, img.MapVacmGas[i], img.MapTinjGas[i], w, h));
        }
        if (i < petrol.size()) {
            Place(*petrol[i], SampleLabelPos(geo, img.MapVacmBnz[i], img.MapTinjBnz[i], w, h));
            petrol[i]->raise();
        }
    }
    // Gas points over petrol points.
    for (QWidget* label : gas) {
        label->raise();
    }
}

void MapPage::PlotMapPointsMod() {
    matchedAt_ = MatchedPoints(sel_, ctx_.Images.TblCorEdit);
    // Placed on the chart as its page lays it out, whether or not it was shown yet.
    modeling_.FitChart();
    PlaceMatchedPoints();
}

void MapPage::PlaceMatchedPoints() {
    while (matched_.size() > std::max<size_t>(1, matchedAt_.size())) {
        delete matched_.back().data();
        matched_.pop_back();
    }
    QWidget& first = *matched_[0];
    const int size = ui::WidthTwips(first);
    const double w = size / 2.0;
    const double h = ui::HeightTwips(first) / 2.0;
    for (size_t k = 0; k < matchedAt_.size(); ++k) {
        if (k >= matched_.size()) {
            QWidget& made = BuildElement(*first.parentWidget(), MatchedPointDesign,
                                         static_cast<int>(k), {0, 0, size, size});
            ui::SetFillColor(made, ui::FillColor(first));
            matched_.push_back(&made);
        }
        QWidget& shape = *matched_[k];
        shape.show();
        Place(shape, MatchedPointPos(modeling_.Geometry(), matchedAt_[k], w, h));
        shape.raise();
    }
    first.setVisible(!matchedAt_.empty());
}

void MapPage::VisualizzaPuntoInjTimeMap() {
    const bool live = !ctx_.Comm().LiveStale(); // else no working point is current
    livePoint_->setVisible(live);
    liveShadow_->setVisible(live);
    if (!live) {
        return;
    }
    const Twips at =
        LivePointPos(chart_.Geometry(), ctx_.Images.Mem1Data.Press2, ctx_.InjTimes.TInjAvg1,
                     ui::WidthTwips(*livePoint_) / 2.0, ui::HeightTwips(*livePoint_) / 2.0);
    Place(*livePoint_, at);
    Place(*liveShadow_, {at.left + 15, at.top + 15});
    liveShadow_->raise();
    livePoint_->raise();
}

void MapPage::DrawMapSample() {
    const double height = ui::HeightTwips(*frmMapSample_);
    const ecudata::TblCor& table = ctx_.Images.TblCorEdit;
    for (int i = 0; i < MapSampleCells; ++i) {
        if (i >= static_cast<int>(cells_.size())) {
            QWidget& cell = BuildElement(*frmMapSample_, SampleCellDesign, i);
            ui::SetFillColor(cell, 0x000000);
            cells_.push_back(&cell);
        }
        QWidget& cell = *cells_[i];
        Place(cell, MapSampleCellPos(i, table[i], height));
        cell.setProperty("Tag", support::GeneralNumberText(table[i], ctx_.DecimalSep) + " " +
                                    support::GeneralNumberText(0.128 * i, ctx_.DecimalSep));
    }
    ChartLine& zero = *sampleZero_;
    zero.X1 = 100;
    zero.X2 = MapSampleLineX2;
    zero.Y1 = zero.Y2 = height - 1500;
    zero.Visible = true;
    sampleCanvas_->update();
}

void MapPage::LayoutMapPage() {
    ui::TabStrip& sst = window_.SstMain();
    // The acquisition box is as wide as its caption in the language shown.
    const MapPageLayout l = calibration::LayoutMapPage(
        {ui::WidthTwips(sst), ui::HeightTwips(sst)}, ui::WidthTwips(*frmMapCmd_),
        ui::WidthTwips(*frmMapTuning_), ui::ToTwips(acquire_->sizeHint().width()));
    ui::SetLeftTwips(*frmMapCmd_, l.framesLeft);
    ui::SetLeftTwips(*frmMapTuning_, l.framesLeft);
    ui::SetHeightTwips(*frmMap_, l.chart.height());
    ui::SetWidthTwips(*frmMap_, l.chart.width());
    ui::SetLeftTwips(*frmLegendaMap_, l.framesLeft);
    ui::SetWidthTwips(*acquire_, l.acquireWidth);
    FillCmbShoRpm();
    chart_.InizVarMap();
    chart_.DrawGridMap();
    chart_.LoadPointLabelsMap();
    ctx_.Images.MapChanged = true;
    RefreshMapAcq(false);
    // The live point stands on the chart from the start, not at the frame's corner.
    VisualizzaPuntoInjTimeMap();
}

} // namespace calibration
