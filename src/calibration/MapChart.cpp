#include "calibration/MapChart.h"

#include "app/Controls.h"
#include "app/FrmLX735.h"
#include "app/ProgramContext.h"
#include "calibration/ChartCanvas.h"
#include "calibration/ModelingPage.h"
#include "monitor/ControlLook.h"

#include <QLabel>
#include <QLineEdit>

namespace calibration {

namespace {

using app::ArrayName;

constexpr int TrailShapes = 16;

// The samples of each fuel, with their colour on the chart and the legend's label for it.
constexpr struct {
    const char* array;
    quint32 color;
    const char* legend;
} Samples[] = {{"LblTgMap", 0x0000FF, "LblMapGas"}, {"LblTpMap", 0xFF0000, "LblMapPetrol"}};

QWidget& SampleLabel(QWidget& frame, const char* array, int index, quint32 color) {
    auto* label = new QLabel(&frame);
    label->setObjectName(ArrayName(array, index));
    app::MoveTwips(*label, 0, 0, 90, 90);
    monitor::SetBackColor(*label, color);
    label->show();
    return *label;
}

} // namespace

MapChart::MapChart(app::ProgramContext& ctx, app::FrmLX735& window, TrailHalfSizes& trail)
    : ctx_(ctx), window_(window), trail_(trail) {
    QWidget& frmMap = *Widget("FrmMap");
    canvas_ = new ChartCanvas(frmMap, "ChartMap");
    auto* timeTitle = qobject_cast<QLineEdit*>(Widget("TxtMapPetrol"));
    auto* vacuumTitle = qobject_cast<QLineEdit*>(Widget("TxtMapPressure"));
    if (timeTitle && vacuumTitle) {
        canvas_->SetTitles(*timeTitle, *vacuumTitle);
    }
    BuildLegend();
}

// Each fuel's label in the legend follows a square of its samples' colour.
void MapChart::BuildLegend() {
    for (const auto& s : Samples) {
        QWidget* label = Widget(s.legend);
        if (!label) {
            continue;
        }
        QWidget& legend = *label->parentWidget();
        auto* swatch = new QFrame(&legend);
        swatch->setObjectName(QStringLiteral("Shp") + QLatin1String(s.legend).mid(3));
        const int top = app::TopTwips(*label);
        const int height = app::HeightTwips(*label);
        app::MoveTwips(*swatch, 120, top + (height - 150) / 2, 150, 150);
        monitor::SetFillColor(*swatch, s.color);
        swatch->show();
        app::MoveTwips(*label, 360, top, app::WidthTwips(legend) - 480, height);
    }
}

QWidget* MapChart::Widget(const QString& name) const {
    return qobject_cast<QWidget*>(window_.Control(name));
}

void MapChart::InizVarMap() {
    QWidget& frame = *Widget("FrmMap");
    calibration::InizVarMap(geo_, static_cast<float>(app::WidthTwips(frame)),
                            static_cast<float>(app::HeightTwips(frame)));
}

void MapChart::DrawGridMap() {
    canvas_->Fit();
    canvas_->SetFrame(calibration::DrawGridMap(geo_, ctx_.DecimalSep));
}

void MapChart::LoadPointLabelsMap() {
    QWidget& frmMap = *Widget("FrmMap");
    for (const auto& s : Samples) {
        QWidget* first = Widget(ArrayName(s.array, 0));
        if (!first) {
            first = &SampleLabel(frmMap, s.array, 0, s.color);
        }
        app::SetLeftTwips(*first, geo_.OrgX - app::WidthTwips(*first) / 2);
        app::SetTopTwips(*first, geo_.OrgY - app::HeightTwips(*first) / 2);
        first->raise();
        for (int i = MapSampleLabels; QWidget* surplus = Widget(ArrayName(s.array, i)); ++i) {
            delete surplus;
        }
        for (int i = 1; i < MapSampleLabels; ++i) {
            if (!Widget(ArrayName(s.array, i))) {
                QWidget& label = SampleLabel(frmMap, s.array, i, s.color);
                app::MoveTwips(label, app::LeftTwips(*first), app::TopTwips(*first),
                               app::WidthTwips(*first), app::HeightTwips(*first));
            }
        }
    }
    // The Modeling chart's trail: each older position a little smaller and whiter.
    QWidget* point = Widget(ArrayName("ShpInjTimeMod", 0));
    if (!point) {
        return;
    }
    for (int i = 1; i < TrailShapes; ++i) {
        if (!Widget(ArrayName("ShpInjTimeMod", i))) {
            auto* shape = new QFrame(point->parentWidget());
            shape->setObjectName(ArrayName("ShpInjTimeMod", i));
            app::MoveTwips(*shape, app::LeftTwips(*point), app::TopTwips(*point),
                           app::WidthTwips(*point) - 60, app::HeightTwips(*point) - 60);
            monitor::SetFillColor(*shape, 0xFFFF00 + 15 * i);
            shape->show();
        }
    }
    for (int i = TrailShapes - 1; i >= 0; --i) {
        Widget(ArrayName("ShpInjTimeMod", i))->raise();
    }
    QWidget& older = *Widget(ArrayName("ShpInjTimeMod", 1));
    trail_ = {app::WidthTwips(*point) / 2.0, app::HeightTwips(*point) / 2.0,
              app::WidthTwips(older) / 2.0, app::HeightTwips(older) / 2.0};
}

} // namespace calibration
