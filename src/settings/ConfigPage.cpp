#include "settings/ConfigPage.h"

#include "app/FrmLX735.h"
#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "ecudata/ParamFile.h"
#include "settings/ConfigPageLayout.h"
#include "settings/FrmInjSet.h"
#include "settings/FrmLevelSetting.h"
#include "settings/FrmResetParam.h"
#include "settings/FrmSetExpert.h"
#include "support/Conversions.h"
#include "support/DataFiles.h"
#include "support/ErrorBox.h"
#include "support/MessageBox.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>

namespace settings {

namespace {

QStringList FileLines(const QString& path) {
    if (!QFile::exists(path)) {
        return {};
    }
    return support::IsScrambledFile(path) ? support::ReadScrambledFile(path)
                                          : support::ReadPlainFile(path);
}

constexpr int TableRole = Qt::UserRole;

QStringList Entries(const QComboBox& combo) {
    QStringList entries;
    for (int i = 0; i < combo.count(); ++i) {
        entries << combo.itemText(i);
    }
    return entries;
}

// Entry index, or no selection for an index the combo lacks.
void Select(QComboBox& combo, int index) {
    combo.setCurrentIndex(index >= 0 && index < combo.count() ? index : -1);
}

} // namespace

ConfigPage::ConfigPage(app::ProgramContext& context, app::FrmLX735& window,
                       app::PageServices& pages)
    : ctx_(context), window_(window), pages_(pages), controls_(BuildConfigControls(window)),
      layout_(window, "ConfigPageLayout", ConfigPageControls()) {
    // Both fuel options unset stands for a fuel type neither of them names.
    fuelOptions_ = new QButtonGroup(&connections_);
    for (int i = 0; i < 2; ++i) {
        fuelOptions_->addButton(controls_.optTypFuel[size_t(i)], i);
    }
    WireHandlers();
    EnableEditors(ShownRecord());
    pages_.RiempiCmbSwtch = [this] { RiempiCmbSwtch(); };
    pages_.ShowConfigParams = [this] { ShowConfigParams(); };
    pages_.RefreshParamPages = [this] { RefreshParamPages(); };
    pages_.LayoutConfigPage = [this] { LayoutConfigPage(); };
    pages_.UnloadFrmSetExpert = [this] {
        if (frmSetExpert_) {
            frmSetExpert_->close();
        }
    };
}

FrmLevelSetting* ConfigPage::LevelDialog() const {
    return frmLevelSetting_;
}

FrmInjSet* ConfigPage::InjectorDialog() const {
    return frmInjSet_;
}

template <class Dialog> void ConfigPage::ShowDialog(QPointer<Dialog>& dialog) {
    // A dialog's load waits with the event loop running: a second click meanwhile
    // would make a second one.
    if (openingDialog_) {
        return;
    }
    if (!dialog) {
        openingDialog_ = true;
        dialog = new Dialog(ctx_, window_);
        openingDialog_ = false;
    }
    if (!dialog) {
        return;
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void ConfigPage::CmdExpert_Click() {
    Expert().ShowModeless();
}

void ConfigPage::CmdTpyGLS_Click() {
    ShowDialog(frmLevelSetting_);
}

void ConfigPage::CmdTpyInj_Click() {
    ShowDialog(frmInjSet_);
}

void ConfigPage::CmdReserVar_Click() {
    settings::CmdReserVar_Click(ctx_, window_);
}

FrmSetExpert& ConfigPage::Expert() {
    if (!frmSetExpert_) {
        frmSetExpert_ = new FrmSetExpert(ctx_, window_);
    }
    return *frmSetExpert_;
}

ConfigPage::~ConfigPage() {
    for (app::SlotBase* service : {&pages_.RiempiCmbSwtch, &pages_.ShowConfigParams,
                                   &pages_.RefreshParamPages, &pages_.LayoutConfigPage}) {
        service->FillWithNothing();
    }
}

void ConfigPage::WireHandlers() {
    const ConfigControls& c = controls_;
    const std::pair<QComboBox*, void (ConfigPage::*)()> combos[] = {
        {&c.cmbSwtchBobine, &ConfigPage::CmbSwtchBobine_Click},
        {&c.cmbSwtchCilindri, &ConfigPage::CmbSwtchCilindri_Click},
        {&c.cmbSwtchTemp, &ConfigPage::CmbSwtchTemp_Click},
        {&c.cmbSwtchDelay, &ConfigPage::CmbSwtchDelay_Click},
        {&c.cmbSwtchRpm, &ConfigPage::CmbSwtchRpm_Click},
        {&c.cmbSwtchForce, &ConfigPage::CmbSwtchForce_Click},
        {&c.cmbSwtchDrect, &ConfigPage::CmbSwtchDrect_Click},
        {&c.cmbSwtchSeq, &ConfigPage::CmbSwtchSeq_Click},
        {&c.cmbSwtchBar, &ConfigPage::CmbSwtchBar_Click},
        {&c.cmbSwtchDelayPress, &ConfigPage::CmbSwtchDelayPress_Click},
        {&c.cmbEmptyGas, &ConfigPage::CmbEmptyGas_Click},
        {&c.cmbTpyGLS, &ConfigPage::CmbTpyGLS_Click},
        {&c.cmbTpyInj, &ConfigPage::CmbTpyInj_Click},
    };
    // Every one of them edits zone 3: nothing is taken before it is read.
    for (const auto& [combo, handler] : combos) {
        QObject::connect(combo, &QComboBox::currentIndexChanged, &connections_,
                         [this, handler](int index) {
                             if (index >= 0 && Read(ecudata::EditBlock::Mem3)) {
                                 (this->*handler)();
                             }
                         });
    }
    QObject::connect(fuelOptions_, &QButtonGroup::idToggled, &connections_,
                     [this](int id, bool checked) {
                         if (checked && Read(ecudata::EditBlock::Mem3)) {
                             OptTypFuel_Click(id);
                         }
                     });
    const std::pair<QPushButton*, void (ConfigPage::*)()> buttons[] = {
        {&c.cmdExpert, &ConfigPage::CmdExpert_Click},
        {&c.cmdTpyGLS, &ConfigPage::CmdTpyGLS_Click},
        {&c.cmdTpyInj, &ConfigPage::CmdTpyInj_Click},
        {&c.cmdReserVar, &ConfigPage::CmdReserVar_Click},
    };
    for (const auto& [button, handler] : buttons) {
        QObject::connect(button, &QPushButton::clicked, &connections_,
                         [this, handler] { (this->*handler)(); });
    }
}

// ---- Lists and selection.

void ConfigPage::RiempiCmbSwtch() {
    const QStringList lines = FileLines(ctx_.AppFolder + "/LNG/ConfigScale.ini");
    const ConfigLists lists =
        BuildConfigLists(lines, ctx_.Texts, ctx_.Tables, ctx_.Scale.SequenzaComm, ctx_.DecimalSep);
    for (int i = 0; i < lists.badSequenceItems.size(); ++i) {
        support::ShowErrorBox("RiempiCmbSwtch_Err", "Config error", false,
                              {13, QStringLiteral("Type mismatch")});
    }
    for (const auto& [name, items] : lists.combos) {
        QComboBox* combo = controls_.combos.value(name);
        if (!combo) {
            qFatal("The Configuration page has no combo %s for its list", qPrintable(name));
        }
        const QSignalBlocker quiet(combo);
        combo->clear();
        for (int i = 0; i < items.texts.size(); ++i) {
            combo->addItem(items.texts[i], items.tableIndex[i]);
        }
        combo->setCurrentIndex(-1);
    }
    delays_ = lists.delays;
}

std::optional<double> ConfigPage::Entry(const QComboBox& combo) const {
    if (combo.currentIndex() < 0) {
        return std::nullopt;
    }
    return support::LocaleNumber(combo.currentText(), ctx_.DecimalSep);
}

void ConfigPage::SelectFirstNotBelow(QComboBox& combo, double value) {
    const int index = FirstNotBelow(Entries(combo), value, ctx_.DecimalSep);
    if (index >= 0) {
        Select(combo, index);
    }
}

void ConfigPage::RiempiCmbSwtchDelay() {
    RiempiCmbSwtchDelay(ShownRecord().SwitchDelay);
}

void ConfigPage::RiempiCmbSwtchDelay(double delay) {
    window_.PageFilling = true;
    QComboBox& combo = controls_.cmbSwtchDelay;
    {
        const QSignalBlocker quiet(&combo);
        combo.clear();
        // With no temperature chosen the record's temperature picks the list.
        const double temp = Entry(controls_.cmbSwtchTemp).value_or(ShownRecord().SwitchTemp);
        combo.addItems(DelayListFor(delays_, temp, ctx_.DecimalSep));
        combo.setCurrentIndex(-1);
    }
    if (Read(ecudata::EditBlock::Mem3)) {
        Select(combo, DelaySelection(Entries(combo), delay, ctx_.DecimalSep));
    }
    window_.PageFilling = false;
}

ecudata::Mem3Rec ConfigPage::ShownRecord() const {
    return ecudata::ShownMem3(ctx_.Images);
}

// The combo's entry standing for the injector type the ECU has (by its id; the last
// row holding the id counts); no selection when none does.
void ConfigPage::SelectInjType() {
    QComboBox& combo = controls_.cmbTpyInj;
    combo.setCurrentIndex(-1);
    const auto& table = ctx_.Tables.TblInjType;
    int found = -1;
    for (int i = 0; i < combo.count(); ++i) {
        const int row = combo.itemData(i, TableRole).toInt();
        if (row >= 0 && row < int(table.size()) && table[size_t(row)].Id == ShownRecord().InjType) {
            found = i;
        }
    }
    combo.setCurrentIndex(found);
}

void ConfigPage::SelectFuelType(int fuelType) {
    if (fuelType == 0 || fuelType == 1) {
        fuelOptions_->button(fuelType)->setChecked(true);
        return;
    }
    fuelOptions_->setExclusive(false);
    for (QAbstractButton* option : fuelOptions_->buttons()) {
        option->setChecked(false);
    }
    fuelOptions_->setExclusive(true);
}

bool ConfigPage::Read(ecudata::EditBlock block) const {
    return ctx_.Images.Blocks.Read(block);
}

// The page's combos that show and edit zone 3, the Lambda page's type among them.
std::vector<QComboBox*> ConfigPage::Zone3Combos() const {
    const ConfigControls& c = controls_;
    return {&c.cmbSwtchBobine,     &c.cmbSwtchCilindri, &c.cmbSwtchTemp,     &c.cmbSwtchDelay,
            &c.cmbSwtchForce,      &c.cmbSwtchDrect,    &c.cmbSwtchSeq,      &c.cmbEmptyGas,
            &c.cmbTpyGLS,          &c.cmbTpyInj,        &c.cmbSwtchRpm,      &c.cmbSwtchBar,
            &c.cmbSwtchDelayPress, &c.cmbSwtchLambda,   &c.cmbSwtchLambdaBis};
}

// Until zone 3 is read the page's editors show nothing.
void ConfigPage::ShowNothing() {
    window_.PageFilling = true;
    for (QComboBox* combo : Zone3Combos()) {
        Select(*combo, -1);
    }
    SelectFuelType(-1);
    window_.PageFilling = false;
}

// An editor of a block not read yet is disabled; the others follow their own rules. The
// Lambda page enables its type combos.
void ConfigPage::EnableEditors(const ecudata::Mem3Rec& shown) {
    const ConfigControls& c = controls_;
    const bool mem3 = Read(ecudata::EditBlock::Mem3);
    for (QComboBox* combo : Zone3Combos()) {
        if (combo != &c.cmbSwtchLambda && combo != &c.cmbSwtchLambdaBis) {
            combo->setEnabled(mem3);
        }
    }
    for (QRadioButton* option : c.optTypFuel) {
        option->setEnabled(mem3);
    }
    // The change-over rpm is written to both zones.
    c.cmbSwtchRpm.setEnabled(mem3 && Read(ecudata::EditBlock::Mem2));
    EnableEndGasCombos(mem3 && shown.EmptyGas != 0);
}

void ConfigPage::ShowConfigParams() {
    const ecudata::Mem3Rec m3 = ShownRecord();
    EnableEditors(m3);
    if (!Read(ecudata::EditBlock::Mem3)) {
        ShowNothing();
        return;
    }
    const ConfigControls& c = controls_;
    window_.PageFilling = true;
    SelectFirstNotBelow(c.cmbSwtchTemp, m3.SwitchTemp);
    if (m3.SwitchRpm == 65535.0) {
        Select(c.cmbSwtchRpm, 0);
    } else {
        SelectFirstNotBelow(c.cmbSwtchRpm, m3.SwitchRpm);
    }
    Select(c.cmbSwtchDrect, m3.SwitchDrect == 0 || m3.SwitchDrect == 1 ? m3.SwitchDrect : -1);
    SelectFirstNotBelow(c.cmbSwtchCilindri, m3.Cilindri);
    SelectFirstNotBelow(c.cmbSwtchBobine, m3.Bobine);
    SelectInjType();
    if (const int k = ecudata::FindGasLevel(ctx_.Tables, m3.LevelType); k != -1) {
        Select(c.cmbTpyGLS, k);
    }
    const int lambda = ecudata::FindLambda(ctx_.Tables, m3.LambdaSwitch);
    if (lambda != -1) {
        Select(c.cmbSwtchLambda, lambda);
        Select(c.cmbSwtchLambdaBis, c.cmbSwtchLambda.currentIndex());
    }
    c.grdEmul.setProperty("Tag", "0");
    c.grdEmul.setProperty("Tag", lambda == 5 ? "1" : "0");
    SelectFirstNotBelow(c.cmbSwtchBar, m3.EndGasPress / 1000);
    SelectFirstNotBelow(c.cmbSwtchDelayPress, m3.DelayPress);
    SelectFirstNotBelow(c.cmbSwtchForce, m3.SwitchForce);
    Select(c.cmbEmptyGas, m3.EmptyGas != 0 ? 1 : 0);
    SelectFuelType(m3.FuelType);
    Select(c.cmbSwtchSeq, -1);
    Select(c.cmbSwtchSeq, SequenceSelection(Entries(c.cmbSwtchSeq), m3.SwitchSeq, ctx_.DecimalSep));
    window_.PageFilling = false;
}

void ConfigPage::RefreshParamPages() {
    window_.PageFilling = true;
    ShowConfigParams();
    int cilindri = ctx_.Images.Mem3Data.Cilindri; // the live rows are the ECU's
    pages_.IstanzaInj(cilindri);
    RiempiCmbSwtchDelay();
    ctx_.Images.Mem3Changed = false;
    pages_.AggiornaVariabiliEmulazioneLambda();
    pages_.AggiornaVariabiliTabellaEmulazioneLambda();
    window_.PageFilling = false;
}

void ConfigPage::EnableEndGasCombos(bool enabled) {
    controls_.cmbSwtchBar.setEnabled(enabled);
    controls_.cmbSwtchDelayPress.setEnabled(enabled);
}

void ConfigPage::LayoutConfigPage() {
    settings::LayoutConfigPage(window_, controls_, layout_);
}

// ---- Edits.

namespace {

void ArmMem3(app::ProgramContext& ctx) {
    ctx.Requests.Mem3WriteCountdown = 1.0;
}

qint32 ToLong(double value) {
    return qint32(support::RoundHalfEven(value));
}

} // namespace

void ConfigPage::CmbSwtchBobine_Click() {
    if (window_.PageFilling) {
        return;
    }
    if (const std::optional<double> v = Entry(controls_.cmbSwtchBobine)) {
        ctx_.Images.Mem3Write.Bobine = qint16(ToLong(*v));
        ArmMem3(ctx_);
    }
}

void ConfigPage::CmbSwtchCilindri_Click() {
    if (window_.PageFilling) {
        return;
    }
    controls_.cmdTpyInj.setFocus();
    const std::optional<double> v = Entry(controls_.cmbSwtchCilindri);
    if (!v) {
        return;
    }
    const int count = ToLong(*v);
    ecudata::Mem3Rec& w = ctx_.Images.Mem3Write;
    w.Cilindri = qint16(count);
    for (int k = std::max(count, 0); k < 8; ++k) {
        w.CylState[size_t(k)] = 0;
    }
    ecudata::EcuRequests& r = ctx_.Requests;
    r.InjSetState = 3;
    r.InjSetIndex = quint8(count);
    r.InjSetMode = 2;
    // Off-line no set-up step runs: the flush takes the count with the countdown.
    if (ctx_.Comm().ComState() == app::COM_STOP) {
        ArmMem3(ctx_);
    }
}

void ConfigPage::CmbSwtchTemp_Click() {
    if (window_.PageFilling) {
        return;
    }
    const std::optional<double> v = Entry(controls_.cmbSwtchTemp);
    if (!v) {
        return;
    }
    ctx_.Images.Mem3Write.SwitchTemp = *v;
    // The new list's entry is matched against the ECU's delay, never against the one an
    // earlier step chose: stepping on through the lists does not compound the steps.
    RiempiCmbSwtchDelay(ctx_.Images.Mem3Data.SwitchDelay);
    window_.PageFilling = true;
    if (const std::optional<double> delay = Entry(controls_.cmbSwtchDelay)) {
        ctx_.Images.Mem3Write.SwitchDelay = *delay;
    }
    window_.PageFilling = false;
    ArmMem3(ctx_);
}

void ConfigPage::CmbSwtchRpm_Click() {
    if (window_.PageFilling || !Read(ecudata::EditBlock::Mem2)) {
        return;
    }
    const std::optional<double> v = Entry(controls_.cmbSwtchRpm);
    if (!v) {
        return;
    }
    ctx_.Images.Mem3Write.SwitchRpm = *v;
    ArmMem3(ctx_);
    ctx_.Images.Mem2Write.SwitchRpmPeriod = SwitchRpmPeriod(*v, ctx_.Scale.RpmClock);
    ctx_.Requests.Mem2WriteCountdown = 1.0;
}

void ConfigPage::StoreNumber(const QComboBox& combo, double ecudata::Mem3Rec::*field,
                             double factor) {
    if (window_.PageFilling) {
        return;
    }
    if (const std::optional<double> v = Entry(combo)) {
        ctx_.Images.Mem3Write.*field = *v * factor;
        ArmMem3(ctx_);
    }
}

void ConfigPage::CmbSwtchDelay_Click() {
    StoreNumber(controls_.cmbSwtchDelay, &ecudata::Mem3Rec::SwitchDelay, 1);
}

void ConfigPage::CmbSwtchForce_Click() {
    StoreNumber(controls_.cmbSwtchForce, &ecudata::Mem3Rec::SwitchForce, 1);
}

// The list shows bar, the record holds mbar.
void ConfigPage::CmbSwtchBar_Click() {
    StoreNumber(controls_.cmbSwtchBar, &ecudata::Mem3Rec::EndGasPress, 1000);
}

void ConfigPage::CmbSwtchDelayPress_Click() {
    StoreNumber(controls_.cmbSwtchDelayPress, &ecudata::Mem3Rec::DelayPress, 1);
}

void ConfigPage::CmbSwtchDrect_Click() {
    if (window_.PageFilling) {
        return;
    }
    ctx_.Images.Mem3Write.SwitchDrect = controls_.cmbSwtchDrect.currentIndex() == 0 ? 0 : 1;
    ArmMem3(ctx_);
}

void ConfigPage::CmbSwtchSeq_Click() {
    if (window_.PageFilling) {
        return;
    }
    if (const std::optional<double> v = Entry(controls_.cmbSwtchSeq)) {
        ctx_.Images.Mem3Write.SwitchSeq = ToLong(*v * 1000);
        ArmMem3(ctx_);
    }
}

void ConfigPage::CmbEmptyGas_Click() {
    if (window_.PageFilling) {
        return;
    }
    ecudata::Mem3Rec& w = ctx_.Images.Mem3Write;
    w.EmptyGas = qint16(controls_.cmbEmptyGas.currentIndex());
    EnableEndGasCombos(w.EmptyGas != 0);
    ArmMem3(ctx_);
}

void ConfigPage::CmbTpyGLS_Click() {
    if (window_.PageFilling) {
        return;
    }
    const auto& table = ctx_.Tables.TblGasLevel;
    const int row = controls_.cmbTpyGLS.currentData(TableRole).toInt();
    if (row < 0 || row >= int(table.size())) {
        return;
    }
    ecudata::Mem3Rec& w = ctx_.Images.Mem3Write;
    w.LevelType = quint8(table[size_t(row)].Id);
    const int k = ecudata::FindGasLevel(ctx_.Tables, qint16(w.LevelType));
    if (k >= 0) {
        w.LevelThr = table[size_t(k)].Thresholds;
    }
    ArmMem3(ctx_);
}

void ConfigPage::CmbTpyInj_Click() {
    if (window_.PageFilling) {
        return;
    }
    QComboBox& combo = controls_.cmbTpyInj;
    const auto& table = ctx_.Tables.TblInjType;
    const int row = combo.currentData(TableRole).toInt();
    // The ECU's type goes back once the combo has done taking the item: put back at once,
    // the open list would take the refused item again as a new choice.
    const auto putBack = [this](bool focusButton) {
        QTimer::singleShot(0, &connections_, [this, focusButton] {
            window_.PageFilling = true;
            SelectInjType();
            window_.PageFilling = false;
            if (focusButton) {
                controls_.cmdTpyInj.setFocus();
            }
        });
    };
    if (row < 0 || row >= int(table.size())) { // "- - -"
        putBack(false);
        return;
    }
    const int answer = support::MsgBox(ctx_.Texts.MsgConfirm, support::vbYesNo,
                                       ctx_.Texts.AppTitle + " - " + app::ReleaseText);
    ctx_.Comm().LoadWDogSend();
    if (answer != support::vbYes) {
        putBack(true);
        return;
    }
    const ecudata::InjTypeRec& r = table[size_t(row)];
    ecudata::Mem3Rec& w = ctx_.Images.Mem3Write;
    w.InjType = quint8(r.Id);
    w.InjTime = r.Timing1;
    w.InjPwm1 = r.Timing2;
    w.InjPwm2 = r.Timing3;
    ArmMem3(ctx_);
}

void ConfigPage::OptTypFuel_Click(int index) {
    if (window_.PageFilling) {
        return;
    }
    const int answer =
        support::MsgBox(ctx_.Texts.MsgConfig[3], support::vbYesNo, ctx_.Texts.AppTitle);
    ctx_.Comm().LoadWDogSend();
    if (answer == support::vbYes) {
        ctx_.QueueParamFile(index == 0 ? ecudata::DefaultXarPath(ctx_.AppFolder)
                                       : ecudata::DefaultCngXarPath(ctx_.AppFolder));
        return;
    }
    ArmMem3(ctx_);
    ctx_.Images.Mem3Write.FuelType = quint8(index);
}

} // namespace settings
