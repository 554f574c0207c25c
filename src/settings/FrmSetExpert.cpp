#include "settings/FrmSetExpert.h"

#include "app/FrmLX735.h"
#include "app/ProgramContext.h"
#include "settings/ConfigLists.h"
#include "settings/DialogDesigns.h"
#include "settings/ExpertFlags.h"
#include "settings/ZoneReads.h"
#include "support/Conversions.h"
#include "support/Cursor.h"
#include "support/FileRoutines.h"
#include "support/Lingue.h"
#include "support/MessageBox.h"
#include "ui/ControlBuilder.h"
#include "ui/DialogIcon.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace settings {

namespace {

constexpr quint8 FlagAdaptivity = 0x01;
constexpr quint8 FlagDiagnosis = 0x04;
constexpr quint8 FlagReturnBenz = 0x08;
constexpr quint8 FlagRpmFromWire = 0x40; // the box shows it inverted
constexpr quint8 FlagRpmClockHalf = 0x80;

// Caption order after "[FrmSetExpert]", then after "[New_Functions]".
const char* const ExpertCaptions[] = {"ChkMinRpmAbil", "LblMinPowerSol", "LblMinPowerSoh",
                                      "LblMaxpower",   "LblPressSens",   "LblTempSens",
                                      "LblRpmHyst",    "ChkAbilAdat",    "ChkAbilDiag",
                                      "ChkReturnBenz", "LblMaxPowerTinj"};

} // namespace

