#pragma once

// The Map page's chart frame (FrmMap): its geometry, its grid and numbers, and the
// sample labels with the Modeling chart's live-point trail, created once and reused.

#include "calibration/ChartGeometry.h"

class QWidget;

namespace app {
class FrmLX735;
struct ProgramContext;
} // namespace app

namespace calibration {

class ChartCanvas;
struct TrailHalfSizes;

inline constexpr int MapSampleLabels = 60;

class MapChart {
public:
    MapChart(app::ProgramContext& ctx, app::FrmLX735& window, TrailHalfSizes& trail);

    void InizVarMap();
    void DrawGridMap();
    void LoadPointLabelsMap();
    MapGeometry& Geometry() { return geo_; }

private:
    void BuildLegend();
    QWidget* Widget(const QString& name) const;

    app::ProgramContext& ctx_;
    app::FrmLX735& window_;
    TrailHalfSizes& trail_;
    MapGeometry geo_;
    ChartCanvas* canvas_ = nullptr;
};

} // namespace calibration
