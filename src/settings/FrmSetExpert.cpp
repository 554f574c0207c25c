#include "settings/FrmSetExpert.h"

#include "app/Controls.h"
#include "app/FrmLX735.h"
#include "app/ProgramContext.h"
#include "monitor/DialogTexts.h"
#include "settings/ConfigLists.h"
#include "settings/DialogControl.h"
#include "settings/ExpertFlags.h"
#include "support/Conversions.h"
#include "support/Cursor.h"
#include "support/DataFiles.h"
#include "support/ErrorBox.h"
#include "support/FileRoutines.h"
#include "support/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QGroupBox>
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

enum class Kind { Frame, Label, Check, Combo, Text };

struct ExpertControl {
    Kind kind;
    const char* name;
    const char* parent; // "" for the dialog
    const char* caption;
    int left, top, width, height;
};

constexpr int H = 315;

const ExpertControl Design[] = {
    {Kind::Frame, "FrmExp", "", "", 120, 60, 5760, 1440},
    {Kind::Check, "ChkAbilAdat", "FrmExp", "Self-adaptation", 120, 240, 2640, H},
    {Kind::Check, "ChkAbilDiag", "FrmExp", "Diagnostics", 120, 600, 2640, H},
    {Kind::Check, "ChkReturnBenz", "FrmExp", "Return to petrol", 120, 960, 2640, H},
    {Kind::Check, "ChkMinRpmAbil", "FrmExp", "Minimum rpm", 2880, 240, 2760, H},
    {Kind::Frame, "Frame5", "", "", 120, 1560, 5760, 720},
    {Kind::Check, "CHK_FiloRPM", "Frame5", "Rpm from wire", 120, 240, 2640, H},
    {Kind::Check, "CHK_RPMx1x2", "Frame5", "Rpm x1 / x2", 2880, 240, 2760, H},
    {Kind::Frame, "Frame1", "", "", 120, 2340, 5760, 720},
    {Kind::Label, "LblMinPowerSol", "Frame1", "Minimum power low", 120, 240, 1560, H},
    {Kind::Combo, "CmbRpmLow", "Frame1", "", 1740, 240, 1080, H},
    {Kind::Label, "LblMinPowerSoh", "Frame1", "Minimum power high", 2880, 240, 1560, H},
    {Kind::Combo, "CmbRpmHight", "Frame1", "", 4500, 240, 1080, H},
    {Kind::Frame, "Frame2", "", "", 120, 3120, 5760, 720},
    {Kind::Label, "LblMaxpower", "Frame2", "Maximum power", 120, 240, 1560, H},
    {Kind::Combo, "CmbMaxPowerSoh", "Frame2", "", 1740, 240, 1080, H},
    {Kind::Label, "LblMaxPowerTinj", "Frame2", "Injection time", 2880, 240, 1560, H},
    {Kind::Combo, "CmbTInjMaxPower", "Frame2", "", 4500, 240, 1080, H},
    {Kind::Frame, "Frame3", "", "", 120, 3900, 5760, 720},
    {Kind::Label, "LblTempSens", "Frame3", "Temperature sensor", 120, 240, 1560, H},
    {Kind::Combo, "CmbTypSensTemp", "Frame3", "", 1740, 240, 1080, H},
    {Kind::Frame, "FrameSeparatore", "Frame3", "", 2850, 120, 15, 480},
    {Kind::Label, "LblPressSens", "Frame3", "Pressure sensor", 2880, 240, 1560, H},
    {Kind::Combo, "CmbTypSensMap", "Frame3", "", 4500, 240, 1080, H},
    {Kind::Frame, "Frame4", "", "", 120, 4680, 5760, 720},
    {Kind::Label, "LblRpmHyst", "Frame4", "Deceleration hysteresis", 120, 240, 2640, H},
    {Kind::Combo, "CmbIsteresi", "Frame4", "", 2880, 240, 1560, H},
    {Kind::Label, "LblPw", "", "Password", 120, 5520, 1200, H},
    {Kind::Text, "TxtPw", "", "", 1380, 5520, 2400, H},
};

