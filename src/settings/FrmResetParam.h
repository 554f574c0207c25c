#pragma once

// The reset to a default parameter set: the small dialog that asks for the fuel (LPG,
// CNG or Esc) and the Configuration page's reset button, which waits for its answer
// with the event loop running and then queues the fuel's default set.

#include <QWidget>
#include <vector>

class QPushButton;
class QRadioButton;

namespace app {
class FrmLX735;
struct ProgramContext;
} // namespace app

namespace settings {

// The dialog's answer: -1 while it is open, 0 LPG, 1 CNG, 2 cancelled.
enum ResetChoice : int { ResetOpen = -1, ResetLpg = 0, ResetCng = 1, ResetCancelled = 2 };

class FrmResetParam : public QWidget {
public:
    FrmResetParam(app::ProgramContext& context, app::FrmLX735& window, int& choice);

    void Form_Load();
    void CmdTipoALim_Click(int index);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    app::ProgramContext& ctx_;
    int& choice_;
    // Bound once: the answers, and the Configuration page's fuel options they are named by.
    std::vector<QPushButton*> cmdTipoALim_;
    std::vector<QRadioButton*> optTypFuel_;
};

// The reset button: nothing while a file is pending; else the dialog's answer queues
// Default.Xar (LPG) or DefaultCng.Xar (CNG), anything else nothing.
void CmdReserVar_Click(app::ProgramContext& context, app::FrmLX735& window);

} // namespace settings
