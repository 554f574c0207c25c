#pragma once

// Live monitoring on a program context of its own, linked to the simulated ECU on
// simulated time: a temporary tree with the staged data files, COM1 fixed on the
// simulated ECU, and the two main-window timers played as the window plays them (each
// behind its re-entry guard, Timer1 every 1 ms and Timer2 every 14 ms while it runs).

#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "common/FakeTime.h"
#include "common/MsgBoxCapture.h"
#include "common/TempTree.h"
#include "monitor/Monitor.h"
#include "sim/Ecu.h"

#include <QList>
#include <QStringList>
#include <functional>

namespace monitor_test {

// The port settings of the rig: COM1 fixed (or searched from COM1), few resends and
// short reply waits, so that failures end quickly.
QByteArray SetComFile(bool search = false);

// Points at the default cells, on the line gas = 1.25 x petrol + 0.5.
ecudata::ModRec LineModel();

class MonitorRig {
public:
    explicit MonitorRig(const sim::EcuConfig& config = Quiet(), bool search = false);
    ~MonitorRig();

    // A fast ECU whose engine idles warm on petrol, without the drive cycle.
    static sim::EcuConfig Quiet();
    // The same with the identity "VV.vv DD/MM/YYYY WORD1 WORD2 CODE".
    static sim::EcuConfig WithIdentity(const QString& identity);

    // Writes the firmware image with this identity (the generator's defaults match the
    // simulated ECU's); the project "" leaves the code out.
    void WriteImage(const QString& version = "01.12", const QString& date = "14/04/2011",
                    const QString& project = "T468");

    // One tick of a timer as the window runs it, behind its re-entry guard.
    void Tick1();
    void Tick2();

    // Lets simulated time pass with the timers running.
    void Run(double usec);
    // Runs until the condition holds; False when maxUsec passed first.
    bool RunUntil(const std::function<bool()>& condition, double maxUsec = 30e6);

    // The requests the ECU received, keep-alives left out.
    QList<quint8> Commands() const;
    int Received(quint8 command) const;
    void FailNext(quint8 command, int count);

    testing_support::TempTree tree;
    testing_support::FakeTime time;
    sim::Ecu ecu;
    testing_support::MsgBoxCapture boxes;
    app::ProgramContext ctx;
    app::PageServices pages;
    monitor::Monitor monitor{ctx, pages};

    bool Timer1Busy = false;
    bool Timer2Busy = false;
    bool timer1Running = true;
    bool timer2Running = true;
    int timer2Ticks = 0; // Timer2 ticks that ran (re-entries not counted)
    QStringList events;  // hooks called, in order

private:
    void Pump();
    double nextTimer1_ = 0;
    double nextTimer2_ = 0;
};

} // namespace monitor_test
