#include "viewer/FrmView.h"

#include "app/CaptionTranslation.h"
#include "app/LinkLogRestart.h"
#include "app/ProgramContext.h"
#include "ecudata/ParamRecords.h"
#include "link/RxTxLog.h"
#include "support/Colors.h"
#include "support/FileRoutines.h"
#include "support/MessageBox.h"
#include "support/ProgramTexts.h"
#include "ui/ControlBuilder.h"
#include "ui/Controls.h"
#include "viewer/FrmViewDesign.h"
#include "viewer/PlotPicture.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace viewer {

namespace {

constexpr quint32 Black = 0;

QString Css(quint32 fore, quint32 back) {
    return QString("color:%1;background-color:%2;")
        .arg(support::ColorFromBgr(fore).name(), support::ColorFromBgr(back).name());
}

QString LimitedSettingsText(const QString& path, const QStringList& keys) {
    return support::Text(support::ProgramText::ViewerLimited).arg(path, keys.join(", "));
}

} // namespace

// Channel c takes the caption of the live frame's label ChannelLabel[c].
constexpr std::array<const char*, 8> ChannelLabel{"LblCalInjTg",   "LblCalInjTp",  "LblCalPres",
                                                  "LblCalVacuum",  "LblCalLambda", "LblCalRpm",
                                                  "LblCalTempGas", "LblCalTempVap"};

ChannelLabels::ChannelLabels(QWidget& window) {
    for (std::size_t c = 0; c < labels_.size(); ++c) {
        labels_[c] = &ui::Bind<QLabel>(window, ChannelLabel[c]);
    }
}

std::array<QString, 8> ChannelLabels::Names() const {
    std::array<QString, 8> names;
    for (std::size_t c = 0; c < names.size(); ++c) {
        names[c] = labels_[c]->text().trimmed();
    }
    return names;
}