// Caption order after "[FrmSetExpert]", then after "[New_Functions]".
const char* const ExpertCaptions[] = {"ChkMinRpmAbil", "LblMinPowerSol", "LblMinPowerSoh",
                                      "LblMaxpower",   "LblPressSens",   "LblTempSens",
                                      "LblRpmHyst",    "ChkAbilAdat",    "ChkAbilDiag",
                                      "ChkReturnBenz", "LblMaxPowerTinj"};

QWidget* Make(Kind kind, const QString& caption, QWidget* parent) {
    switch (kind) {
    case Kind::Frame:
        return new QGroupBox(caption, parent);
    case Kind::Label:
        return new QLabel(caption, parent);
    case Kind::Check:
        return new QCheckBox(caption, parent);
    case Kind::Combo:
        return new QComboBox(parent);
    case Kind::Text:
        return new QLineEdit(caption, parent);
    }
    return nullptr;
}

} // namespace

FrmSetExpert::FrmSetExpert(app::ProgramContext& context, app::FrmLX735& window)
    : QWidget(&window, Qt::Dialog), ctx_(context), window_(window) {
    setObjectName("FrmSetExpert");
    setWindowTitle("Expert");
    resize(app::ToPixels(6000), app::ToPixels(6240));
    MakeControls();
    WireHandlers();
}

void FrmSetExpert::MakeControls() {
    for (const ExpertControl& c : Design) {
        QWidget* parent = *c.parent ? findChild<QWidget*>(c.parent) : this;
        QWidget* control = Make(c.kind, c.caption, parent);
        control->setObjectName(c.name);
        app::MoveTwips(*control, c.left, c.top, c.width, c.height);
        control->installEventFilter(this);
    }
    Child<QLineEdit>(*this, "TxtPw").setVisible(false);
    Child<QLabel>(*this, "LblPw").setVisible(false);
}

void FrmSetExpert::WireHandlers() {
    const std::pair<const char*, void (FrmSetExpert::*)()> boxes[] = {
        {"ChkAbilAdat", &FrmSetExpert::ChkAbilAdat_Click},
        {"ChkAbilDiag", &FrmSetExpert::ChkAbilDiag_Click},
        {"ChkReturnBenz", &FrmSetExpert::ChkReturnBenz_Click},
        {"CHK_FiloRPM", &FrmSetExpert::CHK_FiloRPM_Click},
        {"CHK_RPMx1x2", &FrmSetExpert::CHK_RPMx1x2_Click},
        {"ChkMinRpmAbil", &FrmSetExpert::ChkMinRpmAbil_Click},
    };
    for (const auto& [name, handler] : boxes) {
        connect(&Child<QCheckBox>(*this, name), &QCheckBox::toggled, this,
                [this, handler] { (this->*handler)(); });
    }
    const std::pair<const char*, void (FrmSetExpert::*)()> combos[] = {
        {"CmbIsteresi", &FrmSetExpert::CmbIsteresi_Click},
        {"CmbMaxPowerSoh", &FrmSetExpert::CmbMaxPowerSoh_Click},
        {"CmbTInjMaxPower", &FrmSetExpert::CmbTInjMaxPower_Click},
        {"CmbRpmLow", &FrmSetExpert::CmbRpmLow_Click},
        {"CmbRpmHight", &FrmSetExpert::CmbRpmHight_Click},
        {"CmbTypSensTemp", &FrmSetExpert::CmbTypSensTemp_Click},
        {"CmbTypSensMap", &FrmSetExpert::CmbTypSensMap_Click},
    };
    for (const auto& [name, handler] : combos) {
        connect(&Child<QComboBox>(*this, name), &QComboBox::currentIndexChanged, this,
                [this, handler](int index) {
                    if (index >= 0) {
                        (this->*handler)();
                    }
                });
    }
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
    const QStringList texts = monitor::DialogTexts(ctx_.ObjLingue, "[FrmSetExpert]", 11);
    for (int i = 0; i < texts.size(); ++i) {
        app::SetCaption(findChild<QWidget*>(ExpertCaptions[i]), texts[i]);
    }
    const QStringList more = monitor::DialogTexts(ctx_.ObjLingue, "[New_Functions]", 3);
    if (more.size() == 3) {
        app::SetCaption(findChild<QWidget*>("CHK_FiloRPM"), more[0]);
        app::SetCaption(findChild<QWidget*>("CHK_RPMx1x2"), more[1]);
        MsgExpertOnGas = more[2];
    }
}

