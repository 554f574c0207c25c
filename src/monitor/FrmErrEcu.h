#pragma once

// The error-list window: every ECU error code that has a text, with the state of its two
// flags (the first and the second set), refreshed every second from the flags the main
// window's last error read left in the link object; it sends nothing itself except the
// clear request. Modeless, owned by the main window; closing only hides it, so that a
// click made while the clear request waits never finds it gone.

#include <QList>
#include <QTimer>
#include <QWidget>
#include <functional>

class QPushButton;
class QTableWidget;

namespace app {
struct ProgramContext;
}

namespace monitor {

class FrmErrEcu : public QWidget {
public:
    // hideErrorButton hides the main window's error button after a clear.
    FrmErrEcu(app::ProgramContext& context, QWidget& owner, std::function<void()> hideErrorButton);

    // Shows the window, loading it afresh when it was closed; raises it when open.
    void ShowModeless();

    void Form_Load();
    void BuildErrorGrid();
    void RefreshErrorGrid();
    void Timer1_Timer() { RefreshErrorGrid(); }
    void CmdErrInjCanc_Click();
    void Command2_Click() { Unload(); }
    void Unload();

    QTableWidget& Grid() { return *grid_; }
    QTimer& Timer1() { return timer1_; }
    // The error code of each grid row below the header.
    const QList<int>& RowCodes() const { return rowCodes_; }

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    app::ProgramContext& ctx_;
    std::function<void()> hideErrorButton_;
    QTableWidget* grid_;
    QPushButton* cmdErrInjCanc_;
    QPushButton* command2_;
    QTimer timer1_;
    QList<int> rowCodes_;
    bool clearing_ = false;
};

} // namespace monitor
