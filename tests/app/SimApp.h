#pragma once

// The program in process against the simulated ECU: a staged tree whose COM3 is the
// ECU's line, a program context with the simulated port and a fake cable driver, the
// main window loaded, and both window timers run on simulated time. The link pump here
// is the bare link step followed by the status bar, as the live-monitoring timer
// bodies call them.

#include "common/SimWindow.h"
#include "platform/FtdiFake.h"

#include <QByteArrayList>
#include <gtest/gtest.h>

namespace app_tests {

constexpr int SimCom = 3;

// Port settings with short reply waits, so that a silent or missing port is passed
// quickly; search is " 0 " (from the cable) or " 255 " (the port named).
QByteArray SetComFile(int comPort, bool search, bool logPoint = false);

class SimAppFixture : public ::testing::Test, public testing_support::SimWindow {
protected:
    SimAppFixture();


    // Prepares the program on the tree (with its SetCom.ini as written), loads the
    // window and starts its timers.
    void Start();

    bool Connected() const { return context->Comm().ComState() == app::COM_READY; }

    // The link log's lines, and how many frame lines ("T " sent, "R " received) it holds.
    QByteArrayList LogLines() const;
    int FrameLines() const;
    QString StatusText(int cell) const;

    platform::FakeFtdiDriver* ftdi = nullptr;
};

} // namespace app_tests
