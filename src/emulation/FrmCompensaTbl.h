#pragma once

// The compensation-tables window: the four tables (gas temperature, reducer temperature,
// gas pressure, leaning on acceleration) as two-row grids stepped by the plus and minus
// keys, their enable boxes, the leaning table's step number, live markers over the
// tables' axes, linear fills of the leaning table and the lock of its axis row. It shows
// the images as they stand at its load and at every activation, never reads the ECU, and
// leaves the writing to the poll timer through the deferred-write countdown.

#include "emulation/HoldRepeat.h"

#include "ecudata/CompTables.h"

#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace app {
class FrmLX735;
struct ProgramContext;
} // namespace app

namespace emulation {

class FrmCompensaTbl : public QWidget {
    Q_OBJECT

public:
    FrmCompensaTbl(app::ProgramContext& context, app::FrmLX735& owner);

    void ShowCompTables();
    void StoreCompGrids();
    // One table as shown, changed by edit, stored as its pending edits.
    void EditTable(int table, const std::function<void(ecudata::CompTbl&)>& edit);
    void LoadCompCaptions();
    void Timer1_Timer(); // the live markers
    void CmdAutoMinMaxSmagPerc_Click();
    void CmdAutoMinMaxSmagTInj_Click();
    void CmdModScala_Click();
    // Shift alone with the right button on a frame locks or unlocks its grid's axis row.
    void ToggleCompGridFlag(int table, Qt::MouseButton button, Qt::KeyboardModifiers shift);

    // One fixed (locked) axis row, or none.
    static bool AxisLocked(const QTableWidget& grid);
    static void SetAxisLocked(QTableWidget& grid, bool locked);

    HoldRepeat& Hold() { return hold_; }

private:
    struct Table {
        QGroupBox* frame = nullptr;
        QCheckBox* check = nullptr;
        QTableWidget* grid = nullptr;
        QLabel* marker = nullptr;
    };

    void MakeControls();
    void PrepareGrid(int table);
    void Arm(int table);
    int TableOf(const QObject* grid) const;
    QString AxisText(int table, qint32 value) const;
    qint32 AxisValue(int table, const QString& text) const;
    qint32 WholeNumber(const QString& text) const;
    void SelectCompCell(int table);
    void DeselectCompCell(int table, int row, int col);
    void StepCell(int table, bool plus, bool shift);
    void SetCaption();
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

    app::ProgramContext& ctx_;
    std::array<Table, 4> tables_{};
    QComboBox* cmbSmagAcc_ = nullptr;
    QPushButton* cmdModScala_ = nullptr;
    QPushButton* cmdTInj_ = nullptr;
    QPushButton* cmdPerc_ = nullptr;
    QLabel* lblHelp_ = nullptr;
    QTimer timer1_;
    HoldRepeat hold_;
    bool loadingTables_ = false;
    quint32 shownReads_ = 0; // CompTblReads when the tables were last shown
    int selRow_ = -1;
    int selCol_ = -1;
};

// Connects the main window's CmdTableComp: the first click makes the window, a click
// while it is open brings it to the front, and after a close the next click loads it
// anew.
void ConnectCmdTableComp(app::ProgramContext& context, app::FrmLX735& window);

} // namespace emulation
