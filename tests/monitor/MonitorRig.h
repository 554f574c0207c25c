#pragma once

// Live monitoring on a program context of its own, linked to the simulated ECU on
// simulated time: a temporary tree with the staged data files, COM1 fixed on the
// simulated ECU, and the two main-window timers played as the window plays them (each
// behind its re-entry guard, Timer1 every 1 ms and Timer2 every 14 ms while it runs).

#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "common/SimRig.h"
#include "common/Wait.h"
#include "monitor/Monitor.h"

#include <QStringList>
#include <functional>

namespace monitor_test {

// Points at the default cells, on the line gas = 1.25 x petrol + 0.5.
ecudata::ModRec LineModel();

class MonitorRig : public testing_support::SimRig {
public:
    explicit MonitorRig(const sim::EcuConfig& config = Quiet(), bool search = false);
    ~MonitorRig() override;

    // Writes the firmware image with this identity (the generator's defaults match the
    // simulated ECU's); the project "" leaves the code out.
    void WriteImage(const QString& version = "01.12", const QString& date = "14/04/2011",
                    const QString& project = "T468");

    // One tick of a timer as the window runs it, behind its re-entry guard.
    void Tick1();
    void Tick2();

    app::ProgramContext ctx;
    app::PageServices pages;
    monitor::Monitor monitor{ctx, pages};

    bool Timer1Busy = false;
    bool Timer2Busy = false;
    bool timer1Running = true;
    bool timer2Running = true;
    int timer2Ticks = 0; // Timer2 ticks that ran (re-entries not counted)
    QStringList events;  // hooks called, in order
};

} // namespace monitor_test
