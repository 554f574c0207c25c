#pragma once

#include "common/FakeTime.h"
#include "common/MsgBoxCapture.h"
#include "common/SimPort.h"
#include "common/TempTree.h"
#include "link/ClsComm.h"
#include "link/LinkHost.h"
#include "link/LinkStateMachine.h"
#include "platform/FtdiFake.h"
#include "sim/Ecu.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>

namespace link_test {

// Records what the dispatcher hands upwards.
class TestHost final : public comm::LinkHost {
public:
    bool DeveloperView() const override { return developer; }
    void ParseMem1(const QByteArray& f) override { calls << qMakePair(QString("ParseMem1"), f); }
    void ParseMem2(const QByteArray& f) override { calls << qMakePair(QString("ParseMem2"), f); }
    void ParseMem3(const QByteArray& f) override { calls << qMakePair(QString("ParseMem3"), f); }
    void ParseSmplBnz(const QByteArray& f, int part) override {
        calls << qMakePair(QString("ParseSmplBnz%1").arg(part), f);
    }
    void ParseSmplGas(const QByteArray& f, int part) override {
        calls << qMakePair(QString("ParseSmplGas%1").arg(part), f);
    }
    void ClearSmplBnz() override { calls << qMakePair(QString("ClearSmplBnz"), QByteArray()); }
    void ClearSmplGas() override { calls << qMakePair(QString("ClearSmplGas"), QByteArray()); }
    void Mem2WriteDone() override { calls << qMakePair(QString("Mem2WriteDone"), QByteArray()); }
    void StoreEmulaBlock(const QByteArray& f) override {
        calls << qMakePair(QString("StoreEmulaBlock"), f);
    }

    bool developer = true;
    QList<QPair<QString, QByteArray>> calls;
};

// SetCom.ini of a fixed port COM1 (mapped to the simulated ECU) with the default
// timings and resends.
inline const QByteArray FixedCom1 = "[SearchCom]\r\n 255 \r\n[Comport]\r\n1\r\n";
inline const QString SimDevice = "/dev/pts/lx735-sim";

// A link in a temporary tree, talking to a simulated ECU on simulated time, with the
// link timer (1 ms) firing whenever a wait lets the event loop run.
class LinkRig {
public:
    // setCom: the settings file (empty: none); com: the COM number mapped to the ECU.
    explicit LinkRig(const QByteArray& setCom = FixedCom1, int com = 1,
                     const sim::EcuConfig& config = {});
    ~LinkRig();

    // Lets simulated time pass with the link timer running.
    void Run(double usec);
    // Runs until the condition holds; False when maxUsec passed first.
    bool RunUntil(const std::function<bool()>& condition, double maxUsec = 120e6);
    bool Connect() {
        return RunUntil([this] { return link.ComState() == comm::COM_READY; });
    }
    // Stops and restarts the link timer.
    void TimerRunning(bool on) { timerOn_ = on; }

    QList<QByteArray> LogLines() const;
    // The states of the "C " lines, in order.
    QStringList LoggedStates() const;
    // Requests of this command the ECU received.
    int Received(quint8 command) const;
    QStringList BoxTexts() const;

    testing_support::TempTree tree;
    testing_support::FakeTime time;
    sim::Ecu ecu;
    testing_support::SimPort port;
    platform::FakeFtdiDriver ftdi;
    TestHost host;
    testing_support::MsgBoxCapture boxes;
    comm::ClsComm link;

private:
    double nextTick_ = 0;
    bool timerOn_ = true;
};

} // namespace link_test
