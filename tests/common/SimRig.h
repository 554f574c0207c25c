#pragma once

// The simulated ECU in process, on simulated time: a temporary application tree whose
// BIN/ComPorts.ini maps a COM port to the ECU's line, the ECU, and the rig's timers,
// each stepped whenever a wait lets the event loop run. The suites' rigs are layers on
// it: a link, the ECU data model, live monitoring, the main window.

#include "common/FakeTime.h"
#include "common/MsgBoxCapture.h"
#include "common/SimPort.h"
#include "common/TempTree.h"
#include "sim/Ecu.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

namespace testing_support {

// The device path of the simulated ECU's line.
inline const QString SimDevice = QStringLiteral("/dev/pts/lx735-sim");

class SimRig {
public:
    // A fast ECU whose engine idles warm on petrol, without the drive cycle.
    static sim::EcuConfig Quiet();
    // The same with the identity "VV.vv DD/MM/YYYY WORD1 WORD2 CODE".
    static sim::EcuConfig WithIdentity(const QString& identity);
    // SetCom.ini of COM1 fixed (or searched from COM1), two resends and short reply
    // waits, so that failures end quickly.
    static QByteArray QuickSetCom(bool search = false);

    // com: the COM port mapped to the ECU's line.
    explicit SimRig(const sim::EcuConfig& config = Quiet(), int com = 1);
    virtual ~SimRig();
    SimRig(const SimRig&) = delete;
    SimRig& operator=(const SimRig&) = delete;

    // Copies these files of the build's staged tree into the rig's tree.
    void Stage(std::initializer_list<const char*> files) const;
    // A port on the ECU's line, opened under SimDevice only.
    std::unique_ptr<SimPort> NewPort();

    // A timer stepped every periodUsec while running() holds, first at the first pump
    // once it runs; all timers due at a pump step in the order they were added.
    void AddTimer(double periodUsec, std::function<bool()> running, std::function<void()> tick);

    // No timer steps from now on: a rig calls it first when it goes, before what its
    // timers step.
    void StopTimers() { time.onPump = nullptr; }

    // The requests the ECU received from that position of its log on, keep-alives left
    // out (they come and go with time).
    QList<quint8> Commands(qsizetype from = 0) const;
    // Requests of this command the ECU received whole, refused ones too.
    int Received(quint8 command) const;
    // The ECU stays silent to the next count requests of this command.
    void FailNext(quint8 command, int count);
    // The ECU refuses every request of this command (status 254).
    void Refuse(quint8 command);

    TempTree tree;
    FakeTime time;
    sim::Ecu ecu;
    MsgBoxCapture boxes;

private:
    struct Timer {
        double periodUsec;
        std::function<bool()> running;
        std::function<void()> tick;
        double nextUsec = 0;
    };
    void Pump();
    std::vector<Timer> timers_;
};

} // namespace testing_support
