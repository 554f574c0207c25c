#include "settings/FrmInjSet.h"

#include "app/Controls.h"
#include "app/ProgramContext.h"
#include "monitor/ControlLook.h"
#include "monitor/DialogTexts.h"
#include "settings/DialogControl.h"
#include "settings/DialogRows.h"
#include "support/Conversions.h"
#include "support/Cursor.h"
#include "support/MessageBox.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <algorithm>
#include <cmath>

namespace settings {

namespace {

constexpr int RowTop = 480;
constexpr int RowPitch = 420;
constexpr int RowH = 315;
constexpr int BadBitMin = 1;
constexpr int BadBitMax = 25;
constexpr quint8 OnGas = 3;

// Row backgrounds of rows 1 to 7 (BGR); row 0 keeps the design colour.
constexpr quint32 RowColors[FrmInjSet::MaxRows] = {0xC0E0FF, 0xFFFF, 0xFF00FF, 0xFF0000,
                                                   0xFF00,   0xFF,   0x80FF,   0xC0C0FF};

const char* const RowArrays[] = {"LblInj",   "ShpBack",        "TxtInjFuelGas", "TxtInjGas",
                                 "HScrTime", "CmdDefaultTime", "CmbSelect"};

} // namespace

FrmInjSet::FrmInjSet(app::ProgramContext& context, QWidget& owner)
    : QWidget(&owner, Qt::Dialog), ctx_(context) {
    setObjectName("FrmInjSet");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Injectors");
    auto* back = new QPushButton(this);
    back->setObjectName("CmdBack");
    auto* frame = new QGroupBox(this);
    frame->setObjectName("FrmInj");
    const std::tuple<const char*, const char*, int, int> headings[] = {
        {"LblInjNum", "Injector", 120, 900},
        {"LblTime", "Gas (ms)", 1080, 900},
        {"LblEnricht", "OffSet", 2040, 2760},
        {"LblInjSet", "Mode", 5220, 1800}};
    for (const auto& [name, caption, left, width] : headings) {
        auto* label = new QLabel(caption, frame);
        label->setObjectName(name);
        app::MoveTwips(*label, left, 120, width, RowH);
    }
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(i == 1 ? " Sensibility" : "", this);
        label->setObjectName(Row("LblBadBit", i));
    }
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setObjectName("SldBadBit");
    slider->setRange(BadBitMin, BadBitMax);
    slider->setSingleStep(1);
    slider->setPageStep(1);
    connect(slider, &QSlider::valueChanged, this, [this] { SldBadBit_Change(); });
    timer1_.setInterval(500);
    connect(&timer1_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    Form_Load();
}

QScrollBar& FrmInjSet::HScrTime(int row) const {
    return Child<QScrollBar>(*this, Row("HScrTime", row));
}
QComboBox& FrmInjSet::CmbSelect(int row) const {
    return Child<QComboBox>(*this, Row("CmbSelect", row));
}
QLineEdit& FrmInjSet::TxtInjGas(int row) const {
    return Child<QLineEdit>(*this, Row("TxtInjGas", row));
}
QLineEdit& FrmInjSet::TxtInjFuelGas(int row) const {
    return Child<QLineEdit>(*this, Row("TxtInjFuelGas", row));
}
QSlider& FrmInjSet::SldBadBit() const {
    return Child<QSlider>(*this, "SldBadBit");
}

void FrmInjSet::Form_Load() {
    monitor::LoadDialogIcon(*this, ctx_.AppFolder);
    injSelectBusy_ = true;
    LoadInjCaptions();
    {
        support::CursorOverride hourglass(Qt::WaitCursor);
        BuildInjControls(ctx_.Images.Mem3Data.Cilindri);
        FillInjSelect();
        injSelectBusy_ = true;
        // Only a single injector's step is dropped; a cylinder-count step goes on.
        ecudata::EcuRequests& r = ctx_.Requests;
        if (r.InjSetMode == 1) {
            r.InjSetMode = 0;
            r.InjSetState = -1;
        }
        SldBadBit().setValue(std::clamp(int(ctx_.Images.Mem3Data.BadBit), BadBitMin, BadBitMax));
        timer1_.start();
    }
    injSelectBusy_ = false;
}

void FrmInjSet::LoadInjCaptions() {
    const QStringList t = monitor::DialogTexts(ctx_.ObjLingue, "[FrmInj]", 9);
    if (t.size() != 9) {
        return;
    }
    const char* const headings[] = {"LblInjNum", "LblTime", "LblEnricht", "LblInjSet"};
    for (int i = 0; i < 4; ++i) {
        Child<QLabel>(*this, headings[i]).setText(t[i]);
    }
    ModeItem0Text = t[4];
    ModeItem2Text = t[5];
    ModeItem1Text = t[6];
    QString name;
    if (!ctx_.Tables.TblInjType.empty()) {
        name =
            ctx_.Tables
                .TblInjType[size_t(ecudata::FindInjType(ctx_.Tables, ctx_.Images.Mem3Data.InjType))]
                .Name;
    }
    setWindowTitle(t[7] + " - " + name);
    Child<QLabel>(*this, Row("LblBadBit", 1)).setText(t[8]);
}

void FrmInjSet::BuildInjControls(int count) {
    count = std::clamp(count, 1, MaxRows);
    QWidget& frame = Child<QWidget>(*this, "FrmInj");
    for (int i = 0; i < MaxRows; ++i) {
        for (const char* array : RowArrays) {
            if (i >= count) {
                delete findChild<QWidget*>(Row(array, i));
            }
        }
    }
    for (int i = 0; i < count; ++i) {
        if (findChild<QWidget*>(Row("LblInj", i))) {
            continue;
        }
        const int top = RowTop + i * RowPitch;
        auto* shape = new QFrame(&frame);
        shape->setObjectName(Row("ShpBack", i));
        monitor::SetBackColor(*shape, RowColors[i]);
        app::MoveTwips(*shape, 60, top - 45, 7080, RowPitch - 15);
        auto* label = new QLabel("Inj #" + QString::number(i + 1), &frame);
        label->setObjectName(Row("LblInj", i));
        app::MoveTwips(*label, 120, top, 900, RowH);
        auto* live = new QLineEdit(&frame);
        live->setObjectName(Row("TxtInjFuelGas", i));
        live->setReadOnly(true);
        app::MoveTwips(*live, 1080, top, 900, RowH);
        auto* offset = new QLineEdit(&frame);
        offset->setObjectName(Row("TxtInjGas", i));
        offset->setReadOnly(true);
        app::MoveTwips(*offset, 2040, top, 720, RowH);
        auto* bar = new QScrollBar(Qt::Horizontal, &frame);
        bar->setObjectName(Row("HScrTime", i));
        bar->setRange(OffsetStepMin, OffsetStepMax);
        bar->setSingleStep(5);
        bar->setPageStep(50);
        bar->setFocusPolicy(Qt::StrongFocus);
        bar->setInvertedControls(false); // Right and Page Up raise a horizontal bar
        app::MoveTwips(*bar, 2820, top, 1920, RowH);
        connect(bar, &QScrollBar::valueChanged, this, [this, i] { HScrTime_Change(i); });
        auto* reset = new QPushButton("X", &frame);
        reset->setObjectName(Row("CmdDefaultTime", i));
        app::MoveTwips(*reset, 4800, top, 360, RowH);
        connect(reset, &QPushButton::clicked, this, [this, i] { CmdDefaultTime_Click(i); });
        auto* combo = new QComboBox(&frame);
        combo->setObjectName(Row("CmbSelect", i));
        app::MoveTwips(*combo, 5220, top, 1860, RowH);
        combo->installEventFilter(this);
        connect(combo, &QComboBox::currentIndexChanged, this, [this, i](int item) {
            if (item >= 0) {
                CmbSelect_Click(i);
            }
        });
        shape->lower();
    }
    rows_ = count;
    const int frameHeight = RowTop + count * RowPitch + 60;
    app::MoveTwips(frame, 60, 60, 7200, frameHeight);
    const int below = 60 + frameHeight + 120;
    app::MoveTwips(Child<QWidget>(*this, Row("LblBadBit", 0)), 120, below, 120, RowH);
    app::MoveTwips(Child<QWidget>(*this, Row("LblBadBit", 1)), 240, below, 1800, RowH);
    app::MoveTwips(SldBadBit(), 2100, below, 3600, RowH);
    const int height = below + RowH + 180;
    app::MoveTwips(Child<QWidget>(*this, "CmdBack"), 0, 0, 7320, height);
    Child<QWidget>(*this, "CmdBack").lower();
    resize(app::ToPixels(7320), app::ToPixels(height));
}

void FrmInjSet::FillInjSelect() {
    injSelectBusy_ = true;
    const ecudata::Mem3Rec& m3 = ctx_.Images.Mem3Data;
    for (int i = 0; i < rows_; ++i) {
        QComboBox& combo = CmbSelect(i);
        combo.clear();
        combo.addItems({ModeItem0Text, ModeItem1Text, ModeItem2Text});
        combo.setCurrentIndex(ModeItem(m3.CylState[size_t(i)]));
        // An offset beyond the bar puts the bar at its end; the text keeps it.
        TxtInjGas(i).setText(support::GeneralNumberText(m3.CylTime[size_t(i)], ctx_.DecimalSep));
        HScrTime(i).setValue(OffsetSteps(m3.CylTime[size_t(i)], ctx_.Scale.K_Time_Inj_us));
    }
    CmbSelect(0).setEnabled(false);
    injSelectBusy_ = false;
}

void FrmInjSet::PutModeBack(int index) {
    QPointer<QComboBox> combo = &CmbSelect(index);
    const int item = ModeItem(ctx_.Images.Mem3Data.CylState[size_t(index)]);
    QTimer::singleShot(0, this, [this, combo, item] {
        if (combo) {
            injSelectBusy_ = true;
            combo->setCurrentIndex(item);
            injSelectBusy_ = false;
        }
    });
}

void FrmInjSet::CmbSelect_Click(int index) {
    if (injSelectBusy_) {
        return;
    }
    injSelectBusy_ = true;
    const int mode = ItemMode(CmbSelect(index).currentIndex());
    const int current = ctx_.Images.Mem3Data.CylState[size_t(index)];
    bool request = mode == 3 || mode != current; // the normal mode is asked for every time
    if (request && mode == 4 && ctx_.Images.Mem2Data.FuelState != OnGas) {
        TxtInjFuelGas(0).setFocus();
        support::MsgBox(ctx_.Texts.MsgConfig[2], support::vbCritical, windowTitle());
        PutModeBack(index);
        request = false;
    }
    if (request) {
        ecudata::EcuRequests& r = ctx_.Requests;
        r.InjSetState = qint16(mode);
        r.InjSetIndex = quint8(index);
        r.InjSetMode = 1;
    }
    TxtInjFuelGas(0).setFocus();
    injSelectBusy_ = false;
}

void FrmInjSet::HScrTime_Change(int index) {
    if (injSelectBusy_) {
        return;
    }
    // The bar stays enabled and keeps the focus while the events run, so that a press
    // arriving meanwhile moves it again; the handler under way then stores the newer
    // value instead of starting a second one on the same bar.
    const size_t row = size_t(index);
    if (offsetBusy_[row]) {
        offsetMovedAgain_[row] = true;
        return;
    }
    offsetBusy_[row] = true;
    do {
        offsetMovedAgain_[row] = false;
        QCoreApplication::processEvents();
        StoreOffset(index);
        QCoreApplication::processEvents();
    } while (offsetMovedAgain_[row]);
    offsetBusy_[row] = false;
}

void FrmInjSet::StoreOffset(int index) {
    const double offset = HScrTime(index).value() * 10 * ctx_.Scale.K_Time_Inj_us;
    ctx_.Images.Mem3Write.CylTime[size_t(index)] = offset;
    TxtInjGas(index).setText(
        support::GeneralNumberText(support::RoundHalfEven(offset * 1000) / 1000, ctx_.DecimalSep));
    ctx_.Requests.Mem3WriteCountdown = 4.0;
}

void FrmInjSet::CmdDefaultTime_Click(int index) {
    QScrollBar& bar = HScrTime(index);
    bar.setValue(
        int(support::RoundHalfEven(bar.minimum() + (bar.maximum() - bar.minimum()) / 2.0)));
}

void FrmInjSet::SldBadBit_Change() {
    if (injSelectBusy_) {
        return;
    }
    const int value = SldBadBit().value();
    if (value != ctx_.Images.Mem3Data.BadBit) {
        ctx_.Images.Mem3Write.BadBit = quint8(value);
        ctx_.Requests.Mem3WriteCountdown = 1.0;
    }
}

void FrmInjSet::Timer1_Timer() {
    const ecudata::Mem3Rec& m3 = ctx_.Images.Mem3Data;
    for (int i = 0; i <= m3.Cilindri && i < rows_; ++i) {
        const int mode = m3.CylState[size_t(i)];
        int decimals = 2;
        int width = 2;
        TxtInjFuelGas(i).setText(mode == 3 || mode == 4
                                     ? support::FormatFixed(ctx_.Images.Mem1Data.TInjGas[size_t(i)],
                                                            decimals, width, ctx_.DecimalSep)
                                     : QStringLiteral("0.00"));
    }
}

bool FrmInjSet::eventFilter(QObject* watched, QEvent* event) {
    // While a mode step is pending no mode combo can be used.
    if (event->type() == QEvent::FocusIn && ctx_.Requests.InjSetMode == 1 &&
        qobject_cast<QComboBox*>(watched)) {
        QTimer::singleShot(0, this, [this] { TxtInjFuelGas(0).setFocus(); });
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace settings
