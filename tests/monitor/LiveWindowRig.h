#pragma once

// The main window with its live displays (InstallMonitor) on a program context of its
// own, in a temporary tree with the staged data files, linked to the simulated ECU on
// simulated time. The window is loaded and shown; its timers run only after
// StartTimers, so that the display tests call the displays themselves.

#include "app/FrmLX735.h"
#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "common/FakeTime.h"
#include "common/MsgBoxCapture.h"
#include "common/StandIns.h"
#include "common/TempTree.h"
#include "monitor/LivePage.h"
#include "monitor/Monitor.h"
#include "sim/Ecu.h"

#include <QLineEdit>
#include <QString>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace monitor_test {

class LiveWindowRig : public ::testing::Test {
protected:
    LiveWindowRig();
    // beforeShow runs once the window and its live displays are made, before the window
    // loads (a page of a library above wires its services there).
    explicit LiveWindowRig(const std::function<void()>& beforeShow);
    ~LiveWindowRig() override;

    // Starts Timer1 and Timer2, played on simulated time as the window plays them.
    void StartTimers();
    void Run(double usec);
    bool RunUntil(const std::function<bool()>& condition, double maxUsec = 60e6);

    monitor::LivePage& Live() { return *monitor->live; }
    QWidget& Widget(const QString& name);
    QString Text(const QString& name); // a text box's text, a label's or button's caption
    bool Hidden(const QString& name) { return Widget(name).isHidden(); }
    // The background the control draws (a pixel of its top right corner, clear of its
    // caption), and the application's system colours to compare it with, as "#rrggbb".
    std::string DrawnBack(const QString& name);
    static std::string ButtonFace();
    static std::string ButtonShadow();

    testing_support::TempTree tree;
    testing_support::FakeTime time;
    sim::Ecu ecu;
    testing_support::MsgBoxCapture boxes;
    app::PageServices services;
    std::unique_ptr<app::ProgramContext> context;
    std::unique_ptr<app::FrmLX735> window;
    std::unique_ptr<monitor::Monitor> monitor;

private:
    testing_support::StandIns standIns_;
    double nextTimer1_ = 0;
    double nextTimer2_ = 0;
    bool timers_ = false;
};

} // namespace monitor_test
