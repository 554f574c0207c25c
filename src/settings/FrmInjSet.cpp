#include "settings/FrmInjSet.h"

#include "app/ProgramContext.h"
#include "settings/DialogDesigns.h"
#include "settings/ZoneReads.h"
#include "support/Conversions.h"
#include "support/Cursor.h"
#include "support/Lingue.h"
#include "support/MessageBox.h"
#include "ui/ControlBuilder.h"
#include "ui/ControlLook.h"
#include "ui/DialogIcon.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <algorithm>

namespace settings {

namespace {

constexpr int BadBitMin = 1;
constexpr int BadBitMax = 25;
constexpr quint8 OnGas = 3;

// Row backgrounds of rows 1 to 7 (BGR); row 0 keeps the design colour.
constexpr quint32 RowColors[InjMaxRows] = {0xC0E0FF, 0xFFFF, 0xFF00FF, 0xFF0000,
                                           0xFF00,   0xFF,   0x80FF,   0xC0C0FF};

// An offset as its box shows it.
QString OffsetText(double offset, const QString& decimalSep) {
    return support::GeneralNumberText(support::RoundHalfEven(offset * 1000) / 1000, decimalSep);
}

} // namespace

FrmInjSet::FrmInjSet(app::ProgramContext& context, QWidget& owner)
    : QWidget(&owner, Qt::Dialog), ctx_(context) {
    setObjectName("FrmInjSet");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Injectors");
    BuildInjControls(Shown().Cilindri);
    timer1_.setInterval(500);
    connect(&timer1_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    Form_Load();
}

void FrmInjSet::BuildInjControls(int count) {
    ui::ControlBuilder builder(*this);
    builder.Build(InjDesign(count));
    sldBadBit_ = &ui::Bind<QSlider>(*this, "SldBadBit");
    sldBadBit_->setRange(BadBitMin, BadBitMax);
    sldBadBit_->setSingleStep(1);
    sldBadBit_->setPageStep(1);
    connect(sldBadBit_, &QSlider::valueChanged, this, [this] { SldBadBit_Change(); });
    lblBadBit1_ = &ui::Bind<QLabel>(*this, "LblBadBit", 1);
    for (const char* name : {"LblInjNum", "LblTime", "LblEnricht", "LblInjSet"}) {
        headings_.push_back(&ui::Bind<QLabel>(*this, name));
    }
    count = std::clamp(count, 1, InjMaxRows);
    for (int i = 0; i < count; ++i) {
        Row row{&ui::Bind<QLineEdit>(*this, "TxtInjFuelGas", i),
                &ui::Bind<QLineEdit>(*this, "TxtInjGas", i),
                &ui::Bind<QScrollBar>(*this, "HScrTime", i),
                &ui::Bind<QComboBox>(*this, "CmbSelect", i)};
        QWidget& back = ui::Bind<QWidget>(*this, "ShpBack", i);
        ui::SetBackColor(back, RowColors[i]);
        back.lower();
        row.txtInjFuelGas->setReadOnly(true);
        row.txtInjGas->setReadOnly(true);
        QScrollBar& bar = *row.hscrTime;
        bar.setRange(OffsetStepMin, OffsetStepMax);
        bar.setSingleStep(5);
        bar.setPageStep(50);
        bar.setFocusPolicy(Qt::StrongFocus);
        bar.setInvertedControls(false); // Right and Page Up raise a horizontal bar
        connect(&bar, &QScrollBar::valueChanged, this, [this, i] { HScrTime_Change(i); });
        defaultTime_.push_back(&ui::Bind<QPushButton>(*this, "CmdDefaultTime", i));
        connect(defaultTime_.back(), &QPushButton::clicked, this,
                [this, i] { CmdDefaultTime_Click(i); });
        row.cmbSelect->installEventFilter(this);
        connect(row.cmbSelect, &QComboBox::currentIndexChanged, this, [this, i](int item) {
            if (item >= 0) {
                CmbSelect_Click(i);
            }
        });
        rows_.push_back(row);
    }
    QWidget& back = ui::Bind<QWidget>(*this, "CmdBack");
    back.lower();
    resize(back.size());
}

void FrmInjSet::Form_Load() {
    ui::LoadDialogIcon(*this, ctx_.AppFolder);
    injSelectBusy_ = true;
    LoadInjCaptions();
    {
        support::CursorOverride hourglass(Qt::WaitCursor);
        FillInjSelect();
        injSelectBusy_ = true;
        // Only a single injector's step is dropped; a cylinder-count step goes on.
        ecudata::EcuRequests& r = ctx_.Requests;
        if (r.InjSetMode == 1) {
            r.InjSetMode = 0;
            r.InjSetState = -1;
        }
        timer1_.start();
    }
    injSelectBusy_ = false;
}

void FrmInjSet::LoadInjCaptions() {
    const QStringList t = support::SectionTexts(ctx_.ObjLingue, "[FrmInj]", 9);
    if (t.size() != 9) {
        return;
    }
    for (size_t i = 0; i < headings_.size(); ++i) {
        headings_[i]->setText(t[int(i)]);
    }
    ModeItem0Text = t[4];
    ModeItem2Text = t[5];
    ModeItem1Text = t[6];
    QString name;
    if (!ctx_.Tables.TblInjType.empty()) {
        name =
            ctx_.Tables.TblInjType[size_t(ecudata::FindInjType(ctx_.Tables, Shown().InjType))].Name;
    }
    setWindowTitle(t[7] + " - " + name);
    lblBadBit1_->setText(t[8]);
}

ecudata::Mem3Rec FrmInjSet::Shown() const {
    return ecudata::ShownMem3(ctx_.Images);
}

// The record as shown; before zone 3 is read nothing, and nothing to edit.
void FrmInjSet::FillInjSelect() {
    injSelectBusy_ = true;
    shownReads_ = ZoneReads(ctx_.Images);
    const bool read = Read();
    const ecudata::Mem3Rec m3 = Shown();
    for (int i = 0; i < Rows(); ++i) {
        QComboBox& combo = CmbSelect(i);
        combo.clear();
        combo.addItems({ModeItem0Text, ModeItem1Text, ModeItem2Text});
        combo.setCurrentIndex(read ? ModeItem(m3.CylState[size_t(i)]) : -1);
        combo.setEnabled(read && i != 0);
        // An offset beyond the bar puts the bar at its end; the text keeps it.
        TxtInjGas(i).setText(read ? OffsetText(m3.CylTime[size_t(i)], ctx_.DecimalSep) : QString());
        HScrTime(i).setValue(read ? OffsetSteps(m3.CylTime[size_t(i)], ctx_.Scale.K_Time_Inj_us)
                                  : 0);
        HScrTime(i).setEnabled(read);
        defaultTime_[size_t(i)]->setEnabled(read);
    }
    SldBadBit().setValue(std::clamp(int(m3.BadBit), BadBitMin, BadBitMax));
    SldBadBit().setEnabled(read);
    injSelectBusy_ = false;
}

bool FrmInjSet::Held() const {
    if (offsetBusy_.any() || SldBadBit().isSliderDown()) {
        return true;
    }
    for (const Row& row : rows_) {
        if (row.hscrTime->isSliderDown()) {
            return true;
        }
    }
    return false;
}

void FrmInjSet::PutModeBack(int index) {
    QPointer<QComboBox> combo = &CmbSelect(index);
    const int item = ModeItem(Shown().CylState[size_t(index)]);
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
    const int current = Shown().CylState[size_t(index)];
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

bool FrmInjSet::Read() const {
    return ctx_.Images.Blocks.Read(ecudata::EditBlock::Mem3);
}

void FrmInjSet::HScrTime_Change(int index) {
    if (injSelectBusy_ || !Read()) {
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
    TxtInjGas(index).setText(OffsetText(offset, ctx_.DecimalSep));
    ctx_.Requests.Mem3WriteCountdown = 4.0;
}

void FrmInjSet::CmdDefaultTime_Click(int index) {
    QScrollBar& bar = HScrTime(index);
    bar.setValue(
        int(support::RoundHalfEven(bar.minimum() + (bar.maximum() - bar.minimum()) / 2.0)));
}

void FrmInjSet::SldBadBit_Change() {
    if (injSelectBusy_ || !Read()) {
        return;
    }
    // Against the value shown: moving back onto the ECU's value replaces a pending one.
    const int value = SldBadBit().value();
    if (value != Shown().BadBit) {
        ctx_.Images.Mem3Write.BadBit = quint8(value);
        ctx_.Requests.Mem3WriteCountdown = 1.0;
    }
}

void FrmInjSet::Timer1_Timer() {
    if (ZoneReads(ctx_.Images) != shownReads_ && !injSelectBusy_ && !Held()) {
        LoadInjCaptions();
        FillInjSelect();
    }
    const ecudata::Mem3Rec& m3 = ctx_.Images.Mem3Data;
    for (int i = 0; i <= m3.Cilindri && i < Rows(); ++i) {
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