FrmSetExpert::FrmSetExpert(app::ProgramContext& context, app::FrmLX735& window)
    : QWidget(&window, Qt::Dialog), ctx_(context) {
    setObjectName("FrmSetExpert");
    setWindowTitle("Expert");
    resize(ui::ToPixels(6000), ui::ToPixels(6240));
    ui::ControlBuilder builder(*this);
    for (QWidget* control : builder.Build(ExpertDesign())) {
        control->installEventFilter(this);
    }
    BindControls();
    cmbSwtchRpm_ = &ui::Bind<QComboBox>(window, "CmbSwtchRpm");
    txtPw_->setVisible(false);
    lblPw_->setVisible(false);
    WireHandlers();
    // A read that lands while the dialog is open refills it.
    timer1_.setInterval(500);
    connect(&timer1_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    timer1_.start();
}

void FrmSetExpert::Timer1_Timer() {
    if (isVisible() && ZoneReads(ctx_.Images) != shownReads_ && !ListOpen()) {
        Fill();
    }
}

void FrmSetExpert::BindControls() {
    const std::pair<QCheckBox**, const char*> boxes[] = {
        {&chkAbilAdat_, "ChkAbilAdat"},     {&chkAbilDiag_, "ChkAbilDiag"},
        {&chkReturnBenz_, "ChkReturnBenz"}, {&chkMinRpmAbil_, "ChkMinRpmAbil"},
        {&chkFiloRpm_, "CHK_FiloRPM"},      {&chkRpmX1X2_, "CHK_RPMx1x2"},
    };
    for (const auto& [box, name] : boxes) {
        *box = &ui::Bind<QCheckBox>(*this, name);
    }
    const std::pair<QComboBox**, const char*> combos[] = {
        {&cmbRpmLow_, "CmbRpmLow"},           {&cmbRpmHight_, "CmbRpmHight"},
        {&cmbMaxPowerSoh_, "CmbMaxPowerSoh"}, {&cmbTInjMaxPower_, "CmbTInjMaxPower"},
        {&cmbTypSensTemp_, "CmbTypSensTemp"}, {&cmbTypSensMap_, "CmbTypSensMap"},
        {&cmbIsteresi_, "CmbIsteresi"},
    };
    for (const auto& [combo, name] : combos) {
        *combo = &ui::Bind<QComboBox>(*this, name);
    }
    // The zone-2 boxes; return to petrol and the minimum rpm set each other across the zones,
    // as the rpm doubling takes the change-over rpm of zone 3.
    editors_ = {{chkAbilAdat_, true, false},  {chkAbilDiag_, true, false},
                {chkFiloRpm_, true, false},   {chkReturnBenz_, true, true},
                {chkMinRpmAbil_, true, true}, {chkRpmX1X2_, true, true}};
    for (QComboBox* combo : {cmbRpmLow_, cmbRpmHight_, cmbMaxPowerSoh_, cmbTInjMaxPower_,
                             cmbTypSensTemp_, cmbTypSensMap_, cmbIsteresi_}) {
        editors_.push_back({combo, false, true});
    }
    txtPw_ = &ui::Bind<QLineEdit>(*this, "TxtPw");
    lblPw_ = &ui::Bind<QLabel>(*this, "LblPw");
    for (const char* name : {"LblPressSens", "CmbTypSensMap", "ChkAbilAdat", "FrameSeparatore"}) {
        expertOnly_.push_back(&ui::Bind<QWidget>(*this, name));
    }
    for (const char* name : ExpertCaptions) {
        captioned_.push_back(&ui::Bind<QWidget>(*this, name));
    }
}

void FrmSetExpert::WireHandlers() {
    const std::pair<QCheckBox*, void (FrmSetExpert::*)()> boxes[] = {
        {chkAbilAdat_, &FrmSetExpert::ChkAbilAdat_Click},
        {chkAbilDiag_, &FrmSetExpert::ChkAbilDiag_Click},
        {chkReturnBenz_, &FrmSetExpert::ChkReturnBenz_Click},
        {chkFiloRpm_, &FrmSetExpert::CHK_FiloRPM_Click},
        {chkRpmX1X2_, &FrmSetExpert::CHK_RPMx1x2_Click},
        {chkMinRpmAbil_, &FrmSetExpert::ChkMinRpmAbil_Click},
    };
    for (const auto& [box, handler] : boxes) {
        connect(box, &QCheckBox::toggled, this, [this, box, handler] {
            if (Editable(box)) {
                (this->*handler)();
            }
        });
    }
    const std::pair<QComboBox*, void (FrmSetExpert::*)()> combos[] = {
        {cmbIsteresi_, &FrmSetExpert::CmbIsteresi_Click},
        {cmbMaxPowerSoh_, &FrmSetExpert::CmbMaxPowerSoh_Click},
        {cmbTInjMaxPower_, &FrmSetExpert::CmbTInjMaxPower_Click},
        {cmbRpmLow_, &FrmSetExpert::CmbRpmLow_Click},
        {cmbRpmHight_, &FrmSetExpert::CmbRpmHight_Click},
        {cmbTypSensTemp_, &FrmSetExpert::CmbTypSensTemp_Click},
        {cmbTypSensMap_, &FrmSetExpert::CmbTypSensMap_Click},
    };
    for (const auto& [combo, handler] : combos) {
        connect(combo, &QComboBox::currentIndexChanged, this, [this, combo, handler](int index) {
            if (index >= 0 && Editable(combo)) {
                (this->*handler)();
            }
        });
    }
}

bool FrmSetExpert::Editable(const QWidget* control) const {
    const ecudata::BlockStates& blocks = ctx_.Images.Blocks;
    for (const Editor& e : editors_) {
        if (e.control == control) {
            return (!e.mem2 || blocks.Read(ecudata::EditBlock::Mem2)) &&
                   (!e.mem3 || blocks.Read(ecudata::EditBlock::Mem3));
        }
    }
    return true;
}

bool FrmSetExpert::ListOpen() const {
    for (const Editor& e : editors_) {
        if (const auto* combo = qobject_cast<const QComboBox*>(e.control);
            combo && combo->view()->isVisible()) {
            return true;
        }
    }
    return false;
}

void FrmSetExpert::ShowModeless() {
    if (isHidden()) {
        Form_Load();
    }
    show();
    raise();
    activateWindow();
    Form_Activate();
}

void FrmSetExpert::LoadExpertCaptions() {
    const QStringList texts = support::SectionTexts(ctx_.ObjLingue, "[FrmSetExpert]", 11);
    for (int i = 0; i < texts.size(); ++i) {
        ui::SetCaption(captioned_[size_t(i)], texts[i]);
    }
    const QStringList more = support::SectionTexts(ctx_.ObjLingue, "[New_Functions]", 3);
    if (more.size() == 3) {
        ui::SetCaption(chkFiloRpm_, more[0]);
        ui::SetCaption(chkRpmX1X2_, more[1]);
        MsgExpertOnGas = more[2];
    }
}

void FrmSetExpert::Form_Load() {
    ui::LoadDialogIcon(*this, ctx_.AppFolder);
    LoadExpertCaptions();
    txtPw_->setText(ctx_.DeveloperView ? ctx_.Scale.PassWord01 : ctx_.Scale.PassWord00);
    ApplyPassword();
}

void FrmSetExpert::ApplyPassword() {
    const bool expert = txtPw_->text() == ctx_.Scale.PassWord01;
    for (QWidget* control : expertOnly_) {
        control->setVisible(expert);
    }
}

bool FrmSetExpert::Form_KeyUp(QObject* watched, const QKeyEvent& key) {
    const Qt::KeyboardModifiers all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    if (key.key() == Qt::Key_X && (key.modifiers() & all) == all) {
        txtPw_->setVisible(txtPw_->isHidden());
        lblPw_->setVisible(!txtPw_->isHidden());
        return true;
    }
    if (watched == txtPw_) {
        if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
            ApplyPassword();
        }
        support::CenterForm(*this);
    }
    return false;
}

