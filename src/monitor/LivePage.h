#pragma once

// The live displays of the main window, made once for the window and wired to the poll
// scheduler (Monitor::displays) and to the window's shell (PageServices): the engine
// values, injector bars, lambda display, level lamps, status indicators and error
// button, the buttons that open the error list, the service hours and the signal viewer,
// and the layouts of the General page and the live-value frame.

#include "monitor/EngineValues.h"
#include "monitor/ErrorFlags.h"
#include "monitor/GeneralPageLayout.h"
#include "monitor/InjectorBars.h"
#include "monitor/LambdaDisplay.h"
#include "monitor/LevelLamps.h"
#include "monitor/LiveFrameLayout.h"
#include "monitor/StatusIndicators.h"

#include <QObject>
#include <QPointer>

namespace app {
class FrmLX735;
}

namespace monitor {

struct Monitor;
class FrmErrEcu;
class FrmService;

class LivePage {
public:
    LivePage(Monitor& monitor, app::FrmLX735& window);
    ~LivePage();
    LivePage(const LivePage&) = delete;
    LivePage& operator=(const LivePage&) = delete;

    void CmdErrInj_Click();
    void CmdService_Click();
    void CmdView_Click();

    // The two windows, made on first use; owned by the main window.
    FrmErrEcu& ErrorList();
    FrmService& Service();

    EngineValues Engine;
    InjectorBars Injectors;
    LambdaDisplay Lambda;
    LevelLamps Lamps;
    StatusIndicators Status;
    ErrorFlags Errors;
    GeneralPageLayout GeneralLayout;
    LiveFrameLayout FrameLayout;

private:
    void WireDisplays();

    Monitor& monitor_;
    app::FrmLX735& window_;
    QObject connections_; // ends the button connections with this object
    QPointer<FrmErrEcu> frmErrEcu_;
    QPointer<FrmService> frmService_;
};

} // namespace monitor
