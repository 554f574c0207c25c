#pragma once

// The main window with live monitoring and the calibration pages on a program context of
// its own, in a temporary tree with the staged data files, linked to the simulated ECU
// on simulated time with both window timers running. Message boxes are answered with
// `answer` and recorded; file dialogs return `chosenFile`.

#include "app/CommonDialog.h"
#include "app/FrmLX735.h"
#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "calibration/Calibration.h"
#include "common/FakeTime.h"
#include "common/StandIns.h"
#include "common/TempTree.h"
#include "monitor/Monitor.h"
#include "sim/Ecu.h"
#include "support/MessageBox.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace calibration_test {

class ModelingRig : public ::testing::Test {
protected:
    ModelingRig();
    ~ModelingRig() override;

    // Loads the window (after the test staged its files) and starts its timers.
    void Start();
    // Calibration parameters by position (P1 = 1) in the staged ConfigScale.ini.
    void SetTaraParams(const std::map<int, int>& values);
    void Run(double usec);
    bool RunUntil(const std::function<bool()>& condition, double maxUsec = 60e6);
    // Connected, identified and through the first complete read.
    bool Connect();
    void ShowTab(int tab);

    QWidget& Widget(const QString& name);
    QString Text(const QString& name);
    // Clicks as a user does: a button's press and release, a label's or box's click.
    void Click(const QString& name);
    int Cell(int k) { return ecu.Ram().CorrectionCell(k); }
    // Commands the ECU received since `from`, keep-alives left out.
    QList<quint8> Commands(qsizetype from = 0) const;

    testing_support::TempTree tree;
    testing_support::FakeTime time;
    sim::Ecu ecu;
    int answer = support::vbYes;
    QStringList boxes; // "<title>|<prompt>"
    QString chosenFile;
    app::PageServices services;
    std::unique_ptr<app::ProgramContext> context;
    std::unique_ptr<app::FrmLX735> window;
    std::unique_ptr<monitor::Monitor> monitor;
    calibration::Calibration pages;

private:
    testing_support::StandIns standIns_;
    support::ScopedMsgBoxHandler boxHandler_;
    app::ScopedFileDialogHandler fileHandler_;
    double nextTimer1_ = 0;
    double nextTimer2_ = 0;
    bool timers_ = false;
};

} // namespace calibration_test