void FrmSetExpert::Form_Load() {
    monitor::LoadDialogIcon(*this, ctx_.AppFolder);
    LoadExpertCaptions();
    Child<QLineEdit>(*this, "TxtPw")
        .setText(ctx_.DeveloperView ? ctx_.Scale.PassWord01 : ctx_.Scale.PassWord00);
    ApplyPassword();
}

void FrmSetExpert::ApplyPassword() {
    const bool expert = Child<QLineEdit>(*this, "TxtPw").text() == ctx_.Scale.PassWord01;
    for (const char* name : {"LblPressSens", "CmbTypSensMap", "ChkAbilAdat", "FrameSeparatore"}) {
        Child<QWidget>(*this, name).setVisible(expert);
    }
}

void FrmSetExpert::RiempiComboExpert() {
    const QString path = ctx_.AppFolder + "/LNG/ConfigScale.ini";
    if (!QFile::exists(path)) {
        support::ShowErrorBox("RiempiComboExpert_Err", "Config error", false,
                              {53, QStringLiteral("File not found")});
        return;
    }
    (void)(support::IsScrambledFile(path) ? support::ReadScrambledFile(path)
                                          : support::ReadPlainFile(path));
}

bool FrmSetExpert::Form_KeyUp(QObject* watched, const QKeyEvent& key) {
    const Qt::KeyboardModifiers all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    if (key.key() == Qt::Key_X && (key.modifiers() & all) == all) {
        QLineEdit& pw = Child<QLineEdit>(*this, "TxtPw");
        pw.setVisible(pw.isHidden());
        Child<QLabel>(*this, "LblPw").setVisible(!pw.isHidden());
        return true;
    }
    if (watched->objectName() == "TxtPw") {
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
    if (filling_) {
        return;
    }
    filling_ = true;
    support::CursorOverride hourglass(Qt::WaitCursor);
    const ecudata::ConfigScale& s = ctx_.Scale;
    const auto fill = [](QComboBox& combo, const QStringList& items) {
        const QSignalBlocker quiet(&combo);
        combo.clear();
        combo.addItems(items);
        combo.setCurrentIndex(-1);
    };
    QComboBox& maxPower = Child<QComboBox>(*this, "CmbMaxPowerSoh");
    QComboBox& threshold = Child<QComboBox>(*this, "CmbTInjMaxPower");
    fill(Child<QComboBox>(*this, "CmbIsteresi"), s.IsteresiDecel);
    fill(Child<QComboBox>(*this, "CmbTypSensTemp"), s.SensTemp);
    fill(Child<QComboBox>(*this, "CmbTypSensMap"), s.SensPress);
    fill(Child<QComboBox>(*this, "CmbRpmLow"), s.MinPowerL);
    fill(Child<QComboBox>(*this, "CmbRpmHight"), s.MinPowerH);
    fill(maxPower, QStringList{ctx_.Texts.GridHeader15} + s.MaxPower);
    QStringList thresholds;
    for (const QString& item : s.SogliaTinjMaxPower) {
        thresholds << support::GeneralNumberText(
            support::LocaleNumber(item, ctx_.DecimalSep).value_or(0) / 1000, ctx_.DecimalSep);
    }
    fill(threshold, thresholds);

    const ecudata::Mem3Rec& m3 = ctx_.Images.Mem3Data;
    const quint8 flags = ctx_.Images.Mem2Data.Flags;
    if (m3.MaxPowerSoh != 0) {
        threshold.setEnabled(true);
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
    threshold.setCurrentIndex(
        ThresholdSelection(s.SogliaTinjMaxPower, qint16(m3.ExpertFlags & 0xFF), ctx_.DecimalSep));
    Child<QCheckBox>(*this, "ChkReturnBenz").setChecked(flags & FlagReturnBenz);
    Child<QCheckBox>(*this, "ChkMinRpmAbil").setChecked(m3.ExpertFlags & 1);
    SelectEqual(Child<QComboBox>(*this, "CmbRpmLow"), m3.RpmLow);
    SelectEqual(Child<QComboBox>(*this, "CmbRpmHight"), m3.RpmHigh);
    SelectEqual(Child<QComboBox>(*this, "CmbIsteresi"), m3.Isteresi);
    for (const auto& [name, type] :
         {std::pair{"CmbTypSensTemp", m3.TypSensTemp}, {"CmbTypSensMap", m3.TypSensMap}}) {
        QComboBox& combo = Child<QComboBox>(*this, name);
        combo.setCurrentIndex(type < combo.count() ? type : -1);
    }
    Child<QCheckBox>(*this, "ChkAbilAdat").setChecked(flags & FlagAdaptivity);
    Child<QCheckBox>(*this, "ChkAbilDiag").setChecked(flags & FlagDiagnosis);
    Child<QCheckBox>(*this, "CHK_FiloRPM").setChecked(!(flags & FlagRpmFromWire));
    Child<QCheckBox>(*this, "CHK_RPMx1x2").setChecked(flags & FlagRpmClockHalf);
    Child<QCheckBox>(*this, "CHK_RPMx1x2").setEnabled(flags & FlagRpmFromWire);
    Child<QCheckBox>(*this, "CHK_FiloRPM").setFocus();
    filling_ = false;
}

// ---- Zone 2.

void FrmSetExpert::ToggleZone2(quint8 mask, bool wanted) {
    ecudata::Mem2Rec& w = ctx_.Images.Mem2Write;
    w.Flags = WantFlag(w.Flags, mask, wanted, ctx_.Images.Mem2Data.Flags);
    ctx_.Requests.Mem2WriteCountdown = 1.0;
}

quint8 FrmSetExpert::PendingZone2Flags() const {
    return quint8(ctx_.Images.Mem2Data.Flags ^ ctx_.Images.Mem2Write.Flags);
}

void FrmSetExpert::ChkAbilAdat_Click() {
    if (!filling_) {
        QCheckBox& box = Child<QCheckBox>(*this, "ChkAbilAdat");
        ToggleZone2(FlagAdaptivity, box.isChecked());
    }
}

void FrmSetExpert::ChkAbilDiag_Click() {
    if (!filling_) {
        QCheckBox& box = Child<QCheckBox>(*this, "ChkAbilDiag");
        ToggleZone2(FlagDiagnosis, box.isChecked());
    }
}

void FrmSetExpert::CHK_FiloRPM_Click() {
    if (filling_) {
        return;
    }
    QCheckBox& box = Child<QCheckBox>(*this, "CHK_FiloRPM");
    // The rpm source cannot change while the engine runs on gas.
    if (ctx_.Images.Mem2Data.FuelState != 0) {
        support::MsgBox(MsgExpertOnGas, support::vbOKOnly, windowTitle());
        filling_ = true;
        box.setChecked(!box.isChecked());
        filling_ = false;
        return;
    }
    ToggleZone2(FlagRpmFromWire, !box.isChecked());
    Child<QCheckBox>(*this, "CHK_RPMx1x2").setEnabled(!box.isChecked());
}

void FrmSetExpert::CHK_RPMx1x2_Click() {
    if (filling_) {
        return;
    }
    QCheckBox& box = Child<QCheckBox>(*this, "CHK_RPMx1x2");
    ToggleZone2(FlagRpmClockHalf, box.isChecked());
    double rpm = 0; // no rpm chosen on the page counts as none
    if (auto* combo = qobject_cast<QComboBox*>(window_.Control("CmbSwtchRpm"));
        combo && combo->currentIndex() >= 0) {
        rpm = support::LocaleNumber(combo->currentText(), ctx_.DecimalSep).value_or(0);
    }
    ctx_.Scale.RpmClock = ecudata::GetRpmClock(box.isChecked() ? FlagRpmClockHalf : 0);
    ctx_.Images.Mem2Write.SwitchRpmPeriod = SwitchRpmPeriod(rpm, ctx_.Scale.RpmClock);
}

void FrmSetExpert::ChkReturnBenz_Click() {
    if (filling_) {
        return;
    }
    QCheckBox& box = Child<QCheckBox>(*this, "ChkReturnBenz");
    ToggleZone2(FlagReturnBenz, box.isChecked());
    const qint16 base = ExpertFlagsBase(ctx_.Images.Mem3Write, ctx_.Images.Mem3Data);
    // Return to petrol needs the minimum-rpm function.
    if (box.isChecked() && !(base & 1)) {
        StoreExpertFlags(qint16((base & 0xFF) | 1));
        filling_ = true;
        Child<QCheckBox>(*this, "ChkMinRpmAbil").setChecked(true);
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
    QCheckBox& box = Child<QCheckBox>(*this, "ChkMinRpmAbil");
    const qint16 base = ExpertFlagsBase(ctx_.Images.Mem3Write, ctx_.Images.Mem3Data);
    StoreExpertFlags(qint16((base & 0xFE) | (box.isChecked() ? 1 : 0)));
    // Switching the minimum-rpm function off switches return to petrol off, also when
    // return to petrol is only chosen and not yet written.
    if (!box.isChecked() && (PendingZone2Flags() & FlagReturnBenz)) {
        QCheckBox& benz = Child<QCheckBox>(*this, "ChkReturnBenz");
        ToggleZone2(FlagReturnBenz, false);
        filling_ = true;
        benz.setChecked(false);
        filling_ = false;
    }
}

void FrmSetExpert::CmbIsteresi_Click() {
    if (filling_) {
        return;
    }
    if (const std::optional<double> v = Number(Child<QComboBox>(*this, "CmbIsteresi"))) {
        ctx_.Images.Mem3Write.Isteresi = qint32(support::RoundHalfEven(*v));
        ctx_.Requests.Mem3WriteCountdown = 1.0;
    }
}

void FrmSetExpert::CmbMaxPowerSoh_Click() {
    if (filling_) {
        return;
    }
    QComboBox& combo = Child<QComboBox>(*this, "CmbMaxPowerSoh");
    const bool off = combo.currentIndex() == 0;
    const std::optional<double> v = off ? std::optional<double>(0) : Number(combo);
    if (!v) {
        return;
    }
    ctx_.Images.Mem3Write.MaxPowerSoh = qint32(support::RoundHalfEven(*v));
    Child<QComboBox>(*this, "CmbTInjMaxPower").setEnabled(!off);
    ctx_.Requests.Mem3WriteCountdown = 1.0;
}

void FrmSetExpert::CmbTInjMaxPower_Click() {
    if (filling_) {
        return;
    }
    const std::optional<double> v = Number(Child<QComboBox>(*this, "CmbTInjMaxPower"));
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
    QComboBox& low = Child<QComboBox>(*this, "CmbRpmLow");
    QComboBox& high = Child<QComboBox>(*this, "CmbRpmHight");
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
    QComboBox& low = Child<QComboBox>(*this, "CmbRpmLow");
    QComboBox& high = Child<QComboBox>(*this, "CmbRpmHight");
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
        ctx_.Images.Mem3Write.TypSensTemp =
            quint8(Child<QComboBox>(*this, "CmbTypSensTemp").currentIndex());
        ctx_.Requests.Mem3WriteCountdown = 1.0;
    }
}

void FrmSetExpert::CmbTypSensMap_Click() {
    if (filling_) {
        return;
    }
    const int index = Child<QComboBox>(*this, "CmbTypSensMap").currentIndex();
    if (index >= 0 && index <= 2) {
        ctx_.Images.Mem3Write.TypSensMap = quint8(index);
    }
    ctx_.Requests.Mem3WriteCountdown = 1.0;
}

} // namespace settings
