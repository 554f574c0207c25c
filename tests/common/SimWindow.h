#pragma once

// The program on a context of its own, linked to the rig's simulated ECU: the context
// prepared on the rig's tree as the program's start does it, a main window on it, and the
// window's two timers played on simulated time as the window plays them (Timer1 every
// 1 ms, Timer2 every 14 ms, while each is active), once StartTimers let them run.
// SimWindow builds the window (with live monitoring when asked) for a suite that tests a
// part of the program; SimProgram (SimProgram.h) builds the program's whole composition.

#include "app/FrmLX735.h"
#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "common/SimRig.h"
#include "common/StandIns.h"
#include "monitor/Monitor.h"

#include <QString>
#include <QWidget>
#include <memory>

namespace testing_support {

// What SimWindow and SimProgram share: the context, the played window and its controls.
class SimWindowBase : public SimRig {
public:
    explicit SimWindowBase(const sim::EcuConfig& config = Quiet(), int com = 1);

    // The data files the window loads, from the build's staged tree, and SetCom.ini of
    // QuickSetCom.
    void StageProgram();
    // The context on the rig's port and a fake cable driver, prepared on the tree (after
    // the rig staged its files).
    void Prepare();
    // Enables the window's timers and lets the rig play them.
    void StartTimers();

    // The window's control of that name; a missing one fails the test and stands in.
    template <typename T> T& Get(const QString& name) {
        return Found(qobject_cast<T*>(Shown()->Control(name)), name);
    }
    template <typename T> T& Found(T* control, const QString& name) {
        return control ? *control : standIns_.Missing<T>(name);
    }
    QWidget& Widget(const QString& name) { return Get<QWidget>(name); }
    // A text box's text, a label's or button's caption.
    QString Text(const QString& name);
    // Clicks as a user does: a button's press and release, a label's or box's click.
    void Click(const QString& name);

    std::unique_ptr<app::ProgramContext> context;

protected:
    // The main window the rig plays, none before it is built. A layer that goes calls
    // StopTimers before its window goes.
    virtual app::FrmLX735* Shown() = 0;

private:
    StandIns standIns_;
    bool timers_ = false;
};

class SimWindow : public SimWindowBase {
public:
    using SimWindowBase::SimWindowBase;
    ~SimWindow() override;

    // The main window on the context, and live monitoring installed in it when asked;
    // not yet shown.
    void BuildWindow(bool withMonitor);

    app::PageServices services;
    std::unique_ptr<app::FrmLX735> window;
    std::unique_ptr<monitor::Monitor> monitor;

protected:
    app::FrmLX735* Shown() override { return window.get(); }
};

} // namespace testing_support
