#include "common/SimRig.h"

#include "common/BuildTools.h"
#include "common/Wait.h"
#include "sim/Faults.h"
#include "sim/Frame.h"

namespace testing_support {

sim::EcuConfig SimRig::Quiet() {
    sim::EcuConfig config;
    config.fast = true;
    config.animated = false;
    return config;
}

sim::EcuConfig SimRig::WithIdentity(const QString& identity) {
    sim::EcuConfig config = Quiet();
    config.identity = *sim::Identity::Parse(identity);
    return config;
}

QByteArray SimRig::QuickSetCom(bool search) {
    return "[SearchCom]\r\n " + QByteArray(search ? "1" : "255") +
           " \r\n[Comport]\r\n1\r\n[NumResend]\r\n2\r\n"
           "[AttesaGlobale_usec]\r\n300000\r\n[Idle_usec]\r\n20000\r\n";
}

SimRig::SimRig(const sim::EcuConfig& config, int com) : ecu(config) {
    tree.Write("BIN/ComPorts.ini", QString("[COM%1]\r\n%2\r\n").arg(com).arg(SimDevice).toLatin1());
    time.onPump = [this] { Pump(); };
}

SimRig::~SimRig() {
    StopTimers();
}

void SimRig::Stage(std::initializer_list<const char*> files) const {
    for (const char* file : files) {
        tree.Write(file, ReadFixture(StagedRootPath(file)));
    }
}

std::unique_ptr<SimPort> SimRig::NewPort() {
    return std::make_unique<SimPort>(ecu, SimDevice);
}

void SimRig::AddTimer(double periodUsec, std::function<bool()> running,
                      std::function<void()> tick) {
    timers_.push_back({periodUsec, std::move(running), std::move(tick)});
}

void SimRig::Pump() {
    // One time for the pump: a tick that waits does not move the others' turns.
    const double now = time.NowUsec();
    for (Timer& timer : timers_) {
        if (timer.running() && now >= timer.nextUsec) {
            timer.nextUsec = now + timer.periodUsec;
            timer.tick();
        }
    }
}

QList<quint8> SimRig::Commands(qsizetype from) const {
    QList<quint8> commands = ecu.CommandLog().mid(from);
    commands.removeAll(sim::CMD_GET_ECO);
    return commands;
}

int SimRig::Received(quint8 command) const {
    return static_cast<int>(ecu.CommandLog().count(command));
}

void SimRig::FailNext(quint8 command, int count) {
    sim::Fault fault;
    fault.kind = sim::FaultKind::Silence;
    fault.command = command;
    fault.count = count;
    ecu.AddFault(fault);
}

void SimRig::Refuse(quint8 command) {
    sim::Fault fault;
    fault.kind = sim::FaultKind::Status;
    fault.command = command;
    fault.count = sim::kForever;
    fault.value = 254;
    ecu.AddFault(fault);
}

} // namespace testing_support
