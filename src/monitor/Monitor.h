#pragma once

// Live monitoring behind the main window's two timers: the link pump (Timer1, 1 ms), the
// poll scheduler (Timer2, 14 ms) and the identification of the ECU that the scheduler
// runs until the ECU is accepted. One instance lives beside the main window for the
// whole run; tests make their own on a program context of their own.

#include "monitor/LiveDisplays.h"
#include "monitor/MonitorHooks.h"

#include <QtGlobal>
#include <memory>

namespace app {
class FrmLX735;
struct PageServices;
struct ProgramContext;
} // namespace app

namespace monitor {

class LivePage;

struct Monitor {
    Monitor(app::ProgramContext& context, app::PageServices& pages);
    ~Monitor();
    Monitor(const Monitor&) = delete;
    Monitor& operator=(const Monitor&) = delete;

    app::ProgramContext& ctx;
    app::PageServices& pages;
    MonitorHooks hooks;
    LiveDisplays displays;

    // Project-code mismatches since the last message or acceptance.
    quint8 FwMismatchCount = 0;
    // An image that cannot be read is reported once a run.
    bool ImageErrorShown = false;
    // When the firmware image was last found on disk: off-line it is looked for at
    // most once a second, not at every tick.
    double FirmwareSeenUsec = -1e18;

    // The live displays of the main window, once InstallMonitor has made them.
    std::unique_ptr<LivePage> live;
};

// Timer2 stands still while this lives (a modal window, a parameter-file send); the link
// pump goes on. Timer2 runs again afterwards when it was running before.
class Timer2Pause {
public:
    explicit Timer2Pause(MonitorHooks& hooks) : hooks_(hooks), wasRunning_(hooks.Timer2Enabled()) {
        hooks_.SetTimer2Enabled(false);
    }
    ~Timer2Pause() {
        if (wasRunning_) {
            hooks_.SetTimer2Enabled(true);
        }
    }
    Timer2Pause(const Timer2Pause&) = delete;
    Timer2Pause& operator=(const Timer2Pause&) = delete;

private:
    MonitorHooks& hooks_;
    bool wasRunning_;
};

// Makes the window's timers run the link pump and the poll scheduler, wires the hooks
// the window answers (the splash, the status bar, the cable watch, the visible tab, the
// acquisition box, Timer2, the pointer and the About box) and makes the live displays of
// its General page and live-value frame. Call before the window loads.
void InstallMonitor(Monitor& monitor, app::FrmLX735& window);

} // namespace monitor
