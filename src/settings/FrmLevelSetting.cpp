#include "settings/FrmLevelSetting.h"

#include "app/ProgramContext.h"
#include "settings/DialogDesigns.h"
#include "settings/DialogRows.h"
#include "settings/ZoneReads.h"
#include "support/Clock.h"
#include "support/Colors.h"
#include "support/Conversions.h"
#include "support/Cursor.h"
#include "support/Lingue.h"
#include "ui/ControlBuilder.h"
#include "ui/ControlLook.h"
#include "ui/DialogIcon.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace settings {

namespace {

constexpr quint32 LampColor = 0xFF00; // green
constexpr int LevelBarMax = 1023;

} // namespace

FrmLevelSetting::FrmLevelSetting(app::ProgramContext& context, QWidget& owner)
    : QWidget(&owner, Qt::Dialog), ctx_(context) {
    setObjectName("FrmLevelSetting");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Level");
    resize(ui::ToPixels(5760), ui::ToPixels(3960));
    ui::ControlBuilder builder(*this);
    builder.Build(LevelDesign());
    frmLevel_ = &ui::Bind<QWidget>(*this, "FrmLevel");
    lblGasLevel_ = &ui::Bind<QLabel>(*this, "LblGasLevel");
    cmdDefaultLevel_ = &ui::Bind<QPushButton>(*this, "CmdDefaultLevel");
    lblSensVal_ = &ui::Bind<QLabel>(*this, "LblSensVal");
    lblSensValNoFiltro_ = &ui::Bind<QLabel>(*this, "LblSensValNoFiltro");
    connect(cmdDefaultLevel_, &QPushButton::clicked, this, [this] { CmdDefaultLevel_Click(); });
    timer1_.setInterval(500);
    connect(&timer1_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    Form_Load();
    timer1_.start();
}

ecudata::Mem3Rec FrmLevelSetting::Shown() const {
    return ecudata::ShownMem3(ctx_.Images);
}

bool FrmLevelSetting::Read() const {
    return ctx_.Images.Blocks.Read(ecudata::EditBlock::Mem3);
}

const ecudata::GasLevelRec* FrmLevelSetting::Sensor() const {
    const int k = ecudata::FindGasLevel(ctx_.Tables, Shown().LevelType);
    return k >= 0 ? &ctx_.Tables.TblGasLevel[size_t(k)] : nullptr;
}

bool FrmLevelSetting::Reversed() const {
    const ecudata::GasLevelRec* r = Sensor();
    return r && r->Mode != 0;
}

QString FrmLevelSetting::ValueText(int count) const {
    const ecudata::GasLevelRec* r = Sensor();
    return r ? LevelValueText(r->Scale, r->Thresholds[5], count, ctx_.DecimalSep) : QString();
}

void FrmLevelSetting::Form_Load() {
    const int k = ecudata::FindGasLevel(ctx_.Tables, Shown().LevelType);
    if (k > 0) {
        shownSensorType_ = ctx_.Tables.TblGasLevel[size_t(k)].Id;
    }
    ui::LoadDialogIcon(*this, ctx_.AppFolder);
    {
        support::CursorOverride hourglass(Qt::WaitCursor);
        LoadLevelCaptions();
        support::WaitUsec(100000);
        BuildLevelControls();
        ShowLevelThresholds();
    }
    ui::SetBackColor(*frmLevel_, support::ColorButtonFace);
}

void FrmLevelSetting::LoadLevelCaptions() {
    const QStringList texts = support::SectionTexts(ctx_.ObjLingue, "[FrmLevel]", 3);
    if (texts.size() != 3) {
        return;
    }
    const int k = ecudata::FindGasLevel(ctx_.Tables, Shown().LevelType);
    if (k > 0) {
        setWindowTitle(texts[0] + " - " + ctx_.Tables.TblGasLevel[size_t(k)].Name);
    }
    lblGasLevel_->setText(texts[1]);
    cmdDefaultLevel_->setText(texts[2]);
}

void FrmLevelSetting::BuildLevelControls() {
    ui::ControlBuilder builder(*this);
    builder.Build(LevelRowsDesign());
    const std::vector<QLabel*> lblLevel = ui::BindArray<QLabel>(*this, "LblLevel", 0, LevelRows);
    shpLevAct_ = ui::BindArray<QWidget>(*this, "ShpLevAct", 0, LevelRows);
    txtLevel_ = ui::BindArray<QLineEdit>(*this, "TxtLevel", 0, LevelRows);
    lblMisura_ = ui::BindArray<QLabel>(*this, "LblMisura", 0, LevelRows);
    hscrLevel_ = ui::BindArray<QScrollBar>(*this, "HScrLevel", 0, LevelRows);
    const ecudata::GasLevelRec* sensor = Sensor();
    for (int i = 0; i < LevelRows; ++i) {
        const size_t row = size_t(i);
        QWidget& lamp = *shpLevAct_[row];
        ui::SetBackColor(lamp, LampColor);
        ui::SetBackStyle(lamp, 0);
        lamp.raise();
        txtLevel_[row]->setReadOnly(true);
        QScrollBar& bar = *hscrLevel_[row];
        bar.setRange(0, LevelBarMax);
        bar.setSingleStep(16);
        bar.setPageStep(100);
        bar.setFocusPolicy(Qt::StrongFocus);
        bar.setInvertedControls(false); // Right and Page Up raise a horizontal bar
        connect(&bar, &QScrollBar::valueChanged, this, [this, i] { HScrLevel_Change(i); });
        for (QWidget* control : std::initializer_list<QWidget*>{
                 lblLevel[row], &lamp, txtLevel_[row], lblMisura_[row], &bar}) {
            control->installEventFilter(this);
        }
        if (sensor) {
            lblMisura_[row]->setText(sensor->Description);
        }
    }
}

// The thresholds as shown; before zone 3 is read nothing, and nothing to edit.
void FrmLevelSetting::ShowLevelThresholds() {
    thresholdsReady_ = false;
    shownReads_ = ZoneReads(ctx_.Images);
    const bool read = Read();
    cmdDefaultLevel_->setEnabled(read);
    for (QScrollBar* bar : hscrLevel_) {
        bar->setEnabled(read);
    }
    if (!read) {
        for (QLineEdit* box : txtLevel_) {
            box->clear();
        }
        return;
    }
    if (!Sensor()) {
        return;
    }
    const bool reversed = Reversed();
    const ecudata::Mem3Rec m3 = Shown();
    for (int row = 0; row < LevelRows; ++row) {
        // A count beyond the bar is clamped there; the text keeps the true value.
        const int count = m3.LevelThr[size_t(LevelElement(row, reversed))];
        HScrLevel(row).setValue(count);
        TxtLevel(row).setText(ValueText(count));
    }
    thresholdsReady_ = true;
}

bool FrmLevelSetting::Held() const {
    for (QScrollBar* bar : hscrLevel_) {
        if (bar->isSliderDown()) {
            return true;
        }
    }
    return false;
}

void FrmLevelSetting::HScrLevel_Change(int index) {
    if (!thresholdsReady_) {
        return;
    }
    QScrollBar& bar = HScrLevel(index);
    bar.setEnabled(false);
    const int value = bar.value();
    const bool reversed = Reversed();
    // Neighbours on the wrong side follow; their own change events push on.
    if (index > 0) {
        QScrollBar& below = HScrLevel(index - 1);
        if (reversed ? below.value() < value : below.value() > value) {
            below.setValue(value);
        }
    }
    if (index < LevelRows - 1) {
        QScrollBar& above = HScrLevel(index + 1);
        if (reversed ? above.value() > value : above.value() < value) {
            above.setValue(value);
        }
    }
    const int k = LevelElement(index, reversed);
    ctx_.Images.Mem3Write.LevelThr[size_t(k)] = qint16(value);
    TxtLevel(index).setFocus();
    TxtLevel(index).setText(ValueText(ctx_.Images.Mem3Write.LevelThr[size_t(k)]));
    ctx_.Requests.Mem3WriteCountdown = 4.0;
    bar.setEnabled(true);
}

void FrmLevelSetting::CmdDefaultLevel_Click() {
    if (!Read()) {
        return;
    }
    ecudata::LoadGasLevelTbl(ctx_.Tables, ctx_.AppFolder, ctx_.DecimalSep);
    const ecudata::GasLevelRec* sensor = Sensor();
    if (!sensor) { // a type the table lacks has no defaults
        return;
    }
    thresholdsReady_ = false;
    const bool reversed = Reversed();
    for (int row = 0; row < LevelRows; ++row) {
        const int count = sensor->Thresholds[size_t(LevelElement(row, reversed))];
        HScrLevel(row).setValue(count);
        TxtLevel(row).setText(ValueText(count));
    }
    ctx_.Images.Mem3Write.LevelThr = sensor->Thresholds;
    ctx_.Requests.Mem3WriteCountdown = 1.0;
    thresholdsReady_ = true;
}

void FrmLevelSetting::Timer1_Timer() {
    const double scale = ctx_.Scale.K_VLevel_Sens_uV / 1000;
    const std::pair<QLabel*, qint32> readings[] = {
        {lblSensVal_, ctx_.Images.Mem1Data.Level1},
        {lblSensValNoFiltro_, ctx_.Images.Mem1Data.Level2}};
    for (const auto& [label, count] : readings) {
        int decimals = 3;
        int width = 1;
        label->setText(support::FormatFixed(scale * count, decimals, width, ctx_.DecimalSep));
    }
    MarkLevelShapes();
    const ecudata::GasLevelRec* sensor = Sensor();
    if (sensor && sensor->Id != shownSensorType_) {
        shownSensorType_ = sensor->Id;
        ShowLevelThresholds();
    } else if (ZoneReads(ctx_.Images) != shownReads_ && !Held()) {
        ShowLevelThresholds();
    }
}

void FrmLevelSetting::MarkLevelShapes() {
    const qint32 level = ctx_.Images.Mem1Data.Level2;
    const auto t = Shown().LevelThr;
    const bool reversed = Reversed();
    // Lamp i against the threshold its row shows; lamp 0 blinks at or beyond the reserve.
    for (int i = 0; i < LevelRows; ++i) {
        const int threshold = t[size_t(LevelElement(i, reversed))];
        const bool lit = reversed ? level < threshold : level > threshold;
        QWidget& lamp = *shpLevAct_[size_t(i)];
        if (i == 0 && !lit) {
            ui::SetBackStyle(lamp, ui::BackStyle(lamp) == 1 ? 0 : 1);
        } else {
            ui::SetBackStyle(lamp, lit ? 1 : 0);
        }
    }
}

bool FrmLevelSetting::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FrmLevelSetting::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

} // namespace settings