FrmView::FrmView(app::ProgramContext& context, const std::array<QString, 8>& names, QWidget* owner)
    : QDialog(owner), ctx_(context), names_(names) {
    setObjectName("FrmView");
    setWindowTitle(WindowCaption);
    setModal(true);
    BuildViewControls(*this);
    BindControls();
    ConnectControls();
    timer1_.setTimerType(Qt::PreciseTimer);
    timer1_.setInterval(1);
    connect(&timer1_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    Cylinders = ctx_.Images.Mem3Data.Cilindri;
    Coils = ctx_.Images.Mem3Data.Bobine;
}

FrmView::~FrmView() {
    timer1_.stop();
    ctx_.Comm().RxTxLog().HoldRestart = false;
}

void FrmView::BindControls() {
    pctSignal_ = &ui::Bind<PlotPicture>(*this, "PctSignal");
    lneCursor_ = &ui::Bind<QFrame>(*this, "LneCursor");
    lblLoading_ = &ui::Bind<QLabel>(*this, "LblLoading");
    shpLoading_ = &ui::Bind<QFrame>(*this, "ShpLoading");
    optRun_ = ui::BindArray<QRadioButton>(*this, "OptRun", 0, 2);
    chkSignal_ = ui::BindArray<QCheckBox>(*this, "ChkSignal", 0, 8);
    txtSignal_ = ui::BindArray<QLineEdit>(*this, "TxtSignal", 0, 8);
    pctMostra_ = ui::BindArray<QLabel>(*this, "PctMostra", 0, 8);
    lblSignal_ = ui::BindArray<QLabel>(*this, "LblSignal", 0, 8);
    lblZero_ = ui::BindArray<QLabel>(*this, "LblZero", 0, 8);
    sldSample_ = &ui::Bind<QSlider>(*this, "SldSample");
    cmdSeekPrev_ = &ui::Bind<QPushButton>(*this, "CmdSeekPrev");
    cmdSeekNext_ = &ui::Bind<QPushButton>(*this, "CmdSeekNext");
    cmdReload_ = &ui::Bind<QPushButton>(*this, "CmdReload");
    cmdOpen_ = &ui::Bind<QPushButton>(*this, "CmdOpen");
    cmdSaveLogOsc_ = &ui::Bind<QPushButton>(*this, "CmdSaveLogOsc");
    cmdSecDivP_ = &ui::Bind<QPushButton>(*this, "CmdSecDivP");
    cmdSecDivM_ = &ui::Bind<QPushButton>(*this, "CmdSecDivM");
    lblSecDiv_ = &ui::Bind<QLabel>(*this, "LblSecDiv");
    lblZoomChl_ = &ui::Bind<QLabel>(*this, "LblZoomChl");
    lblOffset_ = &ui::Bind<QLabel>(*this, "LblOffset");
    lblCN_ = &ui::Bind<QLabel>(*this, "LblCN");
    lblOffsetTime_ = &ui::Bind<QLabel>(*this, "LblOffsetTime");
    cmbChnInj_ = &ui::Bind<QComboBox>(*this, "CmbChnInj");
    frame1_ = &ui::Bind<QGroupBox>(*this, "Frame1");
    frame2_ = &ui::Bind<QGroupBox>(*this, "Frame2");
    cmbCyl_ = &ui::Bind<QComboBox>(*this, "CmbCyl");
    cmbCoil_ = &ui::Bind<QComboBox>(*this, "CmbCoil");
    label1_ = &ui::Bind<QLabel>(*this, "Label1");
}

void FrmView::ConnectControls() {
    const std::pair<const char*, std::function<void()>> clicks[] = {
        {"CmdZoomIn", [this] { CmdZoom_Click(true); }},
        {"CmdZoomOut", [this] { CmdZoom_Click(false); }},
        {"CmdUp", [this] { CmdOffset_Click(false); }},
        {"CmdDw", [this] { CmdOffset_Click(true); }},
        {"CmdReset", [this] { CmdReset_Click(); }},
        {"CmdSecDivP", [this] { CmdSecDiv_Click(true); }},
        {"CmdSecDivM", [this] { CmdSecDiv_Click(false); }},
        {"CmdOpen", [this] { CmdOpen_Click(); }},
        {"CmdReload", [this] { CmdReload_Click(); }},
        {"CmdSaveLogOsc", [this] { SaveRawLog(); }},
        {"CmdEsporta", [this] { CmdEsporta_Click(); }},
        {"CmdSeekPrev", [this] { CmdSeek_Click(-1); }},
        {"CmdSeekNext", [this] { CmdSeek_Click(1); }},
        {"CmdEscSet", [this] { CmdEscSet_Click(); }},
        {"CmdEscCylCoil", [this] { CmdEscCylCoil_Click(); }},
    };
    for (const auto& [name, handler] : clicks) {
        connect(&ui::Bind<QPushButton>(*this, name), &QPushButton::clicked, this, handler);
    }
    pctSignal_->onMouseMove = [this](double x) {
        if (FileLoadBusy || cursorGuard_) {
            return;
        }
        cursorGuard_ = true;
        ShowCursorValues(x);
        cursorGuard_ = false;
    };
    connect(cmbChnInj_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0) {
            return;
        }
        SelInjector = index;
        if (!Recording()) {
            RedrawSignals();
        }
    });
    for (int i = 0; i < 2; ++i) {
        connect(optRun_[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) {
                OptRun_Click(i);
            }
        });
    }
    connect(sldSample_, &QSlider::valueChanged, this, [this] { SldSample_Change(); });
    for (int c = 0; c < 8; ++c) {
        connect(chkSignal_[c], &QCheckBox::clicked, this, [this, c] { ChkSignal_Click(c); });
        pctMostra_[c]->installEventFilter(this);
        lblSignal_[c]->installEventFilter(this);
    }
    label1_->installEventFilter(this);
}

// ---- Load and close