bool FrmSetExpert::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease &&
        Form_KeyUp(watched, *static_cast<QKeyEvent*>(event))) {
        return true;
    }
    // Esc does nothing here.
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FrmSetExpert::keyReleaseEvent(QKeyEvent* event) {
    if (!Form_KeyUp(this, *event)) {
        QWidget::keyReleaseEvent(event);
    }
}

void FrmSetExpert::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        Form_Activate();
    }
}

// ---- Filling.

std::optional<double> FrmSetExpert::Number(QComboBox& combo) const {
    if (combo.currentIndex() < 0) {
        return std::nullopt;
    }
    return support::LocaleNumber(combo.currentText(), ctx_.DecimalSep);
}

void FrmSetExpert::SelectEqual(QComboBox& combo, double value) {
    combo.setCurrentIndex(-1);
    for (int i = 0; i < combo.count(); ++i) {
        if (support::LocaleNumber(combo.itemText(i), ctx_.DecimalSep) == value) {
            combo.setCurrentIndex(i);
            return;
        }
    }
}

void FrmSetExpert::Form_Activate() {
    if (Fill()) {
        chkFiloRpm_->setFocus();
    }
}

// The records as shown; a control of a zone not read yet shows no value and is disabled.
bool FrmSetExpert::Fill() {
    if (filling_) {
        return false;
    }
    filling_ = true;
    shownReads_ = ZoneReads(ctx_.Images);
    support::CursorOverride hourglass(Qt::WaitCursor);
    const ecudata::ConfigScale& s = ctx_.Scale;
    const auto fill = [](QComboBox& combo, const QStringList& items) {
        const QSignalBlocker quiet(&combo);
        combo.clear();
        combo.addItems(items);
        combo.setCurrentIndex(-1);
    };
    QComboBox& maxPower = *cmbMaxPowerSoh_;
    QComboBox& threshold = *cmbTInjMaxPower_;
    fill(*cmbIsteresi_, s.IsteresiDecel);
    fill(*cmbTypSensTemp_, s.SensTemp);
    fill(*cmbTypSensMap_, s.SensPress);
    fill(*cmbRpmLow_, s.MinPowerL);
    fill(*cmbRpmHight_, s.MinPowerH);
    fill(maxPower, QStringList{ctx_.Texts.GridHeader15} + s.MaxPower);
    QStringList thresholds;
    for (const QString& item : s.SogliaTinjMaxPower) {
        thresholds << support::GeneralNumberText(
            support::LocaleNumber(item, ctx_.DecimalSep).value_or(0) / 1000, ctx_.DecimalSep);
    }
    fill(threshold, thresholds);

    const ecudata::BlockStates& blocks = ctx_.Images.Blocks;
    for (const Editor& e : editors_) {
        e.control->setEnabled(Editable(e.control));
    }
    if (blocks.Read(ecudata::EditBlock::Mem3)) {
        ShowZone3(ecudata::ShownMem3(ctx_.Images));
    } else {
        chkMinRpmAbil_->setChecked(false); // the lists stay without a selection
    }
    const quint8 flags = ecudata::ShownMem2(ctx_.Images).Flags;
    const bool mem2 = blocks.Read(ecudata::EditBlock::Mem2);
    const std::pair<QCheckBox*, bool> boxes[] = {
        {chkReturnBenz_, flags & FlagReturnBenz}, {chkAbilAdat_, flags & FlagAdaptivity},
        {chkAbilDiag_, flags & FlagDiagnosis},    {chkFiloRpm_, !(flags & FlagRpmFromWire)},
        {chkRpmX1X2_, flags & FlagRpmClockHalf},
    };
    for (const auto& [box, checked] : boxes) {
        box->setChecked(mem2 && checked);
    }
    chkRpmX1X2_->setEnabled(Editable(chkRpmX1X2_) && (flags & FlagRpmFromWire));
    filling_ = false;
    return true;
}

