#pragma once

// The main window with its live monitoring and the Lambda page on a program context of
// its own, in a temporary tree with the staged data files, linked to the simulated ECU
// on simulated time, with the Configuration page that makes and fills the Lambda page's
// combos and table grid.

#include "common/SimWindow.h"
#include "emulation/EmulaPage.h"
#include "settings/ConfigPage.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>
#include <gtest/gtest.h>
#include <memory>

namespace emulation_test {

class EmulaRig : public ::testing::Test, public testing_support::SimWindow {
protected:
    EmulaRig();
    ~EmulaRig() override;


    // Runs both timers until the ECU's zones are read and the pages refreshed from them.
    void Connect();

    QTableWidget& Grid(const QString& name) { return Get<QTableWidget>(name); }
    QString CellText(const QString& grid, int row, int col);
    // The installer's choice in a combo.
    void Choose(const QString& name, int index) { Get<QComboBox>(name).setCurrentIndex(index); }
    int SimEmula(int offset) const;
    // Requests of that command the ECU has received whole, refused ones too.
    int Writes(quint8 command) const { return Received(command); }

    std::unique_ptr<settings::ConfigPage> configPage;
    std::unique_ptr<emulation::EmulaPage> page;
};

} // namespace emulation_test
