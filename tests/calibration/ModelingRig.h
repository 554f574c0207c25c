#pragma once

// The main window with live monitoring and the calibration pages on a program context of
// its own, in a temporary tree with the staged data files, linked to the simulated ECU
// on simulated time with both window timers running. Message boxes are answered with
// `answer` and recorded; file dialogs return `chosenFile`.

#include "calibration/Calibration.h"
#include "common/SimWindow.h"
#include "support/MessageBox.h"
#include "ui/CommonDialog.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace calibration_test {

class ModelingRig : public ::testing::Test, public testing_support::SimWindow {
protected:
    ModelingRig();
    ~ModelingRig() override;


    // Loads the window (after the test staged its files) and starts its timers.
    void Start();
    // Calibration parameters by position (P1 = 1) in the staged ConfigScale.ini.
    void SetTaraParams(const std::map<int, int>& values);
    // Connected, identified and through the first complete read.
    bool Connect();
    void ShowTab(int tab);
    int Cell(int k) { return ecu.Ram().CorrectionCell(k); }

    int answer = support::vbYes;
    QStringList boxes; // "<title>|<prompt>", answered here before the rig's own capture
    QString chosenFile;
    calibration::Calibration pages;

private:
    support::ScopedMsgBoxHandler boxHandler_;
    ui::ScopedFileDialogHandler fileHandler_;
};

} // namespace calibration_test
