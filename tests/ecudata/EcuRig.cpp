#include "EcuRig.h"

#include "ecudata/RequestServer.h"
#include "link/Frames.h"
#include "link/LinkStateMachine.h"
#include "support/Clock.h"

namespace ecudata_test {

namespace {

constexpr double TickUsec = 1000;
const QString SimDevice = "/dev/pts/lx735-sim";

// A fixed COM1 with two resends and short reply waits, so that failures end quickly.
const QByteArray SetCom = "[SearchCom]\r\n 255 \r\n[Comport]\r\n1\r\n[NumResend]\r\n2\r\n"
                          "[AttesaGlobale_usec]\r\n300000\r\n[Idle_usec]\r\n20000\r\n";

bool AnyRequest(const ecudata::EcuRequests& r) {
    return r.ReqWriteMem3 || r.ReqWriteEmus || r.ReqWriteMem2 || r.ReqSaveFlash || r.ReqEcuMode ||
           r.ReqReadTblCor || r.ReqReadEmus || r.ReqReadMem3 || r.ReqReadDcol || r.ReqReadMem2 ||
           r.ReqReadMem1 || r.ReqReadSmplBnz || r.ReqReadSmplGas || r.ReqCancSmplBnz ||
           r.ReqCancSmplGas || r.ReqReadComp;
}

} // namespace

sim::EcuConfig EcuRig::Quiet() {
    sim::EcuConfig config;
    config.fast = true;
    config.animated = false;
    return config;
}

EcuRig::EcuRig(const sim::EcuConfig& config)
    : ecu(config), port(ecu, SimDevice), link(tree.Root(), port, ftdi) {
    tree.Write("BIN/ComPorts.ini", "[COM1]\r\n" + SimDevice.toLatin1() + "\r\n");
    tree.Write("BIN/SetCom.ini", SetCom);
    link.ReadSetCom("/BIN/SetCom.ini");
    link.Host(&host);
    scale.K_Time_Pwm_us = 0.008; // the simulated ECU's scales
    requests.FirmwareOk = true;
    nextTick_ = time.NowUsec();
    time.onPump = [this] {
        if (time.NowUsec() >= nextTick_) {
            nextTick_ = time.NowUsec() + TickUsec;
            comm::ProcessComState(link);
        }
    };
}

EcuRig::~EcuRig() {
    time.onPump = nullptr;
    link.Host(nullptr);
}

void EcuRig::Run(double usec) {
    time.RunFor(usec, TickUsec);
}

bool EcuRig::RunUntil(const std::function<bool()>& condition, double maxUsec) {
    return time.RunUntil(condition, maxUsec, TickUsec);
}

bool EcuRig::Connect() {
    return RunUntil([this] { return link.ComState() == comm::COM_READY; });
}

bool EcuRig::ServeAll(int calls) {
    for (int i = 0; i < calls && AnyRequest(requests); ++i) {
        if (!Connect()) {
            return false;
        }
        ecudata::ServeEcuRequest(link, model);
    }
    return !AnyRequest(requests);
}

QList<quint8> EcuRig::Commands(qsizetype from) const {
    QList<quint8> commands = ecu.CommandLog().mid(from);
    commands.removeAll(comm::CMD_GET_ECO); // keep-alives come and go with time
    return commands;
}

int EcuRig::Received(quint8 command) const {
    return static_cast<int>(ecu.CommandLog().count(command));
}

void EcuRig::FailNext(quint8 command, int count) {
    sim::Fault fault;
    fault.kind = sim::FaultKind::Silence;
    fault.command = command;
    fault.count = count;
    ecu.AddFault(fault);
}

} // namespace ecudata_test
