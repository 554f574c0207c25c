#pragma once

// The program in process against the simulated ECU: a staged tree whose COM3 is the
// ECU's line, a program context with the simulated port and a fake cable driver, the
// main window loaded, and both window timers run on simulated time. The link pump here
// is the bare link step followed by the status bar, as the live-monitoring timer
// bodies call them.

#include "app/FrmLX735.h"
#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "common/FakeTime.h"
#include "common/MsgBoxCapture.h"
#include "common/SimPort.h"
#include "common/TempTree.h"
#include "platform/FtdiFake.h"
#include "sim/Ecu.h"

#include <QByteArrayList>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace app_tests {

inline const QString SimDevice = QStringLiteral("/dev/pts/lx735-sim");
constexpr int SimCom = 3;

// Port settings with short reply waits, so that a silent or missing port is passed
// quickly; search is " 0 " (from the cable) or " 255 " (the port named).
QByteArray SetComFile(int comPort, bool search, bool logPoint = false);

class SimAppFixture : public ::testing::Test {
protected:
    SimAppFixture();
    ~SimAppFixture() override;

    // Prepares the program on the tree (with its SetCom.ini as written), loads the
    // window and starts its timers.
    void Start();

    void Run(double usec);
    bool RunUntil(const std::function<bool()>& condition, double maxUsec = 60e6);
    bool Connected() const { return context->Comm().ComState() == app::COM_READY; }

    // The link log's lines, and how many frame lines ("T " sent, "R " received) it holds.
    QByteArrayList LogLines() const;
    int FrameLines() const;
    QString StatusText(int cell) const;

    testing_support::TempTree tree;
    testing_support::FakeTime time;
    sim::Ecu ecu;
    testing_support::MsgBoxCapture boxes;
    app::PageServices services;
    std::unique_ptr<app::ProgramContext> context;
    std::unique_ptr<app::FrmLX735> window;
    platform::FakeFtdiDriver* ftdi = nullptr;

private:
    double nextTimer1_ = 0;
    double nextTimer2_ = 0;
};

} // namespace app_tests
