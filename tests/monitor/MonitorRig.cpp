#include "MonitorRig.h"

#include "app/StartUp.h"
#include "common/BuildTools.h"
#include "common/FillUnwired.h"
#include "common/SimPort.h"
#include "link/Frames.h"
#include "monitor/LinkPump.h"
#include "monitor/PollScheduler.h"
#include "platform/FtdiFake.h"
#include "support/Clock.h"

#include <QFile>

namespace monitor_test {

namespace {

constexpr double Timer1Usec = 1000;
constexpr double Timer2Usec = 14000;
const QString SimDevice = "/dev/pts/lx735-sim";

void CopyStaged(const testing_support::TempTree& tree, const QString& relative) {
    tree.Write(relative, testing_support::ReadFixture(testing_support::StagedRootPath(relative)));
}

} // namespace

QByteArray SetComFile(bool search) {
    return "[SearchCom]\r\n " + QByteArray(search ? "1" : "255") +
           " \r\n[Comport]\r\n1\r\n[NumResend]\r\n2\r\n"
           "[AttesaGlobale_usec]\r\n300000\r\n[Idle_usec]\r\n20000\r\n";
}

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

sim::EcuConfig MonitorRig::Quiet() {
    sim::EcuConfig config;
    config.fast = true;
    config.animated = false;
    return config;
}

sim::EcuConfig MonitorRig::WithIdentity(const QString& identity) {
    sim::EcuConfig config = Quiet();
    config.identity = *sim::Identity::Parse(identity);
    return config;
}

MonitorRig::MonitorRig(const sim::EcuConfig& config, bool search)
    : ecu(config), ctx(std::make_unique<testing_support::SimPort>(ecu, SimDevice),
                       std::make_unique<platform::FakeFtdiDriver>()) {
    for (const char* file : {"LNG/ConfigScale.ini", "LNG/M3.diz", "LNG/M3.con", "BIN/Flash.ini",
                             "BIN/TarvencoInj468.frh"}) {
        CopyStaged(tree, file);
    }
    tree.Write("BIN/ComPorts.ini", "[COM1]\r\n" + SimDevice.toLatin1() + "\r\n");
    tree.Write("BIN/SetCom.ini", SetComFile(search));
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
    testing_support::FillUnwiredWithNothing(pages, hooks);

    nextTimer1_ = nextTimer2_ = time.NowUsec();
    time.onPump = [this] { Pump(); };
}

MonitorRig::~MonitorRig() {
    time.onPump = nullptr;
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

void MonitorRig::Pump() {
    const double now = time.NowUsec();
    if (timer1Running && now >= nextTimer1_) {
        nextTimer1_ = now + Timer1Usec;
        Tick1();
    }
    if (timer2Running && now >= nextTimer2_) {
        nextTimer2_ = now + Timer2Usec;
        Tick2();
    }
}

void MonitorRig::Run(double usec) {
    time.RunFor(usec, Timer1Usec);
}

bool MonitorRig::RunUntil(const std::function<bool()>& condition, double maxUsec) {
    return time.RunUntil(condition, maxUsec, Timer1Usec);
}

QList<quint8> MonitorRig::Commands() const {
    QList<quint8> commands = ecu.CommandLog();
    commands.removeAll(comm::CMD_GET_ECO);
    return commands;
}

int MonitorRig::Received(quint8 command) const {
    return static_cast<int>(ecu.CommandLog().count(command));
}

void MonitorRig::FailNext(quint8 command, int count) {
    sim::Fault fault;
    fault.kind = sim::FaultKind::Silence;
    fault.command = command;
    fault.count = count;
    ecu.AddFault(fault);
}

} // namespace monitor_test
