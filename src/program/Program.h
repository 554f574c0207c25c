#pragma once

// The program's composition: the main window with every library's pages on it, and each
// slot of the callback tables (app::PageServices, monitor::MonitorHooks) filled with the
// procedure its library provides. main makes one on the prepared context; the wiring
// test makes one as well and finds no slot unfilled.

#include "app/FrmLX735.h"
#include "app/PageServices.h"
#include "calibration/Calibration.h"
#include "monitor/Monitor.h"
#include "viewer/FrmView.h"

#include <memory>

namespace app {
struct ProgramContext;
}
namespace emulation {
class EmulaPage;
}
namespace settings {
class ConfigPage;
}

namespace program {

struct Program {
    // The context is prepared (app::PrepareProgram) and outlives the program. The window
    // is made but not shown.
    explicit Program(app::ProgramContext& context);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    app::PageServices services;
    app::FrmLX735 window;
    monitor::Monitor liveMonitor;
    calibration::Calibration calibrationPages;
    // Made once the live monitoring and the calibration are on the window.
    std::unique_ptr<settings::ConfigPage> configPage;
    std::unique_ptr<emulation::EmulaPage> emulaPage;
    // The main window's labels that name the viewer's channels, bound once.
    viewer::ChannelLabels channelLabels;
};

} // namespace program