void FrmSetExpert::ShowZone3(const ecudata::Mem3Rec& m3) {
    QComboBox& maxPower = *cmbMaxPowerSoh_;
    QComboBox& threshold = *cmbTInjMaxPower_;
    if (m3.MaxPowerSoh != 0) {
        maxPower.setCurrentIndex(-1);
        for (int i = 1; i < maxPower.count(); ++i) {
            if (support::LocaleNumber(maxPower.itemText(i), ctx_.DecimalSep) == m3.MaxPowerSoh) {
                maxPower.setCurrentIndex(i);
                break;
            }
        }
    } else {
        maxPower.setCurrentIndex(0);
        threshold.setEnabled(false);
    }
    threshold.setCurrentIndex(-1);
    threshold.setCurrentIndex(ThresholdSelection(ctx_.Scale.SogliaTinjMaxPower,
                                                 qint16(m3.ExpertFlags & 0xFF), ctx_.DecimalSep));
    chkMinRpmAbil_->setChecked(m3.ExpertFlags & 1);
    SelectEqual(*cmbRpmLow_, m3.RpmLow);
    SelectEqual(*cmbRpmHight_, m3.RpmHigh);
    SelectEqual(*cmbIsteresi_, m3.Isteresi);
    for (const auto& [combo, type] :
         {std::pair{cmbTypSensTemp_, m3.TypSensTemp}, {cmbTypSensMap_, m3.TypSensMap}}) {
        combo->setCurrentIndex(type < combo->count() ? type : -1);
    }
}

// ---- Zone 2.

void FrmSetExpert::ToggleZone2(quint8 mask, bool wanted) {
    ctx_.Images.Mem2Write.WantFlags(mask, wanted);
    ctx_.Requests.Mem2WriteCountdown = 1.0;
}

quint8 FrmSetExpert::ShownZone2Flags() const {
    return ecudata::ShownMem2(ctx_.Images).Flags;
}

void FrmSetExpert::ChkAbilAdat_Click() {
    if (!filling_) {
        ToggleZone2(FlagAdaptivity, chkAbilAdat_->isChecked());
    }
}

void FrmSetExpert::ChkAbilDiag_Click() {
    if (!filling_) {
        ToggleZone2(FlagDiagnosis, chkAbilDiag_->isChecked());
    }
}

void FrmSetExpert::CHK_FiloRPM_Click() {
    if (filling_) {
        return;
    }
    QCheckBox& box = *chkFiloRpm_;
    // The rpm source cannot change while the engine runs on gas.
    if (ctx_.Images.Mem2Data.FuelState != 0) {
        support::MsgBox(MsgExpertOnGas, support::vbOKOnly, windowTitle());
        filling_ = true;
        box.setChecked(!box.isChecked());
        filling_ = false;
        return;
    }
    ToggleZone2(FlagRpmFromWire, !box.isChecked());
    chkRpmX1X2_->setEnabled(!box.isChecked());
}

void FrmSetExpert::CHK_RPMx1x2_Click() {
    if (filling_) {
        return;
    }
    QCheckBox& box = *chkRpmX1X2_;
    ToggleZone2(FlagRpmClockHalf, box.isChecked());
    double rpm = 0; // no rpm chosen on the page counts as none
    if (cmbSwtchRpm_->currentIndex() >= 0) {
        rpm = support::LocaleNumber(cmbSwtchRpm_->currentText(), ctx_.DecimalSep).value_or(0);
    }
    ctx_.Scale.RpmClock = ecudata::GetRpmClock(box.isChecked() ? FlagRpmClockHalf : 0);
    ctx_.Images.Mem2Write.SwitchRpmPeriod = SwitchRpmPeriod(rpm, ctx_.Scale.RpmClock);
}

void FrmSetExpert::ChkReturnBenz_Click() {
    if (filling_) {
        return;
    }
    QCheckBox& box = *chkReturnBenz_;
    ToggleZone2(FlagReturnBenz, box.isChecked());
    const qint16 base = ExpertFlagsBase(ctx_.Images.Mem3Write, ctx_.Images.Mem3Data);
    // Return to petrol needs the minimum-rpm function.
    if (box.isChecked() && !(base & 1)) {
        StoreExpertFlags(qint16((base & 0xFF) | 1));
        filling_ = true;
        chkMinRpmAbil_->setChecked(true);
        filling_ = false;
    }
}

