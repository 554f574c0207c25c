#include "calibration/MapChart.h"

#include "app/Controls.h"
#include "app/FrmLX735.h"
#include "app/MainControls.h"
#include "app/ProgramContext.h"
#include "calibration/ChartCanvas.h"
#include "calibration/MapDesign.h"
#include "calibration/ModelingPage.h"
#include "calibration/PageControls.h"
#include "monitor/ControlLook.h"

#include <QLineEdit>

namespace calibration {

namespace {

// The samples of each fuel, with their colour on the chart and in the legend.
const struct {
    const app::ControlDesc& label;
    const char* swatch;
    quint32 color;
} Samples[] = {{GasSampleDesign, "ShpMapGas", 0x0000FF},
               {PetrolSampleDesign, "ShpMapPetrol", 0xFF0000}};

} // namespace

MapChart::MapChart(app::ProgramContext& ctx, app::FrmLX735& window, ModelingPage& modeling)
    : ctx_(ctx), modeling_(modeling) {
    app::BuildOnMainWindow(*window.centralWidget(), "MapChartDesign", MapChartDesign(),
                           MakeChartCanvas);
    frmMap_ = &app::Bind<QWidget>(window, "FrmMap");
    canvas_ = &app::Bind<ChartCanvas>(window, "ChartMap");
    canvas_->Fit();
    canvas_->SetTitles(app::Bind<QLineEdit>(window, "TxtMapPetrol"),
                       app::Bind<QLineEdit>(window, "TxtMapPressure"));
    for (size_t k = 0; k < labels_.size(); ++k) {
        monitor::SetFillColor(app::Bind<QWidget>(window, Samples[k].swatch), Samples[k].color);
        QWidget& first = app::Bind<QWidget>(window, Samples[k].label.name, 0);
        monitor::SetBackColor(first, Samples[k].color);
        labels_[k] = {&first};
    }
}

void MapChart::InizVarMap() {
    calibration::InizVarMap(geo_, static_cast<float>(app::WidthTwips(*frmMap_)),
                            static_cast<float>(app::HeightTwips(*frmMap_)));
}

void MapChart::DrawGridMap() {
    canvas_->Fit();
    canvas_->SetFrame(calibration::DrawGridMap(geo_, ctx_.DecimalSep));
}

void MapChart::LoadPointLabelsMap() {
    for (size_t k = 0; k < labels_.size(); ++k) {
        std::vector<QWidget*>& labels = labels_[k];
        QWidget& first = *labels[0];
        app::SetLeftTwips(first, geo_.OrgX - app::WidthTwips(first) / 2);
        app::SetTopTwips(first, geo_.OrgY - app::HeightTwips(first) / 2);
        first.raise();
        for (int i = static_cast<int>(labels.size()); i < MapSampleLabels; ++i) {
            QWidget& label = BuildElement(*frmMap_, Samples[k].label, i, TwipsRect(first));
            monitor::SetBackColor(label, Samples[k].color);
            labels.push_back(&label);
        }
    }
    modeling_.LoadTrailMod();
}

} // namespace calibration