void FrmView::Form_Load() {
    app::TranslateProgramCaptions(*this);
    ViewSamples.assign(1, Mem1Rec{});
    PagePos = 1;
    SecDiv = 5.0;
    CloseRequest = false;
    LoadBusy = true;
    support::CreateSamplesFolder(ctx_.AppFolder);
    QString error;
    QStringList limited;
    const QString settings = OsciConfigPath(ctx_.AppFolder);
    if (!viewer::ReadOsciConfig(settings, Channels, ctx_.DecimalSep, error, &limited)) {
        support::MsgBox("Form_Load_Err: " + error, support::vbCritical, "View");
    } else if (!limited.isEmpty()) {
        support::MsgBox(LimitedSettingsText(settings, limited), support::vbExclamation, "View");
    }
    SetDefaultChannels();
    ShowSecDiv();
    ShowZoomOffset();
    cursorX_ = 0;
    lneCursor_->move(0, 0);
    CaricaGriglia(true);
    ResizeVisiblePicture();
    ColorChannelLabels();
    FillCylCoilCombos();
    lblCN_->setProperty("Tag", QString::number(SelChannel));
    LblSignal_Click(SelChannel);
    PlaceZeroMarks();
    ShowZoomOffset();
    support::CenterForm(*this);
    if (!app::RestartLinkLog(ctx_.AppFolder, ctx_.Texts.AppTitle)) {
        support::MsgBox("Form_Load_Err: " + comm::RxTxLogPath(ctx_.AppFolder), support::vbCritical,
                        "View");
    }
    if (ctx_.Comm().ComState() == app::COM_STOP) {
        optRun_[1]->setChecked(true);
        optRun_[0]->setEnabled(false);
        optRun_[1]->setEnabled(false);
    } else {
        optRun_[0]->setChecked(true);
    }
    LoadBusy = false;
}

void FrmView::closeEvent(QCloseEvent* event) {
    if (Recording()) {
        optRun_[1]->setChecked(true);
        CloseRequest = true;
        event->ignore();
        return;
    }
    timer1_.stop();
    unloaded_ = true;
    event->accept();
}

void FrmView::reject() {
    close();
}

void FrmView::Box(const QString& text) {
    support::MsgBox(text, support::vbCritical, "View");
}

// ---- Channel set-up

void FrmView::SetShowTag(int c, const QString& tag) {
    Channels[c].ShowTag = tag;
    pctMostra_[c]->setText(Shown(c) ? EyeMark : "");
}

void FrmView::SetDefaultChannels() {
    for (int c = 0; c < 8; ++c) {
        chkSignal_[c]->setChecked(true);
        txtSignal_[c]->setText(names_[c]);
        SetShowTag(c, Channels[c].ShowTag);
    }
    const QSignalBlocker block(cmbChnInj_);
    cmbChnInj_->clear();
    for (int i = 1; i <= 8; ++i) {
        cmbChnInj_->addItem(QString::number(i));
    }
    cmbChnInj_->setCurrentIndex(0);
    SelInjector = 0;
}

void FrmView::FillCylCoilCombos() {
    for (QComboBox* combo : {cmbCyl_, cmbCoil_}) {
        const QSignalBlocker block(combo);
        combo->clear();
        for (const char* item : {"1", "2", "3", "4", "5", "6", "8"}) {
            combo->addItem(item);
        }
        combo->setCurrentIndex(-1);
    }
}

void FrmView::ResizeVisiblePicture() {
    const int h = ReadoutHeight(CheckedCount());
    int top = ReadoutTop;
    for (int c = 0; c < 8; ++c) {
        const bool on = Checked(c);
        lblSignal_[c]->setVisible(on);
        pctMostra_[c]->setVisible(on);
        if (on) {
            ui::MoveTwips(*lblSignal_[c], ReadoutLeft, top, ReadoutWidth, h);
            ui::MoveTwips(*pctMostra_[c], MostraLeft, top, MostraSize, MostraSize);
            top += h + 90;
        }
    }
    PlaceZeroMarks();
}

void FrmView::SetReadoutColors(int c, quint32 fore, quint32 back) {
    readoutBack_[c] = back;
    lblSignal_[c]->setStyleSheet(Css(fore, back));
}

void FrmView::ColorChannelLabels() {
    for (int c = 0; c < 8; ++c) {
        txtSignal_[c]->setStyleSheet(Css(Channels[c].Color, Black));
        SetReadoutColors(c, Channels[c].Color, readoutBack_[c]);
        lblSignal_[c]->setText(txtSignal_[c]->text());
        lblZero_[c]->setStyleSheet(Css(Channels[c].Color, Black));
    }
}

void FrmView::LblSignal_Click(int i) {
    const int s = SelChannel;
    const quint32 b = readoutBack_[i];
    lblSignal_[s]->setFrameShape(QFrame::NoFrame);
    SetReadoutColors(s, Channels[s].Color, b);
    SelChannel = i;
    const quint32 c = Channels[i].Color;
    lblSignal_[i]->setFrameShape(QFrame::Panel);
    SetReadoutColors(i, Black, Channels[i].Color);
    for (QLabel* label : {lblZoomChl_, lblOffset_, lblCN_}) {
        label->setStyleSheet(Css(Black, c));
    }
    lblCN_->setProperty("Tag", QString::number(i));
    lblZero_[i]->raise();
    ShowZoomOffset();
}

