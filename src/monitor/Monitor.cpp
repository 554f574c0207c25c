#include "monitor/Monitor.h"

#include "app/FrmLX735.h"
#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "monitor/LinkPump.h"
#include "monitor/LivePage.h"
#include "monitor/PollScheduler.h"
#include "monitor/TestHooks.h"
#include "ui/ControlBuilder.h"

#include <QCheckBox>

namespace monitor {

Monitor::Monitor(app::ProgramContext& context, app::PageServices& pages)
    : ctx(context), pages(pages) {}

Monitor::~Monitor() = default;

void InstallMonitor(Monitor& monitor, app::FrmLX735& window) {
    monitor.pages.Timer1Tick = [&monitor] { LinkPumpTick(monitor); };
    monitor.pages.Timer2Tick = [&monitor] { PollSchedulerTick(monitor); };

    MonitorHooks& hooks = monitor.hooks;
    hooks.ElaboraMsgCom = [&window] { window.ElaboraMsgCom(); };
    hooks.AggiornaStatoCom = [&window] { window.AggiornaStatoCom(); };
    hooks.WatchUsbDevices = [&window] { window.WatchUsbDevices(); };
    hooks.CurrentTab = [&window] { return window.SstMain().currentIndex(); };
    hooks.AcquisitionEnabled = [&box = ui::Bind<QCheckBox>(window, "ChkAbilAcqVacum")] {
        return box.isChecked();
    };
    hooks.Timer2Enabled = [&window] { return window.Timer2().isActive(); };
    // Once the window has unloaded its timers stay stopped.
    hooks.SetTimer2Enabled = [&window](bool on) {
        if (!on) {
            window.Timer2().stop();
        } else if (!window.IsUnloaded()) {
            window.Timer2().start();
        }
    };
    hooks.DefaultPointer = [&window] { window.unsetCursor(); };
    hooks.MnuInfoAbout_Click = [&window] {
        RecordTestEvent("MnuInfoAbout_Click");
        window.MnuInfoAbout_Click();
    };
    monitor.live = std::make_unique<LivePage>(monitor, window);
    GrabWindowFromEnvironment(window);
}

} // namespace monitor