// ---- Zone 3.

void FrmSetExpert::StoreExpertFlags(qint16 flags) {
    ctx_.Images.Mem3Write.ExpertFlags = qint16(flags & 0xFF);
    ctx_.Requests.Mem3WriteCountdown = 1.0;
}

void FrmSetExpert::ChkMinRpmAbil_Click() {
    if (filling_) {
        return;
    }
    QCheckBox& box = *chkMinRpmAbil_;
    const qint16 base = ExpertFlagsBase(ctx_.Images.Mem3Write, ctx_.Images.Mem3Data);
    StoreExpertFlags(qint16((base & 0xFE) | (box.isChecked() ? 1 : 0)));
    // Switching the minimum-rpm function off switches return to petrol off, also when
    // return to petrol is only chosen and not yet written.
    if (!box.isChecked() && (ShownZone2Flags() & FlagReturnBenz)) {
        ToggleZone2(FlagReturnBenz, false);
        filling_ = true;
        chkReturnBenz_->setChecked(false);
        filling_ = false;
    }
}

void FrmSetExpert::CmbIsteresi_Click() {
    if (filling_) {
        return;
    }
    if (const std::optional<double> v = Number(*cmbIsteresi_)) {
        ctx_.Images.Mem3Write.Isteresi = qint32(support::RoundHalfEven(*v));
        ctx_.Requests.Mem3WriteCountdown = 1.0;
    }
}

void FrmSetExpert::CmbMaxPowerSoh_Click() {
    if (filling_) {
        return;
    }
    QComboBox& combo = *cmbMaxPowerSoh_;
    const bool off = combo.currentIndex() == 0;
    const std::optional<double> v = off ? std::optional<double>(0) : Number(combo);
    if (!v) {
        return;
    }
    ctx_.Images.Mem3Write.MaxPowerSoh = qint32(support::RoundHalfEven(*v));
    cmbTInjMaxPower_->setEnabled(!off);
    ctx_.Requests.Mem3WriteCountdown = 1.0;
}

void FrmSetExpert::CmbTInjMaxPower_Click() {
    if (filling_) {
        return;
    }
    const std::optional<double> v = Number(*cmbTInjMaxPower_);
    if (!v) {
        return;
    }
    const qint16 base = ExpertFlagsBase(ctx_.Images.Mem3Write, ctx_.Images.Mem3Data);
    StoreExpertFlags(qint16(ThresholdBits(*v) | (base & 1)));
}

void FrmSetExpert::CmbRpmLow_Click() {
    if (filling_) {
        return;
    }
    QComboBox& low = *cmbRpmLow_;
    QComboBox& high = *cmbRpmHight_;
    if (const std::optional<double> v = Number(low)) {
        ctx_.Images.Mem3Write.RpmLow = qint32(support::RoundHalfEven(*v));
    }
    // The high rpm never stands below the low one (by list position).
    if (high.currentIndex() < low.currentIndex() && low.currentIndex() < high.count()) {
        high.setCurrentIndex(low.currentIndex()); // its own handler writes it
    }
    ctx_.Requests.Mem3WriteCountdown = 1.0;
}

void FrmSetExpert::CmbRpmHight_Click() {
    if (filling_) {
        return;
    }
    QComboBox& low = *cmbRpmLow_;
    QComboBox& high = *cmbRpmHight_;
    if (const std::optional<double> v = Number(high)) {
        ctx_.Images.Mem3Write.RpmHigh = qint32(support::RoundHalfEven(*v));
    }
    if (high.currentIndex() < low.currentIndex()) {
        low.setCurrentIndex(high.currentIndex());
    }
    ctx_.Requests.Mem3WriteCountdown = 1.0;
}

void FrmSetExpert::CmbTypSensTemp_Click() {
    if (!filling_) {
        ctx_.Images.Mem3Write.TypSensTemp = quint8(cmbTypSensTemp_->currentIndex());
        ctx_.Requests.Mem3WriteCountdown = 1.0;
    }
}

void FrmSetExpert::CmbTypSensMap_Click() {
    if (filling_) {
        return;
    }
    const int index = cmbTypSensMap_->currentIndex();
    if (index >= 0 && index <= 2) {
        ctx_.Images.Mem3Write.TypSensMap = quint8(index);
    }
    ctx_.Requests.Mem3WriteCountdown = 1.0;
}

} // namespace settings
