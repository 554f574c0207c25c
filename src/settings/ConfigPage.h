#pragma once

// The Configuration page (frame FrmCongif on tab 1): its combos and fuel options, their
// lists (RiempiCmbSwtch), the selection from the zone-3 record as read (ShowConfigParams,
// RefreshParamPages) and the edits, each stored in the to-write copy with its write
// countdown armed. The page also fills the Lambda page's probe and emulation combos,
// whose behaviour belongs to that page.
//
// Qt signals, for every page and dialog: handlers hang on currentIndexChanged, toggled
// and valueChanged, so that a change made by code runs them at once, nested, as a
// change by the user does; they return at once while the filling flag of their window
// (PageFilling, or the dialog's own) is raised. Lists are filled with the combo's
// signals blocked and left with no selection (a combo emits on clear() and selects its
// first item by itself); selecting then happens under the filling flag.

#include "ecudata/Edits.h"
#include "ecudata/ParamRecords.h"
#include "settings/ConfigLists.h"
#include "settings/ConfigPageDesign.h"
#include "ui/TwipsGeometry.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>
#include <vector>

class QComboBox;
class QButtonGroup;

namespace app {
class FrmLX735;
struct PageServices;
struct ProgramContext;
} // namespace app

namespace settings {

class FrmSetExpert;
class FrmLevelSetting;
class FrmInjSet;

class ConfigPage {
public:
    // Builds the page's design on the window (ConfigPageDesign), wires the handlers and
    // the page's PageServices.
    ConfigPage(app::ProgramContext& context, app::FrmLX735& window, app::PageServices& pages);
    ~ConfigPage();
    ConfigPage(const ConfigPage&) = delete;
    ConfigPage& operator=(const ConfigPage&) = delete;

    void RiempiCmbSwtch();
    // The delay list of the temperature shown, its entry matched against the delay shown.
    void RiempiCmbSwtchDelay();
    void ShowConfigParams();
    void RefreshParamPages();
    void EnableEndGasCombos(bool enabled);
    void LayoutConfigPage();

    // Edits.
    void CmbSwtchBobine_Click();
    void CmbSwtchCilindri_Click();
    void CmbSwtchTemp_Click();
    void CmbSwtchDelay_Click();
    void CmbSwtchRpm_Click();
    void CmbSwtchForce_Click();
    void CmbSwtchDrect_Click();
    void CmbSwtchSeq_Click();
    void CmbSwtchBar_Click();
    void CmbSwtchDelayPress_Click();
    void CmbEmptyGas_Click();
    void CmbTpyGLS_Click();
    void CmbTpyInj_Click();
    void OptTypFuel_Click(int index);

    // The expert dialog, made on first use; owned by the main window.
    FrmSetExpert& Expert();
    // The level-sensor and injector dialogs while open (made afresh at each opening).
    FrmLevelSetting* LevelDialog() const;
    FrmInjSet* InjectorDialog() const;

    // The four buttons open the settings dialogs and the reset.
    void CmdExpert_Click();
    void CmdTpyGLS_Click();
    void CmdTpyInj_Click();
    void CmdReserVar_Click();

private:
    // Shows the dialog, made afresh when it was closed, raised when open.
    template <class Dialog> void ShowDialog(QPointer<Dialog>& dialog);
    void WireHandlers();
    // The combo's entry as a number by the locale's rules; nothing for no selection or
    // an entry that is no number (then the edit is dropped).
    std::optional<double> Entry(const QComboBox& combo) const;
    // The record as read with the edits not yet written laid over it: a refresh while an
    // edit waits for its write shows the edit, not the value it replaces.
    ecudata::Mem3Rec ShownRecord() const;
    bool Read(ecudata::EditBlock block) const;
    std::vector<QComboBox*> Zone3Combos() const;
    void ShowNothing();
    void EnableEditors(const ecudata::Mem3Rec& shown);
    // The delay list of the temperature shown, its entry the first not below delay.
    void RiempiCmbSwtchDelay(double delay);
    void SelectInjType();
    void SelectFuelType(int fuelType);
    void SelectFirstNotBelow(QComboBox& combo, double value);
    void StoreNumber(const QComboBox& combo, double ecudata::Mem3Rec::*field, double factor);

    app::ProgramContext& ctx_;
    app::FrmLX735& window_;
    app::PageServices& pages_;
    const ConfigControls controls_; // bound once, when the page is built
    const ui::LayoutControls layout_;
    DelayLists delays_;
    QButtonGroup* fuelOptions_ = nullptr;
    QObject connections_; // ends the handlers' connections with the page
    QPointer<FrmSetExpert> frmSetExpert_;
    QPointer<FrmLevelSetting> frmLevelSetting_;
    QPointer<FrmInjSet> frmInjSet_;
    bool openingDialog_ = false;
};

} // namespace settings
