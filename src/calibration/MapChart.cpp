#include "calibration/MapChart.h"

#include "app/FrmLX735.h"
#include "app/MainControls.h"
#include "app/ProgramContext.h"
#include "calibration/ChartCanvas.h"
#include "calibration/MapDesign.h"
#include "calibration/ModelingPage.h"
#include "calibration/PageControls.h"
#include "ui/ControlLook.h"
#include "ui/Controls.h"

#include <QLineEdit>

namespace calibration {

namespace {

// The samples of each fuel, with their colour on the chart and in the legend.
const struct {
    const ui::ControlDesc& label;
    const char* swatch;
    quint32 color;
} Samples[] = {{GasSampleDesign, "ShpMapGas", 0x0000FF},
               {PetrolSampleDesign, "ShpMapPetrol", 0xFF0000}};

} // namespace

MapChart::MapChart(app::ProgramContext& ctx, app::FrmLX735& window, ModelingPage& modeling)
    : ctx_(ctx), modeling_(modeling) {
    app::BuildOnMainWindow(*window.centralWidget(), "MapChartDesign", MapChartDesign(),
                           MakeChartCanvas);
    frmMap_ = &ui::Bind<QWidget>(window, "FrmMap");
    canvas_ = &ui::Bind<ChartCanvas>(window, "ChartMap");
    canvas_->Fit();
    canvas_->SetTitles(ui::Bind<QLineEdit>(window, "TxtMapPetrol"),
                       ui::Bind<QLineEdit>(window, "TxtMapPressure"));
    for (size_t k = 0; k < labels_.size(); ++k) {
        ui::SetFillColor(ui::Bind<QWidget>(window, Samples[k].swatch), Samples[k].color);
        QWidget& first = ui::Bind<QWidget>(window, Samples[k].label.name, 0);
        ui::SetBackColor(first, Samples[k].color);
        labels_[k] = {&first};
    }
}

void MapChart::InizVarMap() {
    calibration::InizVarMap(geo_, static_cast<float>(ui::WidthTwips(*frmMap_)),
                            static_cast<float>(ui::HeightTwips(*frmMap_)));
}

void MapChart::DrawGridMap() {
    canvas_->Fit();
    canvas_->SetFrame(calibration::DrawGridMap(geo_, ctx_.DecimalSep));
}

void MapChart::LoadPointLabelsMap() {
    for (size_t k = 0; k < labels_.size(); ++k) {
        std::vector<QWidget*>& labels = labels_[k];
        QWidget& first = *labels[0];
        ui::SetLeftTwips(first, geo_.OrgX - ui::WidthTwips(first) / 2);
        ui::SetTopTwips(first, geo_.OrgY - ui::HeightTwips(first) / 2);
        first.raise();
        for (int i = static_cast<int>(labels.size()); i < MapSampleLabels; ++i) {
            QWidget& label = BuildElement(*frmMap_, Samples[k].label, i, TwipsRect(first));
            ui::SetBackColor(label, Samples[k].color);
            labels.push_back(&label);
        }
    }
    modeling_.LoadTrailMod();
}

} // namespace calibration
