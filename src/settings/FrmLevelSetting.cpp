#include "settings/FrmLevelSetting.h"

#include "app/Controls.h"
#include "app/ProgramContext.h"
#include "monitor/ControlLook.h"
#include "monitor/DialogTexts.h"
#include "settings/DialogControl.h"
#include "settings/DialogRows.h"
#include "support/Clock.h"
#include "support/Colors.h"
#include "support/Conversions.h"
#include "support/Cursor.h"

#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace settings {

namespace {

constexpr int RowHeight = 285;
constexpr quint32 LampColor = 0xFF00; // green
constexpr int LevelBarMax = 1023;

} // namespace

FrmLevelSetting::FrmLevelSetting(app::ProgramContext& context, QWidget& owner)
    : QWidget(&owner, Qt::Dialog), ctx_(context) {
    setObjectName("FrmLevelSetting");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Level");
    resize(app::ToPixels(5760), app::ToPixels(3960));
    auto* back = new QPushButton(this);
    back->setObjectName("CmdBack");
    app::MoveTwips(*back, 0, 0, 5760, 3960);
    auto* frame = new QGroupBox(this);
    frame->setObjectName("FrmLevel");
    app::MoveTwips(*frame, 60, 60, 5640, 3840);
    auto* heading = new QLabel("Level sensor thresholds", frame);
    heading->setObjectName("LblGasLevel");
    app::MoveTwips(*heading, 120, 120, 5400, RowHeight);
    auto* deflt = new QPushButton("Default", frame);
    deflt->setObjectName("CmdDefaultLevel");
    connect(deflt, &QPushButton::clicked, this, [this] { CmdDefaultLevel_Click(); });
    const std::pair<const char*, const char*> live[] = {
        {"LblSensVolt", "V"},
        {"LblSensVal", ""},
        {"LblSensVoltNofiltro", "Livello non filtrato (v)"},
        {"LblSensValNoFiltro", ""}};
    for (const auto& [name, caption] : live) {
        auto* label = new QLabel(caption, frame);
        label->setObjectName(name);
    }
    timer1_.setInterval(500);
    connect(&timer1_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    Form_Load();
    timer1_.start();
}

const ecudata::GasLevelRec* FrmLevelSetting::Sensor() const {
    const int k = ecudata::FindGasLevel(ctx_.Tables, ctx_.Images.Mem3Data.LevelType);
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

QScrollBar& FrmLevelSetting::HScrLevel(int row) const {
    return Child<QScrollBar>(*this, Row("HScrLevel", row));
}

QLineEdit& FrmLevelSetting::TxtLevel(int row) const {
    return Child<QLineEdit>(*this, Row("TxtLevel", row));
}

QWidget& FrmLevelSetting::Lamp(int row) const {
    return Child<QWidget>(*this, Row("ShpLevAct", row));
}

void FrmLevelSetting::Form_Load() {
    const int k = ecudata::FindGasLevel(ctx_.Tables, ctx_.Images.Mem3Data.LevelType);
    if (k > 0) {
        shownSensorType_ = ctx_.Tables.TblGasLevel[size_t(k)].Id;
    }
    monitor::LoadDialogIcon(*this, ctx_.AppFolder);
    {
        support::CursorOverride hourglass(Qt::WaitCursor);
        LoadLevelCaptions();
        support::WaitUsec(100000);
        BuildLevelControls();
        ShowLevelThresholds();
    }
    monitor::SetBackColor(Child<QWidget>(*this, "FrmLevel"), support::ColorButtonFace);
}

void FrmLevelSetting::LoadLevelCaptions() {
    const QStringList texts = monitor::DialogTexts(ctx_.ObjLingue, "[FrmLevel]", 3);
    if (texts.size() != 3) {
        return;
    }
    const int k = ecudata::FindGasLevel(ctx_.Tables, ctx_.Images.Mem3Data.LevelType);
    if (k > 0) {
        setWindowTitle(texts[0] + " - " + ctx_.Tables.TblGasLevel[size_t(k)].Name);
    }
    Child<QLabel>(*this, "LblGasLevel").setText(texts[1]);
    Child<QPushButton>(*this, "CmdDefaultLevel").setText(texts[2]);
}

void FrmLevelSetting::BuildLevelControls() {
    QWidget& frame = Child<QWidget>(*this, "FrmLevel");
    const QWidget& heading = Child<QWidget>(*this, "LblGasLevel");
    const ecudata::GasLevelRec* sensor = Sensor();
    int bottom = 0;
    for (int i = 0; i < LevelRows; ++i) {
        if (!findChild<QWidget*>(Row("LblLevel", i))) {
            auto* label = new QLabel(&frame);
            label->setObjectName(Row("LblLevel", i));
            auto* lamp = new QFrame(&frame);
            lamp->setObjectName(Row("ShpLevAct", i));
            lamp->setFrameShape(QFrame::Box);
            monitor::SetBackColor(*lamp, LampColor);
            monitor::SetBackStyle(*lamp, 0);
            auto* text = new QLineEdit(&frame);
            text->setObjectName(Row("TxtLevel", i));
            text->setReadOnly(true);
            auto* unit = new QLabel(&frame);
            unit->setObjectName(Row("LblMisura", i));
            auto* bar = new QScrollBar(Qt::Horizontal, &frame);
            bar->setObjectName(Row("HScrLevel", i));
            bar->setRange(0, LevelBarMax);
            bar->setSingleStep(16);
            bar->setPageStep(100);
            bar->setFocusPolicy(Qt::StrongFocus);
            bar->setInvertedControls(false); // Right and Page Up raise a horizontal bar
            connect(bar, &QScrollBar::valueChanged, this, [this, i] { HScrLevel_Change(i); });
            for (QWidget* control : std::initializer_list<QWidget*>{label, lamp, text, unit, bar}) {
                control->installEventFilter(this);
            }
        }
        const int top =
            LevelRowTop(app::TopTwips(heading), app::HeightTwips(heading), RowHeight, i);
        auto& label = Child<QLabel>(*this, Row("LblLevel", i));
        label.setText(QString::number(i + 1) + "/4");
        app::MoveTwips(label, 120, top, 600, RowHeight);
        app::MoveTwips(Lamp(i), 780, top + 45, 195, 195);
        app::MoveTwips(TxtLevel(i), 1080, top, 1080, RowHeight);
        auto& unit = Child<QLabel>(*this, Row("LblMisura", i));
        app::MoveTwips(unit, 2220, top, 900, RowHeight);
        app::MoveTwips(HScrLevel(i), 3180, top, 2340, RowHeight);
        if (sensor) {
            unit.setText(sensor->Description);
        }
        Lamp(i).raise();
        bottom = std::max(bottom, top + RowHeight);
    }
    app::MoveTwips(Child<QWidget>(*this, "CmdDefaultLevel"), 3180, bottom + 225, 2340, 375);
    app::MoveTwips(Child<QWidget>(*this, "LblSensVolt"), 120, bottom + 720, 2940, RowHeight);
    app::MoveTwips(Child<QWidget>(*this, "LblSensVal"), 3180, bottom + 720, 2340, RowHeight);
    app::MoveTwips(Child<QWidget>(*this, "LblSensVoltNofiltro"), 120, bottom + 1080, 2940,
                   RowHeight);
    app::MoveTwips(Child<QWidget>(*this, "LblSensValNoFiltro"), 3180, bottom + 1080, 2340,
                   RowHeight);
}

void FrmLevelSetting::ShowLevelThresholds() {
    thresholdsReady_ = false;
    if (!Sensor()) {
        return;
    }
    const bool reversed = Reversed();
    for (int row = 0; row < LevelRows; ++row) {
        // A count beyond the bar is clamped there; the text keeps the true value.
        const int count = ctx_.Images.Mem3Data.LevelThr[size_t(LevelElement(row, reversed))];
        HScrLevel(row).setValue(count);
        TxtLevel(row).setText(ValueText(count));
    }
    thresholdsReady_ = true;
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
    const std::pair<const char*, qint32> readings[] = {
        {"LblSensVal", ctx_.Images.Mem1Data.Level1},
        {"LblSensValNoFiltro", ctx_.Images.Mem1Data.Level2}};
    for (const auto& [name, count] : readings) {
        int decimals = 3;
        int width = 1;
        Child<QLabel>(*this, name)
            .setText(support::FormatFixed(scale * count, decimals, width, ctx_.DecimalSep));
    }
    MarkLevelShapes();
    if (const ecudata::GasLevelRec* sensor = Sensor(); sensor && sensor->Id != shownSensorType_) {
        shownSensorType_ = sensor->Id;
        ShowLevelThresholds();
    }
}

void FrmLevelSetting::MarkLevelShapes() {
    const qint32 level = ctx_.Images.Mem1Data.Level2;
    const auto& t = ctx_.Images.Mem3Data.LevelThr;
    const bool reversed = Reversed();
    // Lamp i against the threshold its row shows; lamp 0 blinks at or beyond the reserve.
    for (int i = 0; i < LevelRows; ++i) {
        const int threshold = t[size_t(LevelElement(i, reversed))];
        const bool lit = reversed ? level < threshold : level > threshold;
        QWidget& lamp = Lamp(i);
        if (i == 0 && !lit) {
            monitor::SetBackStyle(lamp, monitor::BackStyle(lamp) == 1 ? 0 : 1);
        } else {
            monitor::SetBackStyle(lamp, lit ? 1 : 0);
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
