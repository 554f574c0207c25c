#include "program/Program.h"

#include "app/ProgramContext.h"
#include "emulation/EmulaPage.h"
#include "emulation/FrmCompensaTbl.h"
#include "firmware/FrmUpdate.h"
#include "settings/ConfigPage.h"
#include "settings/ParamFileSend.h"
#include "viewer/OpenViewer.h"

namespace program {

Program::Program(app::ProgramContext& context)
    : window(context, services), liveMonitor(context, services), channelLabels(window) {
    monitor::MonitorHooks& hooks = liveMonitor.hooks;
    monitor::InstallMonitor(liveMonitor, window);
    calibration::InstallCalibration(calibrationPages, context, services, hooks, window);
    configPage = std::make_unique<settings::ConfigPage>(context, window, services);
    emulaPage = std::make_unique<emulation::EmulaPage>(context, window);
    emulaPage->Install(services, hooks);
    emulation::ConnectCmdTableComp(context, window);
    hooks.FileParametriInvia = [this, &context](const QString& path) {
        return settings::FileParametriInvia(path, context, services,
                                            [this](const QString& c) { window.setWindowTitle(c); });
    };
    hooks.OpenViewer = [this, &context] {
        viewer::OpenViewer(context, window, liveMonitor.hooks, &channelLabels);
    };
    hooks.ShowFrmUpdate = [&context] { firmware::ShowFrmUpdate(context); };
}

Program::~Program() = default;

} // namespace program
