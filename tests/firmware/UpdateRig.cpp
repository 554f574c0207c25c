#include "UpdateRig.h"

#include "common/Wait.h"
#include "ecudata/FirmwareImage.h"
#include "link/ClsComm.h"

#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace firmware_test {

namespace {

QByteArray Pattern(int size, int seed, int modulo = 256) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((seed + 7 * i) % modulo);
    }
    return bytes;
}

} // namespace

UpdateRig::UpdateRig(int answer, const QString& ecuIdentity)
    : rig(monitor_test::MonitorRig::WithIdentity(ecuIdentity)), boxes(answer) {
    rig.WriteImage("01.40", "14/04/2010");
    rig.timer2Running = false;
    app::MessageTexts& texts = rig.ctx.Texts;
    for (int i = 1; i <= 6; ++i) {
        texts.MsgUpdate[i] = QString("MsgUpdate0%1").arg(i);
    }
    texts.MsgComError = "MsgComError";
    texts.MsgConfirm = "MsgConfirm";
    rig.ecu.Ram() = Installation();
    rig.ecu.Saved() = rig.ecu.Ram();
    EXPECT_TRUE(WaitFor([this] { return rig.ctx.Comm().ComState() == comm::COM_READY; }, 60s));
    EXPECT_TRUE(ecudata::LoadFirmwareInfo(rig.ctx.Comm()));
    rig.ecu.ClearCommandLog();
    window = std::make_unique<firmware::FrmUpdate>(rig.ctx);
}

sim::Memory UpdateRig::Installation() {
    sim::Memory m = sim::Memory::Factory();
    sim::PutU32(m.zone2, sim::kZ2HoursGas, 4321);
    sim::PutU32(m.zone2, sim::kZ2HoursPetrol, 8765);
    m.zone2[sim::kZ2Flags] = static_cast<char>(0x13); // bits 0, 1 and 4
    sim::PutU16(m.zone3, sim::kZ3SwitchRpm, 1234);
    m.zone3[sim::kZ3CylState + 2] = 0;
    m.emulation = Pattern(sim::kEmulationSize, 3);
    m.compGasTemp = Pattern(sim::kCompByteTableSize, 5, 90);
    m.compSmag[2] = 0x21;
    m.SetCorrectionCell(20, m.CorrectionCell(20) + 7);
    m.testRecord = "INSTALLER 4711  ";
    return m;
}

void UpdateRig::Ready(bool ready) {
    rig.ecu.SetAnimated(false);
    rig.ecu.Engine().rpm = ready ? 0 : 850;
    rig.ecu.Engine().key = !ready;
}

void UpdateRig::Next(int times) {
    for (int i = 0; i < times; ++i) {
        window->CmdUpdate_Click();
    }
}

QString UpdateRig::Text(const char* control) const {
    return window->findChild<QLabel*>(control)->text();
}

bool UpdateRig::Shown(const char* control) const {
    return !window->findChild<QWidget*>(control)->isHidden();
}

QByteArray UpdateRig::ImageBytes() {
    const comm::ClsComm& link = rig.ctx.Comm();
    QByteArray bytes;
    for (qint64 i = 0; i <= link.TableFlashUBound(); ++i) {
        bytes.append(static_cast<char>(*link.TableFlash(i)));
    }
    return bytes;
}

QByteArray UpdateRig::FlashBytes() const {
    return rig.ecu.FlashBytes(sim::kFlashFirst,
                              static_cast<int>(sim::kFlashLast - sim::kFlashFirst + 1));
}

QList<quint8> UpdateRig::CommandsFrom(quint8 command) const {
    const QList<quint8> all = rig.Commands();
    const qsizetype at = all.indexOf(command);
    return at < 0 ? QList<quint8>() : all.mid(at);
}

void UpdateRig::AddFault(sim::FaultKind kind, quint8 command, int count, int skip, double value) {
    sim::Fault fault;
    fault.kind = kind;
    fault.command = command;
    fault.count = count;
    fault.skip = skip;
    fault.value = value;
    rig.ecu.AddFault(fault);
}

} // namespace firmware_test
