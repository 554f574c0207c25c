#pragma once

// The main window with its live displays (InstallMonitor) on a program context of its
// own, in a temporary tree with the staged data files, linked to the simulated ECU on
// simulated time. The window is loaded and shown; its timers run only after
// StartTimers, so that the display tests call the displays themselves.

#include "common/SimWindow.h"
#include "monitor/LivePage.h"

#include <QLineEdit>
#include <QString>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace monitor_test {

class LiveWindowRig : public ::testing::Test, public testing_support::SimWindow {
protected:
    LiveWindowRig();
    // beforeShow runs once the window and its live displays are made, before the window
    // loads (a page of a library above wires its services there).
    explicit LiveWindowRig(const std::function<void()>& beforeShow);


    monitor::LivePage& Live() { return *monitor->live; }
    bool Hidden(const QString& name) { return Widget(name).isHidden(); }
    // The background the control draws (a pixel of its top right corner, clear of its
    // caption), and the application's system colours to compare it with, as "#rrggbb".
    std::string DrawnBack(const QString& name);
    static std::string ButtonFace();
    static std::string ButtonShadow();
};

} // namespace monitor_test
