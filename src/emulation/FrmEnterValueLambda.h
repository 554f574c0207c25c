#pragma once

// The value-entry dialog of the emulation table: one number and how it acts on the
// selected cells (added, as a percentage, or written). Modal; every opening starts with
// "0" selected and the absolute operation. Its result stays in Result and Oper after it
// has closed: Oper 0 when cancelled (Esc, the close button). An absolute value beyond
// what the cells of the table's mode hold is taken, and the installer told its limit.

#include "emulation/EmulaMath.h"

#include <QDialog>
#include <vector>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace app {
struct ProgramContext;
}

namespace emulation {

class FrmEnterValueLambda : public QDialog {
public:
    FrmEnterValueLambda(app::ProgramContext& context, QWidget* owner, CellMode mode);

    void CaricaLingua();
    // The confirm step of the button (clicked, or any key released on it).
    void CmdRet_Click();

    double Result = 0;
    int Oper = OperAbsolute;

private:
    // The operation of the option chosen (1 to 3); otherwise when none is.
    int CheckedOper(int otherwise) const;
    bool ValidateValueText();
    void TellLimited() const;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    app::ProgramContext& ctx_;
    CellMode mode_;
    std::vector<QRadioButton*> opt_; // OptTipoOper(0..2)
    QLineEdit* txtValue_ = nullptr;
    QPushButton* cmdRet_ = nullptr;
    bool confirmed_ = false;
};

} // namespace emulation
