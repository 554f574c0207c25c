#pragma once

#include "common/SimRig.h"
#include "common/Wait.h"
#include "link/ClsComm.h"
#include "link/LinkHost.h"
#include "link/LinkStateMachine.h"
#include "platform/FtdiFake.h"

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

// A link in a temporary tree, talking to a simulated ECU on simulated time, with the
// link timer (1 ms) firing whenever a wait lets the event loop run.
class LinkRig : public testing_support::SimRig {
public:
    // setCom: the settings file (empty: none); com: the COM number mapped to the ECU.
    explicit LinkRig(const QByteArray& setCom = FixedCom1, int com = 1,
                     const sim::EcuConfig& config = {});
    ~LinkRig() override;

    bool Connect() {
        return testing_support::WaitFor([this] { return link.ComState() == comm::COM_READY; },
                                        std::chrono::seconds(120));
    }
    // Stops and restarts the link timer.
    void TimerRunning(bool on) { timerOn_ = on; }

    QList<QByteArray> LogLines() const;
    // The states of the "C " lines, in order.
    QStringList LoggedStates() const;
    QStringList BoxTexts() const;

    testing_support::SimPort port{ecu, testing_support::SimDevice};
    platform::FakeFtdiDriver ftdi;
    TestHost host;
    comm::ClsComm link{tree.Root(), port, ftdi};

private:
    bool timerOn_ = true;
};

} // namespace link_test
