#pragma once

// The service-hours window: the hours the engine has run on gas and on petrol, as last
// read from zone 2, and Erase, which asks the ECU to reset both counters. Modeless, owned
// by the main window; the labels are filled when it opens and after Erase.

#include <QWidget>

class QGroupBox;
class QLabel;
class QPushButton;

namespace app {
struct ProgramContext;
}

namespace monitor {

// An hour count as the labels write it: "." as decimal point and a leading blank when
// not negative (123.5 gives " 123.5").
QString HoursText(double hours);

class FrmService : public QWidget {
public:
    FrmService(app::ProgramContext& context, QWidget& owner);

    // Shows the window, loading it afresh when it was closed; raises it when open.
    void ShowModeless();

    void Form_Load();
    void LoadServiceTexts();
    void CmdErase_Click();

    QString GasHoursText = QStringLiteral("Hours on gas:");
    QString PetrolHoursText = QStringLiteral("Hours on petrol:");

private:
    app::ProgramContext& ctx_;
    QGroupBox* frmTempo_;
    QLabel* lblTimeGas_;
    QLabel* lblTimePetrol_;
    QLabel* lblHelp_;
    QPushButton* cmdErase_;
};

} // namespace monitor