void FrmView::PctMostra_Click(int i) {
    if (LoadBusy) {
        return;
    }
    SetShowTag(i, Shown(i) ? "0" : "1");
    auto visibleShown = [this](int c) { return Shown(c) && !pctMostra_[c]->isHidden(); };
    int first = -1;
    for (int c = 0; c < 8 && first < 0; ++c) {
        first = visibleShown(c) ? c : -1;
    }
    if (first < 0) {
        Box("NO CHECK!");
        SetShowTag(i, "1");
    }
    WriteOsciConfig();
    int sel = visibleShown(i) ? i : -1;
    for (int c = 0; c < 8 && sel < 0; ++c) {
        sel = visibleShown(c) ? c : -1;
    }
    LblSignal_Click(sel < 0 ? i : sel);
    PlaceZeroMarks();
    if (!Recording()) {
        RedrawSignals();
    }
}

void FrmView::ChkSignal_Click(int) {
    if (CheckedCount() == 0) {
        Box("NO CHECK!");
        chkSignal_[0]->setChecked(true);
    }
}

void FrmView::CmdEscSet_Click() {
    if (LoadBusy) {
        return;
    }
    WriteOsciConfig();
    frame1_->hide();
    ResizeVisiblePicture();
    LblSignal_Click(SelChannel);
    RedrawOrRestart();
}

void FrmView::OpenCylCoil() {
    auto selectFirstAtLeast = [](QComboBox* combo, int value) {
        for (int i = 0; i < combo->count(); ++i) {
            if (combo->itemText(i).toInt() >= value) {
                combo->setCurrentIndex(i);
                return;
            }
        }
    };
    selectFirstAtLeast(cmbCyl_, Cylinders);
    selectFirstAtLeast(cmbCoil_, Coils);
    QLabel& rpm = *lblSignal_[5];
    ui::MoveTwips(*frame2_, ui::LeftTwips(rpm) + ui::WidthTwips(rpm), ui::TopTwips(rpm),
                  ui::WidthTwips(*frame2_), ui::HeightTwips(*frame2_));
    frame2_->show();
    frame2_->raise();
}

void FrmView::CmdEscCylCoil_Click() {
    if (LoadBusy) {
        return;
    }
    frame2_->hide();
    Cylinders = static_cast<qint16>(cmbCyl_->currentText().toInt());
    Coils = static_cast<qint16>(cmbCoil_->currentText().toInt());
    // The ECU's image stays as read; only the viewer's rpm constant follows the choice.
    ecudata::Mem3Rec counts = ctx_.Images.Mem3Data;
    counts.Cilindri = Cylinders;
    counts.Bobine = Coils;
    ctx_.Scale.K_gm = ecudata::CalcRpmConst(counts);
    RedrawOrRestart();
}

// ---- Keys and mouse

void FrmView::keyReleaseEvent(QKeyEvent* event) {
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_S &&
        mods == (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) {
        ui::MoveTwips(*frame1_, SetUpLeft, SetUpTop, ui::WidthTwips(*frame1_),
                      ui::HeightTwips(*frame1_));
        frame1_->show();
        frame1_->raise();
        return;
    }
    QDialog::keyReleaseEvent(event);
}

bool FrmView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonRelease) {
        return QDialog::eventFilter(watched, event);
    }
    const auto button = static_cast<QMouseEvent*>(event)->button();
    if (watched == label1_ && button == Qt::LeftButton) {
        SetSeekButtons(cmdSeekNext_->isHidden());
        return true;
    }
    for (int c = 0; c < 8; ++c) {
        if (watched == lblSignal_[c]) {
            if (button == Qt::LeftButton) {
                LblSignal_Click(c);
            } else if (button == Qt::RightButton && c == 5) {
                OpenCylCoil();
            }
            return true;
        }
        if (watched == pctMostra_[c] && button == Qt::LeftButton) {
            PctMostra_Click(c);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace viewer
