#pragma once

// The calibration, modelling and map library in the program: its pages on the main
// window and the procedures the window and the poll scheduler call through
// app::PageServices and monitor::MonitorHooks. One instance lives beside the window for
// the whole run; tests make their own.

#include "calibration/CalibrationPage.h"
#include "calibration/MapChart.h"
#include "calibration/MapPage.h"
#include "calibration/ModelingPage.h"
#include "calibration/TaraRun.h"
#include "calibration/TaraValues.h"

#include <memory>

namespace app {
class FrmLX735;
struct PageServices;
struct ProgramContext;
} // namespace app

namespace monitor {
struct MonitorHooks;
}

namespace calibration {

struct Calibration {
    TaraValues tara;
    std::unique_ptr<ModelingPage> modeling;
    std::unique_ptr<MapChart> map;
    std::unique_ptr<MapPage> mapPage;
    std::unique_ptr<CalibrationPage> page;
    std::unique_ptr<TaraRun> run;
};

// Builds the pages' controls on the window and wires the services and hooks; calibration
// parameters that would divide by zero are refused with a message. Call after the
// window is made and before it loads.
void InstallCalibration(Calibration& calibration, app::ProgramContext& ctx,
                        app::PageServices& pages, monitor::MonitorHooks& hooks,
                        app::FrmLX735& window);

} // namespace calibration
