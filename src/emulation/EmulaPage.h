#pragma once

// The Lambda page: the emulation block's combos, threshold boxes and grids on the frame
// FrmEmul, with the mirrors of the Configuration page, the working-point marker, the
// value-entry dialog and the import of a parameter file's block. Every editor follows
// the edit rule: the write copy starts from the block shown, takes the edited bytes, and
// the write countdown is armed. The block shown is the write copy while it waits to be
// written or read back, so a second edit keeps the first and the page shows what goes
// out. Handlers do nothing while the window fills its pages.
//
// EmulaPage.cpp holds the page's making, its settings and its fill; EmulaPageEdits.cpp
// the installer's edits in the threshold boxes and the grids.

#include "ecudata/Edits.h"
#include "emulation/EmulaMath.h"
#include "emulation/HoldRepeat.h"
#include "ui/TwipsGeometry.h"

#include <QObject>
#include <array>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace app {
class FrmLX735;
struct PageServices;
struct ProgramContext;
} // namespace app

namespace monitor {
struct MonitorHooks;
}

namespace emulation {

class EmulaPage : public QObject {
public:
    // Makes the page's own controls (the threshold boxes, GrdRpm, GrdBar, the marker)
    // under FrmEmul and binds every control the page uses. The window's table and the
    // Configuration page (built first) make the others.
    EmulaPage(app::ProgramContext& context, app::FrmLX735& window);

    // Replaces the window's and the scheduler's no-ops with this page's procedures.
    void Install(app::PageServices& pages, monitor::MonitorHooks& hooks);

    void InitEmulaGrids();
    void AggiornaVariabiliEmulazioneLambda();
    void AggiornaVariabiliTabellaEmulazioneLambda();
    void LayoutEmulaPage();
    void MoveEmulaMarker();
    void LoadEmulaFromParFile(const QString& path);

    void CmbAbilEmula_Click();
    void CmbSonda1_Click();
    void CmbSonda2_Click();
    void CmbFiltro_Click();
    void CmbRitardo_Click();
    void CmbSwtchLambda_Click();

    // The value-entry dialog, shown modally; tests may answer it instead.
    std::function<void(double& result, int& oper)> ShowEnterValue;

    HoldRepeat& Hold() { return hold_; }

private:
    static constexpr int FirstLevelByte = 82; // the threshold boxes' bytes follow

    void BindControls();
    void ConnectSettings(); // EmulaPage.cpp
    void ConnectEditors();  // EmulaPageEdits.cpp
    EmulaBlk ShownBlock() const;
    bool Read(ecudata::EditBlock block) const;
    // The lambda type writes zone 3 and the emulation block.
    bool TypeEditable() const;
    void EditBlock(const std::function<void(EmulaBlk&)>& edit);
    void ApplyTableEnable(const EmulaBlk& block);
    void ChooseProbeType(const QComboBox& combo, int byte, quint8 keptBits);
    void EnableSettings();
    int LambdaIndex() const;
    CellMode Mode() const;

    // Threshold boxes.
    int LevelOf(const QObject* box) const; // its index in levels_, -1 for another control
    void LevelEvent(int level, QEvent* event);
    void StoreLevel(int level);

    // Grids.
    bool GridEvent(QTableWidget& grid, QEvent* event);
    void SelectEmulaCell(QTableWidget& grid);
    void DeselectEmulaCell(QTableWidget& grid, bool leavingGrid);
    void StepAxisCell(QTableWidget& grid, bool up, bool shift);
    void StepGrdEmulBlock(bool up, bool shift);
    void StoreAxis(QTableWidget& grid);
    void StoreTable();
    void EnterOnGrdEmul();

    bool eventFilter(QObject* watched, QEvent* event) override;

    app::ProgramContext& ctx_;
    app::FrmLX735& window_;

    QWidget* frame_ = nullptr; // FrmEmul
    QComboBox* cmbSwtchLambda_ = nullptr;
    QComboBox* cmbAbilEmula_ = nullptr;
    QComboBox* cmbSonda1_ = nullptr;
    QComboBox* cmbSonda2_ = nullptr;
    QComboBox* cmbRitardo_ = nullptr;
    QComboBox* cmbFiltro_ = nullptr;
    // The Configuration page's mirrors.
    QComboBox* cmbSwtchLambdaBis_ = nullptr;
    QComboBox* cmbSonda1Bis_ = nullptr;
    QComboBox* cmbSonda2Bis_ = nullptr;
    std::array<QLineEdit*, 4> levels_{}; // in the order of the threshold bytes 82..85
    QTableWidget* grdEmul_ = nullptr;
    QTableWidget* grdRpm_ = nullptr;
    QTableWidget* grdBar_ = nullptr;
    QTableWidget* grdTitolo_ = nullptr;
    std::optional<ui::LayoutControls> layout_; // bound when the page is built
    QWidget* lblTabSoglie_ = nullptr;
    QLabel* marker_ = nullptr; // PctGrdLambda

    HoldRepeat hold_;
    double emulaLevEntryValue_ = 0;
    bool emulaRepainting_ = false;
    int lambdaIndexShown_ = -1;
};

} // namespace emulation
