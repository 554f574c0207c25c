#pragma once

// The Map page's chart frame (FrmMap): its geometry, its grid and numbers, and the
// sample labels with the Modeling chart's live-point trail, created once and reused.

#include "calibration/ChartGeometry.h"

#include <array>
#include <vector>

class QWidget;

namespace app {
class FrmLX735;
struct ProgramContext;
} // namespace app

namespace calibration {

class ChartCanvas;
class ModelingPage;

inline constexpr int MapSampleLabels = 60;

class MapChart {
public:
    // Builds the chart frame's controls on the window and binds them.
    MapChart(app::ProgramContext& ctx, app::FrmLX735& window, ModelingPage& modeling);

    void InizVarMap();
    void DrawGridMap();
    void LoadPointLabelsMap();
    MapGeometry& Geometry() { return geo_; }

    // The sample labels LblTgMap and LblTpMap: element 0 from the start, all 60 after
    // the first LoadPointLabelsMap.
    const std::vector<QWidget*>& GasLabels() const { return labels_[0]; }
    const std::vector<QWidget*>& PetrolLabels() const { return labels_[1]; }

private:
    app::ProgramContext& ctx_;
    ModelingPage& modeling_;
    MapGeometry geo_;
    QWidget* frmMap_ = nullptr;
    ChartCanvas* canvas_ = nullptr;
    std::array<std::vector<QWidget*>, 2> labels_; // gas, petrol
};

} // namespace calibration
