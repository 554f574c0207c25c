#pragma once

// The main window with its live monitoring and the Lambda page on a program context of
// its own, in a temporary tree with the staged data files, linked to the simulated ECU
// on simulated time, with the Configuration page that makes and fills the Lambda page's
// combos and table grid.

#include "app/FrmLX735.h"
#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "common/FakeTime.h"
#include "common/MsgBoxCapture.h"
#include "common/StandIns.h"
#include "common/TempTree.h"
#include "emulation/EmulaPage.h"
#include "monitor/Monitor.h"
#include "settings/ConfigPage.h"
#include "sim/Ecu.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace emulation_test {

class EmulaRig : public ::testing::Test {
protected:
    EmulaRig();
    ~EmulaRig() override;

    // Runs both timers until the ECU's zones are read and the pages refreshed from them.
    void Connect();
    void Run(double usec);
    bool RunUntil(const std::function<bool()>& condition, double maxUsec = 60e6);

    template <typename T> T& Get(const QString& name) {
        return Found(qobject_cast<T*>(window->Control(name)), name);
    }
    // The control looked up by that name; a missing one fails the test.
    template <typename T> T& Found(T* control, const QString& name) {
        return control ? *control : standIns_.Missing<T>(name);
    }
    QTableWidget& Grid(const QString& name) { return Get<QTableWidget>(name); }
    QString CellText(const QString& grid, int row, int col);
    // The installer's choice in a combo.
    void Choose(const QString& name, int index) { Get<QComboBox>(name).setCurrentIndex(index); }
    int SimEmula(int offset) const;
    // Requests of that command the ECU has received whole, refused ones too.
    int Writes(quint8 command) const;
    // The ECU refuses every request of that command (status 254) until ClearFaults.
    void Refuse(quint8 command);

    testing_support::TempTree tree;
    testing_support::FakeTime time;
    sim::Ecu ecu;
    testing_support::MsgBoxCapture boxes;
    app::PageServices services;
    std::unique_ptr<app::ProgramContext> context;
    std::unique_ptr<app::FrmLX735> window;
    std::unique_ptr<monitor::Monitor> monitor;
    std::unique_ptr<settings::ConfigPage> configPage;
    std::unique_ptr<emulation::EmulaPage> page;

private:
    testing_support::StandIns standIns_;
    double nextTimer1_ = 0;
    double nextTimer2_ = 0;
};

} // namespace emulation_test
