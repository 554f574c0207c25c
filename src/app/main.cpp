// The program's entry: prepare the shared state, show the main window without
// blocking, start its timers, then run the event loop until the window unloads.

#include "app/FrmLX735.h"
#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "app/ProgramFont.h"
#include "app/StartUp.h"
#include "app/TestScript.h"
#include "app/WheelFocus.h"
#include "calibration/Calibration.h"
#include "emulation/EmulaPage.h"
#include "emulation/FrmCompensaTbl.h"
#include "firmware/FrmUpdate.h"
#include "monitor/Monitor.h"
#include "monitor/TestHooks.h"
#include "settings/ConfigPage.h"
#include "settings/ParamFileSend.h"
#include "viewer/OpenViewer.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    app::WheelFocusGuard wheelNeedsFocus(application);
    app::SetProgramFont();
    monitor::InstallTestHooksFromEnvironment();
    app::ProgramContext context;
    app::PageServices services;
    app::PrepareProgram(context, QCoreApplication::applicationDirPath());

    app::FrmLX735 window(context, services);
    monitor::Monitor liveMonitor(context, services);
    monitor::InstallMonitor(liveMonitor, window);
    calibration::Calibration calibrationPages;
    calibration::InstallCalibration(calibrationPages, context, services, liveMonitor.hooks, window);
    settings::ConfigPage configPage(context, window, services);
    emulation::EmulaPage emulaPage(context, window);
    emulaPage.Install(services, liveMonitor.hooks);
    emulation::ConnectCmdTableComp(context, window);
    liveMonitor.hooks.FileParametriInvia = [&](const QString& path) {
        return settings::FileParametriInvia(
            path, context, services, [&window](const QString& c) { window.setWindowTitle(c); });
    };
    liveMonitor.hooks.OpenViewer = [&] { viewer::OpenViewer(context, window, liveMonitor.hooks); };
    liveMonitor.hooks.ShowFrmUpdate = [&context] { firmware::ShowFrmUpdate(context); };
    window.OnUnloaded = [] { QCoreApplication::quit(); };
    window.Show();
    window.EnableTimers();
    const std::unique_ptr<app::TestScript> script =
        app::TestScriptFromEnvironment(window, monitor::RecordTestEvent);
    return application.exec();
}
