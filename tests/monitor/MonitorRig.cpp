#include "MonitorRig.h"

#include "app/StartUp.h"
#include "common/BuildTools.h"
#include "common/FillUnwired.h"
#include "monitor/LinkPump.h"
#include "monitor/PollScheduler.h"
#include "platform/FtdiFake.h"

namespace monitor_test {

ecudata::ModRec LineModel() {
    constexpr int cells[8] = {0, 28, 55, 71, 86, 102, 125, 157};
    ecudata::ModRec m;
    m.Alfa = 1.25f;
    m.Offset = 0.5f;
    for (int i = 0; i < 8; ++i) {
        m.X[i] = m.BaseX[i] = static_cast<float>(cells[i] * 0.128);
        m.Y[i] = m.Alfa * m.X[i] + m.Offset;
    }
    return m;
}

MonitorRig::MonitorRig(const sim::EcuConfig& config, bool search)
    : SimRig(config), ctx(NewPort(), std::make_unique<platform::FakeFtdiDriver>()) {
    Stage({"LNG/ConfigScale.ini", "LNG/M3.diz", "LNG/M3.con", "BIN/Flash.ini",
           "BIN/TarvencoInj468.frh"});
    tree.Write("BIN/SetCom.ini", QuickSetCom(search));
    app::PrepareProgram(ctx, tree.Path("BIN"));
    ctx.FirmwareFilePath = tree.Path("BIN/TarvencoInj468.frh");
    for (int i = 1; i <= 3; ++i) {
        ctx.Texts.MsgLive[i] = QString("MsgLive0%1").arg(i);
    }
    // What the window's load step sets up.
    ctx.Requests.ReqReadMem1 = ctx.Requests.ReqReadMem2 = ctx.Requests.ReqReadMem3 = true;
    ctx.Requests.ReqReadEmus = ctx.Requests.ReqReadTblCor = ctx.Requests.ReqReadComp = true;
    ctx.Requests.ReqReadDcol = true;
    ctx.Requests.PollCountdown = {3, 7, 17, 23, 53, 101};
    ctx.Requests.FirstReadPending = ctx.Requests.RefreshPending = true;

    monitor::MonitorHooks& hooks = monitor.hooks;
    hooks.Timer2Enabled = [this] { return timer2Running; };
    hooks.SetTimer2Enabled = [this](bool on) { timer2Running = on; };
    hooks.MnuInfoAbout_Click = [this] { events << "About"; };
    hooks.ShowFrmUpdate = [this] { events << "FrmUpdate"; };
    pages.RefreshParamPages = [this] { events << "RefreshParamPages"; };

    testing_support::FillUnwiredWithNothing(pages, hooks, monitor.displays);
    AddTimer(
        1000, [this] { return timer1Running; }, [this] { Tick1(); });
    AddTimer(
        14000, [this] { return timer2Running; }, [this] { Tick2(); });
}

MonitorRig::~MonitorRig() {
    StopTimers();
}

void MonitorRig::WriteImage(const QString& version, const QString& date, const QString& project) {
    testing_support::RunBuildTool(
        "lx735-make-firmware",
        {"--version", version, "--date", date, "--project", project, ctx.FirmwareFilePath});
}

void MonitorRig::Tick1() {
    if (!Timer1Busy) {
        Timer1Busy = true;
        monitor::LinkPumpTick(monitor);
        Timer1Busy = false;
    }
}

void MonitorRig::Tick2() {
    if (!Timer2Busy) {
        Timer2Busy = true;
        ++timer2Ticks;
        monitor::PollSchedulerTick(monitor);
        Timer2Busy = false;
    }
}

} // namespace monitor_test
