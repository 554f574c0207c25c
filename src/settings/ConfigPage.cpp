#include "settings/ConfigPage.h"

#include "app/Controls.h"
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
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace settings {

namespace {

enum class Kind { Shape, Label, Combo, Grid, Button, Option };

// A control of the page at its design place (twips). Controls the window's table made
// already are moved here (into this parent, to this place); the others are made.
struct PageControl {
    Kind kind;
    const char* name;
    const char* parent;
    const char* caption;
    int left, top, width, height;
};

constexpr int RowH = 315;

const PageControl Design[] = {
    // Left column: change-over, injectors, cylinders.
    {Kind::Shape, "ShpFrmSwitch", "FrmCongif", "", 45, 135, 4965, 2310},
    {Kind::Label, "LblFrmSwitch", "FrmCongif", "Switching to gas", 135, 165, 2400, 285},
    {Kind::Label, "LblSwtchRpm", "FrmCongif", "R.P.M.", 105, 495, 1500, RowH},
    {Kind::Combo, "CmbSwtchRpm", "FrmCongif", "", 1700, 495, 1000, RowH},
    {Kind::Combo, "CmbSwtchDrect", "FrmCongif", "", 2800, 495, 1655, RowH},
    {Kind::Label, "LblSwtchTemp", "FrmCongif", "Temperature (\u00b0c)", 105, 855, 3130, RowH},
    {Kind::Combo, "CmbSwtchTemp", "FrmCongif", "", 3295, 855, 1655, RowH},
    {Kind::Label, "LblSwtchDelay", "FrmCongif", "Temper.delay (s)", 105, 1215, 3130, RowH},
    {Kind::Combo, "CmbSwtchDelay", "FrmCongif", "", 3295, 1215, 1655, RowH},
    {Kind::Label, "LblSwtchForce", "FrmCongif", "Force Swicth (s)", 105, 1575, 3130, RowH},
    {Kind::Combo, "CmbSwtchForce", "FrmCongif", "", 3295, 1575, 1655, RowH},
    {Kind::Label, "LblSwtchSeq", "FrmCongif", "Ritardo sequ (s)", 105, 1935, 3130, RowH},
    {Kind::Combo, "CmbSwtchSeq", "FrmCongif", "", 3295, 1935, 1655, RowH},
    {Kind::Shape, "ShpFrmTyp", "FrmCongif", "", 45, 2565, 4965, 1050},
    {Kind::Label, "LblFrmTyp", "FrmCongif", "Injectors", 135, 2595, 2400, 285},
    {Kind::Label, "LblTypInj", "FrmCongif", "Name", 105, 2925, 1500, RowH},
    {Kind::Combo, "CmbTpyInj", "FrmCongif", "", 1700, 2925, 3200, RowH},
    {Kind::Button, "CmdTpyInj", "FrmCongif", "", 105, 3255, 4815, RowH},
    {Kind::Shape, "ShpFrmRPM", "FrmCongif", "", 45, 3735, 4965, 690},
    {Kind::Label, "LblFrmRPM", "FrmCongif", "R.P.M.", 135, 3765, 2400, 285},
    {Kind::Label, "LblSwtchCilindri", "FrmCongif", "Num. Cylinder", 105, 4035, 1866, RowH},
    {Kind::Combo, "CmbSwtchCilindri", "FrmCongif", "", 2031, 4035, 933, RowH},
    {Kind::Label, "LblSwtchBobine", "FrmCongif", "Coil", 3024, 4035, 933, RowH},
    {Kind::Combo, "CmbSwtchBobine", "FrmCongif", "", 4017, 4035, 933, RowH},
    // Right column: level sensor, options.
    {Kind::Shape, "ShpFrmSensor", "FrmCongif", "", 5130, 135, 4965, 1050},
    {Kind::Label, "LblFrmSensor", "FrmCongif", "Sensor level", 5220, 165, 2400, 285},
    {Kind::Label, "LblTypGLS", "FrmCongif", "Gas level sensor", 5220, 495, 2355, RowH},
    {Kind::Combo, "CmbTpyGLS", "FrmCongif", "", 7635, 495, 2400, RowH},
    {Kind::Button, "CmdTpyGLS", "FrmCongif", "", 5220, 855, 4785, RowH},
    {Kind::Shape, "ShpFrmOption(0)", "FrmCongif", "", 5130, 1305, 4965, 3120},
    {Kind::Label, "LblFrmOption", "FrmCongif", "Option", 5220, 1335, 2400, 285},
    {Kind::Label, "LblTypFuel", "FrmCongif", "Fuel", 5220, 1665, 2007, RowH},
    {Kind::Option, "OptTypFuel(0)", "FrmCongif", "", 7287, 1665, 1298, RowH},
    {Kind::Option, "OptTypFuel(1)", "FrmCongif", "", 8645, 1665, 1358, RowH},
    {Kind::Label, "LblEmptyGas", "FrmCongif", "Empty Gas", 5220, 2025, 2355, RowH},
    {Kind::Combo, "CmbEmptyGas", "FrmCongif", "", 7635, 2025, 2400, RowH},
    {Kind::Label, "LblSwtchPres", "FrmCongif", "Pressure (Bar)", 5220, 2385, 1900, RowH},
    {Kind::Combo, "CmbSwtchBar", "FrmCongif", "", 7180, 2385, 900, RowH},
    {Kind::Label, "LblSwtchPressDelay", "FrmCongif", "Delay (s)", 8075, 2385, 1000, RowH},
    {Kind::Combo, "CmbSwtchDelayPress", "FrmCongif", "", 9135, 2385, 900, RowH},
    {Kind::Shape, "ShpFrmOption(1)", "FrmCongif", "", 5130, 2715, 4965, 1170},
    {Kind::Label, "LblSwtchLambdaBis", "FrmCongif", "**Lambda sensor", 5220, 2805, 2355, RowH},
    {Kind::Combo, "CmbSwtchLambdaBis", "FrmCongif", "", 7635, 2805, 2400, RowH},
    {Kind::Label, "LblSonda1Bis", "FrmCongif", "**Sonda lambda 1", 5220, 3165, 2355, RowH},
    {Kind::Combo, "CmbSonda1Bis", "FrmCongif", "", 7635, 3165, 2400, RowH},
    {Kind::Label, "LblSonda2Bis", "FrmCongif", "**Sonda lambda 2", 5220, 3525, 2355, RowH},
    {Kind::Combo, "CmbSonda2Bis", "FrmCongif", "", 7635, 3525, 2400, RowH},
    {Kind::Button, "CmdReserVar", "FrmCongif", "", 5220, 3975, 1800, 375},
    {Kind::Button, "CmdExpert(0)", "FrmCongif", "", 7080, 3975, 1800, 375},
    // The Lambda page's combos that the fill fills (their behaviour is that page's).
    {Kind::Label, "LblSwtchLambda", "FrmEmul", "Lambda sensor", 5160, 600, 2400, RowH},
    {Kind::Combo, "CmbSwtchLambda", "FrmEmul", "", 7680, 600, 2400, RowH},
    {Kind::Combo, "CmbAbilEmula", "FrmEmul", "", 7680, 960, 2400, RowH},
    {Kind::Combo, "CmbSonda1", "FrmEmul", "", 7680, 1320, 2400, RowH},
    {Kind::Combo, "CmbSonda2", "FrmEmul", "", 7680, 1680, 2400, RowH},
    {Kind::Combo, "CmbRitardo", "FrmEmul", "", 7680, 2040, 2400, RowH},
    {Kind::Combo, "CmbFiltro", "FrmEmul", "", 7680, 2400, 2400, RowH},
    {Kind::Grid, "GrdEmul", "FrmEmul", "", 120, 2880, 9960, 2400},
};

QWidget* Make(Kind kind, const QString& caption, QWidget* parent) {
    switch (kind) {
    case Kind::Shape: {
        auto* shape = new QFrame(parent);
        shape->setFrameShape(QFrame::Box);
        return shape;
    }
    case Kind::Label:
        return new QLabel(caption, parent);
    case Kind::Combo:
        return new QComboBox(parent);
    case Kind::Button:
        return new QPushButton(caption, parent);
    case Kind::Option:
        return new QRadioButton(caption, parent);
    case Kind::Grid: {
        auto* grid = new QTableWidget(1, 1, parent);
        grid->horizontalHeader()->hide();
        grid->verticalHeader()->hide();
        return grid;
    }
    }
    return nullptr;
}

QStringList FileLines(const QString& path) {
    if (!QFile::exists(path)) {
        return {};
    }
    return support::IsScrambledFile(path) ? support::ReadScrambledFile(path)
                                          : support::ReadPlainFile(path);
}

constexpr int TableRole = Qt::UserRole;

} // namespace

ConfigPage::ConfigPage(app::ProgramContext& context, app::FrmLX735& window,
                       app::PageServices& pages)
    : ctx_(context), window_(window), pages_(pages) {
    MakeControls();
    WireHandlers();
    pages_.RiempiCmbSwtch = [this] { RiempiCmbSwtch(); };
    pages_.ShowConfigParams = [this] { ShowConfigParams(); };
    pages_.RefreshParamPages = [this] { RefreshParamPages(); };
    pages_.LayoutConfigPage = [this] { LayoutConfigPage(); };
    pages_.UnloadFrmSetExpert = [this] {
        if (frmSetExpert_) {
            frmSetExpert_->close();
        }
    };
    CmdExpert_Click = [this] { Expert().ShowModeless(); };
    CmdReserVar_Click = [this] { settings::CmdReserVar_Click(ctx_, window_); };
    CmdTpyGLS_Click = [this] { ShowDialog(frmLevelSetting_); };
    CmdTpyInj_Click = [this] { ShowDialog(frmInjSet_); };
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

FrmSetExpert& ConfigPage::Expert() {
    if (!frmSetExpert_) {
        frmSetExpert_ = new FrmSetExpert(ctx_, window_);
    }
    return *frmSetExpert_;
}

ConfigPage::~ConfigPage() {
    for (app::PageServices::Action* service :
         {&pages_.RiempiCmbSwtch, &pages_.ShowConfigParams, &pages_.RefreshParamPages,
          &pages_.LayoutConfigPage}) {
        *service = app::PageServices::Nothing;
    }
}

void ConfigPage::MakeControls() {
    for (const PageControl& c : Design) {
        auto* parent = qobject_cast<QWidget*>(window_.Control(c.parent));
        Q_ASSERT(parent);
        auto* control = qobject_cast<QWidget*>(window_.Control(c.name));
        if (!control) {
            control = Make(c.kind, c.caption, parent);
            control->setObjectName(c.name);
        } else if (control->parentWidget() != parent) {
            control->setParent(parent);
            control->show();
        }
        app::MoveTwips(*control, c.left, c.top, c.width, c.height);
        if (c.kind == Kind::Shape) {
            control->lower();
        }
    }
    // Both fuel options unset stands for a fuel type neither of them names.
    fuelOptions_ = new QButtonGroup(&connections_);
    for (int i = 0; i < 2; ++i) {
        fuelOptions_->addButton(
            qobject_cast<QRadioButton*>(window_.Control(app::ArrayName("OptTypFuel", i))), i);
    }
}

QComboBox& ConfigPage::Combo(const QString& name) {
    auto* combo = qobject_cast<QComboBox*>(window_.Control(name));
    if (!combo) {
        qFatal("The Configuration page has no combo %s", qPrintable(name));
    }
    return *combo;
}

void ConfigPage::WireHandlers() {
    const std::pair<const char*, void (ConfigPage::*)()> combos[] = {
        {"CmbSwtchBobine", &ConfigPage::CmbSwtchBobine_Click},
        {"CmbSwtchCilindri", &ConfigPage::CmbSwtchCilindri_Click},
        {"CmbSwtchTemp", &ConfigPage::CmbSwtchTemp_Click},
        {"CmbSwtchDelay", &ConfigPage::CmbSwtchDelay_Click},
        {"CmbSwtchRpm", &ConfigPage::CmbSwtchRpm_Click},
        {"CmbSwtchForce", &ConfigPage::CmbSwtchForce_Click},
        {"CmbSwtchDrect", &ConfigPage::CmbSwtchDrect_Click},
        {"CmbSwtchSeq", &ConfigPage::CmbSwtchSeq_Click},
        {"CmbSwtchBar", &ConfigPage::CmbSwtchBar_Click},
        {"CmbSwtchDelayPress", &ConfigPage::CmbSwtchDelayPress_Click},
        {"CmbEmptyGas", &ConfigPage::CmbEmptyGas_Click},
        {"CmbTpyGLS", &ConfigPage::CmbTpyGLS_Click},
        {"CmbTpyInj", &ConfigPage::CmbTpyInj_Click},
    };
    for (const auto& [name, handler] : combos) {
        QObject::connect(&Combo(name), &QComboBox::currentIndexChanged, &connections_,
                         [this, handler](int index) {
                             if (index >= 0) {
                                 (this->*handler)();
                             }
                         });
    }
    QObject::connect(fuelOptions_, &QButtonGroup::idToggled, &connections_,
                     [this](int id, bool checked) {
                         if (checked) {
                             OptTypFuel_Click(id);
                         }
                     });
    const std::pair<const char*, std::function<void()> ConfigPage::*> buttons[] = {
        {"CmdExpert(0)", &ConfigPage::CmdExpert_Click},
        {"CmdTpyGLS", &ConfigPage::CmdTpyGLS_Click},
        {"CmdTpyInj", &ConfigPage::CmdTpyInj_Click},
        {"CmdReserVar", &ConfigPage::CmdReserVar_Click},
    };
    for (const auto& [name, handler] : buttons) {
        auto* button = qobject_cast<QPushButton*>(window_.Control(name));
        Q_ASSERT(button);
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
        auto* combo = qobject_cast<QComboBox*>(window_.Control(name));
        if (!combo) {
            continue;
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

QStringList ConfigPage::Entries(const QString& name) {
    QComboBox& combo = Combo(name);
    QStringList entries;
    for (int i = 0; i < combo.count(); ++i) {
        entries << combo.itemText(i);
    }
    return entries;
}

std::optional<double> ConfigPage::Entry(const QString& name) {
    QComboBox& combo = Combo(name);
    if (combo.currentIndex() < 0) {
        return std::nullopt;
    }
    return support::LocaleNumber(combo.currentText(), ctx_.DecimalSep);
}

void ConfigPage::Select(const QString& name, int index) {
    QComboBox& combo = Combo(name);
    combo.setCurrentIndex(index >= 0 && index < combo.count() ? index : -1);
}

void ConfigPage::SelectFirstNotBelow(const QString& name, double value) {
    const int index = FirstNotBelow(Entries(name), value, ctx_.DecimalSep);
    if (index >= 0) {
        Select(name, index);
    }
}

void ConfigPage::RiempiCmbSwtchDelay() {
    window_.PageFilling = true;
    QComboBox& combo = Combo("CmbSwtchDelay");
    {
        const QSignalBlocker quiet(&combo);
        combo.clear();
        // With no temperature chosen the record's temperature picks the list.
        const double temp = Entry("CmbSwtchTemp").value_or(ShownRecord().SwitchTemp);
        combo.addItems(DelayListFor(delays_, temp, ctx_.DecimalSep));
        combo.setCurrentIndex(-1);
    }
    Select("CmbSwtchDelay",
           DelaySelection(Entries("CmbSwtchDelay"), ShownRecord().SwitchDelay, ctx_.DecimalSep));
    window_.PageFilling = false;
}

ecudata::Mem3Rec ConfigPage::ShownRecord() const {
    ecudata::Mem3Rec shown = ctx_.Images.Mem3Data;
    ecudata::Mem3Rec edits = ctx_.Images.Mem3Write;
    ecudata::ConfigScale scale = ctx_.Scale;
    ecudata::EcuRequests requests = ctx_.Requests;
    ecudata::BuildMem3(shown, edits, scale, requests);
    return shown;
}

// The combo's entry standing for the injector type the ECU has (by its id; the last
// row holding the id counts); no selection when none does.
void ConfigPage::SelectInjType() {
    QComboBox& combo = Combo("CmbTpyInj");
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

void ConfigPage::ShowConfigParams() {
    const ecudata::Mem3Rec m3 = ShownRecord();
    window_.PageFilling = true;
    SelectFirstNotBelow("CmbSwtchTemp", m3.SwitchTemp);
    if (m3.SwitchRpm == 65535.0) {
        Select("CmbSwtchRpm", 0);
    } else {
        SelectFirstNotBelow("CmbSwtchRpm", m3.SwitchRpm);
    }
    Select("CmbSwtchDrect", m3.SwitchDrect == 0 || m3.SwitchDrect == 1 ? m3.SwitchDrect : -1);
    SelectFirstNotBelow("CmbSwtchCilindri", m3.Cilindri);
    SelectFirstNotBelow("CmbSwtchBobine", m3.Bobine);
    SelectInjType();
    if (const int k = ecudata::FindGasLevel(ctx_.Tables, m3.LevelType); k != -1) {
        Select("CmbTpyGLS", k);
    }
    const int lambda = ecudata::FindLambda(ctx_.Tables, m3.LambdaSwitch);
    if (lambda != -1) {
        Select("CmbSwtchLambda", lambda);
        Select("CmbSwtchLambdaBis", Combo("CmbSwtchLambda").currentIndex());
    }
    if (QObject* grid = window_.Control("GrdEmul")) {
        grid->setProperty("Tag", "0");
        grid->setProperty("Tag", lambda == 5 ? "1" : "0");
    }
    SelectFirstNotBelow("CmbSwtchBar", m3.EndGasPress / 1000);
    SelectFirstNotBelow("CmbSwtchDelayPress", m3.DelayPress);
    SelectFirstNotBelow("CmbSwtchForce", m3.SwitchForce);
    Select("CmbEmptyGas", m3.EmptyGas != 0 ? 1 : 0);
    EnableEndGasCombos(m3.EmptyGas != 0);
    SelectFuelType(m3.FuelType);
    Select("CmbSwtchSeq", -1);
    Select("CmbSwtchSeq", SequenceSelection(Entries("CmbSwtchSeq"), m3.SwitchSeq, ctx_.DecimalSep));
    window_.PageFilling = false;
}

void ConfigPage::RefreshParamPages() {
    window_.PageFilling = true;
    ShowConfigParams();
    int cilindri = ctx_.Images.Mem3Data.Cilindri;
    pages_.IstanzaInj(cilindri);
    RiempiCmbSwtchDelay();
    ctx_.Images.Mem3Changed = false;
    pages_.AggiornaVariabiliEmulazioneLambda();
    pages_.AggiornaVariabiliTabellaEmulazioneLambda();
    window_.PageFilling = false;
}

void ConfigPage::EnableEndGasCombos(bool enabled) {
    Combo("CmbSwtchBar").setEnabled(enabled);
    Combo("CmbSwtchDelayPress").setEnabled(enabled);
}

void ConfigPage::EnableMainPages(bool enabled) {
    app::TabStrip& tabs = window_.SstMain();
    if (tabs.isEnabled() != enabled) {
        tabs.setEnabled(enabled);
        if (auto* frame = qobject_cast<QWidget*>(window_.Control("FrmParametri"))) {
            frame->setEnabled(enabled);
        }
    }
}

void ConfigPage::LayoutConfigPage() {
    settings::LayoutConfigPage(window_);
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
    if (const std::optional<double> v = Entry("CmbSwtchBobine")) {
        ctx_.Images.Mem3Write.Bobine = qint16(ToLong(*v));
        ArmMem3(ctx_);
    }
}

void ConfigPage::CmbSwtchCilindri_Click() {
    if (window_.PageFilling) {
        return;
    }
    if (auto* button = qobject_cast<QWidget*>(window_.Control("CmdTpyInj"))) {
        button->setFocus();
    }
    const std::optional<double> v = Entry("CmbSwtchCilindri");
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
    const std::optional<double> v = Entry("CmbSwtchTemp");
    if (!v) {
        return;
    }
    ctx_.Images.Mem3Write.SwitchTemp = *v;
    RiempiCmbSwtchDelay();
    window_.PageFilling = true;
    if (const std::optional<double> delay = Entry("CmbSwtchDelay")) {
        ctx_.Images.Mem3Write.SwitchDelay = *delay;
    }
    window_.PageFilling = false;
    ArmMem3(ctx_);
}

void ConfigPage::CmbSwtchRpm_Click() {
    if (window_.PageFilling) {
        return;
    }
    const std::optional<double> v = Entry("CmbSwtchRpm");
    if (!v) {
        return;
    }
    ctx_.Images.Mem3Write.SwitchRpm = *v;
    ArmMem3(ctx_);
    ctx_.Images.Mem2Write.SwitchRpmPeriod = SwitchRpmPeriod(*v, ctx_.Scale.RpmClock);
    ctx_.Requests.Mem2WriteCountdown = 1.0;
}

void ConfigPage::StoreNumber(const QString& combo, double ecudata::Mem3Rec::*field, double factor) {
    if (window_.PageFilling) {
        return;
    }
    if (const std::optional<double> v = Entry(combo)) {
        ctx_.Images.Mem3Write.*field = *v * factor;
        ArmMem3(ctx_);
    }
}

void ConfigPage::CmbSwtchDelay_Click() {
    StoreNumber("CmbSwtchDelay", &ecudata::Mem3Rec::SwitchDelay, 1);
}

void ConfigPage::CmbSwtchForce_Click() {
    StoreNumber("CmbSwtchForce", &ecudata::Mem3Rec::SwitchForce, 1);
}

// The list shows bar, the record holds mbar.
void ConfigPage::CmbSwtchBar_Click() {
    StoreNumber("CmbSwtchBar", &ecudata::Mem3Rec::EndGasPress, 1000);
}

void ConfigPage::CmbSwtchDelayPress_Click() {
    StoreNumber("CmbSwtchDelayPress", &ecudata::Mem3Rec::DelayPress, 1);
}

void ConfigPage::CmbSwtchDrect_Click() {
    if (window_.PageFilling) {
        return;
    }
    ctx_.Images.Mem3Write.SwitchDrect = Combo("CmbSwtchDrect").currentIndex() == 0 ? 0 : 1;
    ArmMem3(ctx_);
}

void ConfigPage::CmbSwtchSeq_Click() {
    if (window_.PageFilling) {
        return;
    }
    if (const std::optional<double> v = Entry("CmbSwtchSeq")) {
        ctx_.Images.Mem3Write.SwitchSeq = ToLong(*v * 1000);
        ArmMem3(ctx_);
    }
}

void ConfigPage::CmbEmptyGas_Click() {
    if (window_.PageFilling) {
        return;
    }
    ecudata::Mem3Rec& w = ctx_.Images.Mem3Write;
    w.EmptyGas = qint16(Combo("CmbEmptyGas").currentIndex());
    EnableEndGasCombos(w.EmptyGas != 0);
    ArmMem3(ctx_);
}

void ConfigPage::CmbTpyGLS_Click() {
    if (window_.PageFilling) {
        return;
    }
    const auto& table = ctx_.Tables.TblGasLevel;
    const int row = Combo("CmbTpyGLS").currentData(TableRole).toInt();
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
    QComboBox& combo = Combo("CmbTpyInj");
    const auto& table = ctx_.Tables.TblInjType;
    const int row = combo.currentData(TableRole).toInt();
    // The ECU's type goes back once the combo has done taking the item: put back at once,
    // the open list would take the refused item again as a new choice.
    const auto putBack = [this](bool focusButton) {
        QTimer::singleShot(0, &connections_, [this, focusButton] {
            window_.PageFilling = true;
            SelectInjType();
            window_.PageFilling = false;
            if (auto* button = qobject_cast<QWidget*>(window_.Control("CmdTpyInj"));
                button && focusButton) {
                button->setFocus();
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
    const int answer = support::MsgBox(ctx_.Texts.MsgConfig[3], support::vbYesNo, QString());
    ctx_.Comm().LoadWDogSend();
    if (answer == support::vbYes) {
        ctx_.ParamFilePending = index == 0 ? ecudata::DefaultXarPath(ctx_.AppFolder)
                                           : ecudata::DefaultCngXarPath(ctx_.AppFolder);
        return;
    }
    ArmMem3(ctx_);
    ctx_.Images.Mem3Write.FuelType = quint8(index);
}

} // namespace settings
