#include "viewer/FrmView.h"

#include "app/CommonDialog.h"
#include "app/Controls.h"
#include "app/LinkLogRestart.h"
#include "app/ProgramContext.h"
#include "ecudata/ParamRecords.h"
#include "link/Frames.h"
#include "link/LinkStateMachine.h"
#include "link/RxTxLog.h"
#include "platform/FileCopy.h"
#include "support/Clock.h"
#include "support/Colors.h"
#include "support/Conversions.h"
#include "support/Cursor.h"
#include "support/FileRoutines.h"
#include "support/MessageBox.h"
#include "viewer/FormattedLog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <cmath>

namespace viewer {

namespace {

const QString WindowCaption = "View 1.1 - ";
const QString OpenFilter = "View Files  (*.vfl)|*.vfl|Text Files  (*.txt)|*.txt";
const QString SaveFilter = "View Files  (*.vfl)|*.vfl|";
const QString ExportFilter = "Mod Files (*.txt)|*.txt|";
const QString Loading = "LOADING";
const QString Saving = "SAVING";
constexpr int ReadoutLeft = 9855;
constexpr int ReadoutTop = 705;
constexpr int ReadoutWidth = 2400;
constexpr int LoadingWidth = 4155;
constexpr quint32 White = 0xFFFFFF;
constexpr quint32 Black = 0;

QColor Bgr(quint32 bgr) {
    return support::ColorFromBgr(bgr);
}

// Lets the busy bar and the link run during a long load, without the installer's input
// starting another command inside it.
void LetEventsRun() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

template <class W> W* Make(QWidget* parent, const QString& name, int l, int t, int w, int h) {
    auto* widget = new W(parent);
    widget->setObjectName(name);
    app::MoveTwips(*widget, l, t, w, h);
    return widget;
}

QPushButton* Button(QWidget* parent, const QString& name, const QString& caption, int l, int t,
                    int w = 1560, int h = 420) {
    auto* b = Make<QPushButton>(parent, name, l, t, w, h);
    b->setText(caption);
    b->setAutoDefault(false);
    return b;
}

QLabel* Label(QWidget* parent, const QString& name, const QString& caption, int l, int t, int w,
              int h) {
    auto* label = Make<QLabel>(parent, name, l, t, w, h);
    label->setText(caption);
    return label;
}

// Option and check boxes take a click anywhere on their area, not only on the mark and
// the caption's text.
template <class Box> class WholeArea : public Box {
public:
    using Box::Box;

protected:
    bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }
};

QString Css(quint32 fore, quint32 back) {
    return QString("color:%1;background-color:%2;").arg(Bgr(fore).name(), Bgr(back).name());
}

QString LimitedSettingsText(const QString& path, const QStringList& keys) {
    return QString("%1: values out of range, limited to what the viewer shows: %2.")
        .arg(path, keys.join(", "));
}

QString NoSamplesText(const QString& path) {
    return QString("%1 holds no samples: it is neither a link log nor a formatted log.").arg(path);
}

} // namespace

// The plot area: a kept picture in twips (drawn on, never lost on repaint), the grid's
// dots over it, and the mouse position reported for the cursor.
class PlotPicture : public QWidget {
public:
    explicit PlotPicture(QWidget* parent)
        : QWidget(parent),
          picture_(app::ToPixels(PlotWidth), app::ToPixels(PlotHeight), QImage::Format_RGB32) {
        picture_.fill(Qt::black);
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    void Clear() {
        Painter().fillRect(picture_.rect(), Qt::black);
        update();
    }
    void Line(int x1, int y1, int x2, int y2, quint32 bgr) {
        QPainter& p = Painter();
        p.setPen(QPen(Bgr(bgr), 0));
        p.drawLine(QPointF(x1 / 15.0, y1 / 15.0), QPointF(x2 / 15.0, y2 / 15.0));
        update();
    }
    void Erase(int x1, int x2) {
        Painter().fillRect(QRectF(x1 / 15.0, 0, (x2 - x1) / 15.0, picture_.height()), Qt::black);
        update();
    }
    void SetGrid(std::vector<QPoint> dots) {
        dots_ = std::move(dots);
        update();
    }
    int DotCount() const { return static_cast<int>(dots_.size()); }

    std::function<void(double x)> onMouseMove;

protected:
    void paintEvent(QPaintEvent*) override {
        painter_.reset(); // what was drawn since the last paint reaches the picture
        QPainter p(this);
        p.drawImage(0, 0, picture_);
        const QColor grey = Bgr(0xE0E0E0);
        for (const QPoint& d : dots_) {
            p.fillRect(app::ToPixels(d.x()), app::ToPixels(d.y()), 2, 2, grey);
        }
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (onMouseMove) {
            onMouseMove(app::ToTwips(static_cast<int>(event->position().x())));
        }
    }

private:
    // One painter for all the lines drawn between two paints: a redraw of thousands of
    // segments does not begin and end a painter for each.
    QPainter& Painter() {
        if (!painter_) {
            painter_ = std::make_unique<QPainter>(&picture_);
        }
        return *painter_;
    }

    QImage picture_;
    std::unique_ptr<QPainter> painter_;
    std::vector<QPoint> dots_;
};

std::array<QString, 8>
ViewChannelNames(const std::function<QString(const QString& label)>& caption) {
    // Channel c takes the label of entry ChannelLabel[c].
    static const std::array<const char*, 8> labels{"LblCalInjTg",   "LblCalInjTp",  "LblCalPres",
                                                   "LblCalVacuum",  "LblCalLambda", "LblCalRpm",
                                                   "LblCalTempGas", "LblCalTempVap"};
    std::array<QString, 8> names;
    for (std::size_t c = 0; c < names.size(); ++c) {
        names[c] = caption(labels[c]).trimmed();
    }
    return names;
}

FrmView::FrmView(app::ProgramContext& context, const std::array<QString, 8>& names, QWidget* owner)
    : QDialog(owner), ctx_(context), names_(names) {
    setObjectName("FrmView");
    setWindowTitle(WindowCaption);
    setModal(true);
    BuildControls();
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

void FrmView::BuildControls() {
    resize(app::ToPixels(14160), app::ToPixels(8040));
    pctOffset_ = Make<QWidget>(this, "PctOffset", 120, 120, 195, PlotHeight);
    pctSignal_ = Make<PlotPicture>(this, "PctSignal", 315, 120, PlotWidth, PlotHeight);
    pctSignal_->onMouseMove = [this](double x) {
        if (FileLoadBusy || cursorGuard_) {
            return;
        }
        cursorGuard_ = true;
        ShowCursorValues(x);
        cursorGuard_ = false;
    };
    lneCursor_ = Make<QFrame>(pctSignal_, "LneCursor", 0, 0, 15, PlotHeight);
    lneCursor_->setStyleSheet("background-color:#c0c0c0;");
    lneCursor_->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto* rif = Label(this, "PctMostraRif", "\u25c9", 0, 0, 255, 255);
    rif->hide();
    for (int c = 0; c < 8; ++c) {
        lblZero_[c] =
            Label(pctOffset_, app::ArrayName("LblZero", c), ">", 0, 0, 195, ZeroMarkHeight);
        pctMostra_[c] = Label(this, app::ArrayName("PctMostra", c), "", 9555, 0, 255, 255);
        pctMostra_[c]->installEventFilter(this);
        lblSignal_[c] =
            Label(this, app::ArrayName("LblSignal", c), "", ReadoutLeft, 0, ReadoutWidth, 585);
        lblSignal_[c]->installEventFilter(this);
        readoutBack_[c] = Black;
    }
    lblCN_ = Label(this, "LblCN", "", 9555, 120, 300, 435);
    lblZoomChl_ = Label(this, "LblZoomChl", "", 9900, 120, 1100, 435);
    lblOffset_ = Label(this, "LblOffset", "", 11100, 120, 1155, 435);

    constexpr int col = 12480;
    connect(Button(this, "CmdZoomIn", "Zoom +", col, 120), &QPushButton::clicked, this,
            [this] { CmdZoom_Click(true); });
    connect(Button(this, "CmdZoomOut", "Zoom -", col, 600), &QPushButton::clicked, this,
            [this] { CmdZoom_Click(false); });
    connect(Button(this, "CmdUp", "Up", col, 1140), &QPushButton::clicked, this,
            [this] { CmdOffset_Click(false); });
    connect(Button(this, "CmdDw", "Down", col, 1620), &QPushButton::clicked, this,
            [this] { CmdOffset_Click(true); });
    connect(Button(this, "CmdReset", "Reset", col, 2160), &QPushButton::clicked, this,
            [this] { CmdReset_Click(); });
    lblSecDiv_ = Label(this, "LblSecDiv", "", col, 2700, 1560, 375);
    lblSecDiv_->setAlignment(Qt::AlignCenter);
    cmdSecDivP_ = Button(this, "CmdSecDivP", "s/div +", col, 3120);
    connect(cmdSecDivP_, &QPushButton::clicked, this, [this] { CmdSecDiv_Click(true); });
    cmdSecDivM_ = Button(this, "CmdSecDivM", "s/div -", col, 3600);
    connect(cmdSecDivM_, &QPushButton::clicked, this, [this] { CmdSecDiv_Click(false); });
    cmbChnInj_ = Make<QComboBox>(this, "CmbChnInj", col, 4140, 1560, 375);
    connect(cmbChnInj_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0) {
            return;
        }
        SelInjector = index;
        if (!Recording()) {
            RedrawSignals();
        }
    });
    optRun_[0] = Make<WholeArea<QRadioButton>>(this, "OptRun(0)", col, 4680, 1560, 375);
    optRun_[0]->setText("Run");
    optRun_[1] = Make<WholeArea<QRadioButton>>(this, "OptRun(1)", col, 5100, 1560, 375);
    optRun_[1]->setText("Stop");
    for (int i = 0; i < 2; ++i) {
        connect(optRun_[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) {
                OptRun_Click(i);
            }
        });
    }
    cmdOpen_ = Button(this, "CmdOpen", "Open", col, 5640);
    connect(cmdOpen_, &QPushButton::clicked, this, [this] { CmdOpen_Click(); });
    cmdReload_ = Button(this, "CmdReload", "Reload", col, 6120);
    connect(cmdReload_, &QPushButton::clicked, this, [this] { CmdReload_Click(); });
    cmdSaveLogOsc_ = Button(this, "CmdSaveLogOsc", "Save", col, 6600);
    connect(cmdSaveLogOsc_, &QPushButton::clicked, this, [this] { SaveRawLog(); });
    connect(Button(this, "CmdEsporta", "Export", col, 7080), &QPushButton::clicked, this,
            [this] { CmdEsporta_Click(); });

    sldSample_ = Make<QSlider>(this, "SldSample", 315, 7410, PlotWidth, 375);
    sldSample_->setOrientation(Qt::Horizontal);
    sldSample_->setMaximum(0);
    connect(sldSample_, &QSlider::valueChanged, this, [this] { SldSample_Change(); });
    cmdSeekPrev_ = Button(this, "CmdSeekPrev", "<<", 315, 7410, 600, 375);
    connect(cmdSeekPrev_, &QPushButton::clicked, this, [this] { CmdSeek_Click(-1); });
    cmdSeekNext_ = Button(this, "CmdSeekNext", ">>", 8835, 7410, 600, 375);
    connect(cmdSeekNext_, &QPushButton::clicked, this, [this] { CmdSeek_Click(1); });
    cmdSeekPrev_->hide();
    cmdSeekNext_->hide();
    lblOffsetTime_ = Label(this, "LblOffsetTime", "", ReadoutLeft, 7410, ReadoutWidth, 375);

    lblLoading_ = Label(this, "LblLoading", "", 2797, 3400, LoadingWidth, 495);
    lblLoading_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblLoading_->setStyleSheet("background-color:#ffffff;color:#000000;");
    lblLoading_->hide();
    shpLoading_ = Make<QFrame>(this, "ShpLoading", 2797, 3775, 0, 120);
    shpLoading_->setStyleSheet("background-color:#000080;");
    shpLoading_->hide();

    frame1_ = Make<QGroupBox>(this, "Frame1", 15, 30, 5040, 4260);
    frame1_->setTitle("Setting");
    for (int c = 0; c < 8; ++c) {
        chkSignal_[c] = Make<WholeArea<QCheckBox>>(frame1_, app::ArrayName("ChkSignal", c), 120,
                                                   300 + c * 420, 1800, 375);
        chkSignal_[c]->setText(ChannelCaptions[c]);
        connect(chkSignal_[c], &QCheckBox::clicked, this, [this, c] { ChkSignal_Click(c); });
        txtSignal_[c] = Make<QLineEdit>(frame1_, app::ArrayName("TxtSignal", c), 2040,
                                        300 + c * 420, 2760, 375);
    }
    connect(Button(frame1_, "CmdEscSet", "Esc", 120, 3720, 1200, 375), &QPushButton::clicked, this,
            [this] { CmdEscSet_Click(); });
    frame1_->hide();

    frame2_ = Make<QGroupBox>(this, "Frame2", 0, 0, 2400, 2040);
    frame2_->setTitle(" Cilinder && Coil ");
    label1_ = Label(frame2_, "Label1", "CYLINDER", 120, 300, 1000, 300);
    label1_->installEventFilter(this);
    cmbCyl_ = Make<QComboBox>(frame2_, "CmbCyl", 1200, 270, 1080, 375);
    Label(frame2_, "Label2", "COIL", 120, 780, 1000, 300);
    cmbCoil_ = Make<QComboBox>(frame2_, "CmbCoil", 1200, 750, 1080, 375);
    connect(Button(frame2_, "CmdEscCylCoil", "Esc", 120, 1440, 1200, 375), &QPushButton::clicked,
            this, [this] { CmdEscCylCoil_Click(); });
    frame2_->hide();
}

// ---- Load, Run and Stop

void FrmView::Form_Load() {
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

bool FrmView::Recording() const {
    return optRun_[0]->isChecked();
}

void FrmView::OptRun_Click(int index) {
    const support::CursorOverride hourglass(Qt::WaitCursor);
    if (index == 0) {
        StopRequest = false;
        sldSample_->hide();
        cmdReload_->setEnabled(false);
        cmdOpen_->setEnabled(false);
        cmdSaveLogOsc_->setEnabled(false);
        ShowSecDiv();
        WriteOsciConfig();
        StartRecording();
        RewriteRecordingLog();
        // The log decoded at Stop keeps its header and the whole recording.
        ctx_.Comm().RxTxLog().HoldRestart = true;
        timer1_.start();
    } else {
        StopRequest = true;
    }
    ShowLoading(false, Loading);
}

bool FrmView::RewriteRecordingLog() {
    const QString header = app::LinkLogHeader(support::GetTimeUsec(), ctx_.Texts.AppTitle,
                                              QDateTime::currentDateTime());
    const QString path = comm::RxTxLogPath(ctx_.AppFolder);
    QString why;
    if (!WriteRecordingLog(path, header, ctx_.Scale.K_gm, ctx_.DecimalSep, &why)) {
        Box("RewriteRecordingLog_Err: " + path + ": " + why);
        return false;
    }
    return true;
}

void FrmView::ClearStore() {
    ViewSamples.assign(StoreSize, Mem1Rec{});
    stored_ = 0;
}

void FrmView::SetSourcePath(const QString& path) {
    // A page position belongs to its file; reloads and page steps keep it.
    if (path != SourcePath) {
        PagePos = 1;
    }
    SourcePath = path;
}

void FrmView::SetCaptionSource(const QString& source) {
    setWindowTitle(WindowCaption + "[" + source + "]");
}

void FrmView::StartRecording() {
    SliderLock = true;
    sldSample_->setValue(0);
    SliderLock = false;
    ClearStore();
    SetSourcePath(comm::RxTxLogPath(ctx_.AppFolder));
    SetCaptionSource("- - -");
    comm::SendMsgAndWait(ctx_.Comm(),
                         comm::BuildMsg(comm::ReqHeader, comm::ReqByte2, comm::CMD_READ_MEM1, {}));
    LastSample = 0;
    ViewSamples[0] = ctx_.Images.Mem1Data;
    stored_ = 1;
    pctSignal_->Clear();
}

void FrmView::Timer1_Timer() {
    if (TickBusy) {
        return;
    }
    TickBusy = true;
    if (ctx_.Comm().WDogPresente()) {
        ShowLoading(true, ctx_.Texts.MsgComError);
    } else {
        ShowLoading(false, Loading);
        const bool good = comm::SendMsgAndWait(
            ctx_.Comm(), comm::BuildMsg(comm::ReqHeader, comm::ReqByte2, comm::CMD_READ_MEM1, {}));
        if (good && ViewSamples.size() == StoreSize) {
            ++LastSample;
            ViewSamples[LastSample] = ctx_.Images.Mem1Data;
            stored_ = std::max(stored_, static_cast<std::size_t>(LastSample) + 1);
            DrawNewSamples(LastSample);
            // A store full before the sweep reaches the right edge wraps it early.
            if (LastSample >= static_cast<int>(StoreSize) - 1) {
                LastSample = -1;
            }
            ShowCursorValues(cursorX_);
        }
    }
    TickBusy = false;
    if (StopRequest) {
        StopRecording();
    }
    if (CloseRequest) {
        timer1_.stop();
        unloaded_ = true;
        done(0);
    }
}

void FrmView::StopRecording() {
    timer1_.stop();
    sldSample_->show();
    cmdReload_->setEnabled(true);
    cmdOpen_->setEnabled(true);
    cmdSaveLogOsc_->setEnabled(true);
    if (support::MsgBox("DO YOU WANT SAVE LAST DATA?", support::vbYesNo, "View") ==
        support::vbYes) {
        ctx_.Comm().LoadWDogSend();
        SaveRawLog();
    }
    if (support::IsFilePresent(SourcePath)) {
        LoadLogFile(SourcePath, 0);
        SetSliderRange(false);
        RedrawSignals();
        ShowLoading(false, Loading);
    }
    ctx_.Comm().RxTxLog().HoldRestart = false;
    StopRequest = false;
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

// ---- Files

void FrmView::LoadLogFile(const QString& path, int direction) {
    FileLoadBusy = true;
    LetEventsRun();
    struct Done {
        FrmView& v;
        ~Done() {
            v.FileLoadBusy = false;
            v.ShowLoading(false, Loading);
        }
    } done{*this};
    auto progress = [this, n = 0]() mutable {
        ShowLoading(true, Loading);
        if (++n % 256 == 0) {
            LetEventsRun();
        }
    };
    switch (ProbeLogKind(path)) {
    case LogKind::LinkLog: {
        QString error;
        ctx_.Scale.K_gm = ReadLogKgm(path, ctx_.DecimalSep, error);
        if (!error.isEmpty()) {
            Box("CaricaCostantiRxTx_Err:" + error);
        }
        LinkLogLoad load = LoadLinkLog(path, PagePos, direction, ctx_.Scale, progress);
        ViewSamples = std::move(load.samples);
        TimeFirst = load.TimeFirst;
        TimeLast = load.TimeLast;
        LogStartTime = load.LogStartTime;
        PagePos = load.page.PagePos;
        SetSeekButtons(load.page.Paged);
        cmdSeekNext_->setEnabled(load.page.NextEnabled);
        cmdSeekPrev_->setEnabled(load.page.PrevEnabled);
        if (!load.error.isEmpty()) {
            Box("CaricaLogRxTx_Err:" + load.error);
        }
        if (ctx_.DeveloperView && load.ChecksumErrors > 0) {
            support::MsgBox("Num checksum error: " + QString::number(load.ChecksumErrors),
                            support::vbOKOnly, "View");
        }
        break;
    }
    case LogKind::FormattedLog: {
        FormattedLogLoad load = LoadFormattedLog(path, Recording(), ctx_.DecimalSep, progress);
        ViewSamples = std::move(load.samples);
        TimeFirst = load.TimeFirst;
        TimeLast = load.TimeLast;
        if (!load.error.isEmpty()) {
            Box("LoadFormattedLog_Err: " + load.error);
        }
        break;
    }
    case LogKind::None:
        // Nothing of the file before stays on screen under the new name.
        ViewSamples.assign(1, Mem1Rec{});
        TimeFirst = 0;
        TimeLast = 0;
        LogStartTime = 0;
        SetSeekButtons(false);
        support::MsgBox(NoSamplesText(path), support::vbExclamation, "View");
        break;
    }
    stored_ = ViewSamples.size();
}

void FrmView::SaveRawLog() {
    app::FileDialogRequest request{app::FileDialogAction::Save, ctx_.AppFolder + "/SAMPLES",
                                   SaveFilter, 1};
    const QString name = app::ShowFileDialog(this, request);
    ctx_.Comm().LoadWDogSend();
    if (name.isEmpty()) {
        ShowLoading(false, Loading);
        return;
    }
    ShowLoading(true, Saving);
    QString why;
    if (QFileInfo(name) != QFileInfo(SourcePath) &&
        !platform::CopyFileOverwrite(SourcePath, name, &why)) {
        Box("SaveRawLog_Err: " + name + ": " + why);
        ShowLoading(false, Loading);
        return;
    }
    SetCaptionSource(name);
    if (ProbeLogKind(name) == LogKind::LinkLog) {
        const support::CursorOverride hourglass(Qt::WaitCursor);
        QString error;
        if (!CleanLogRxTx(name, error)) {
            Box("CleanLogRxTx_Err: " + name + ": " + error);
        }
    }
    ShowLoading(false, Loading);
}

void FrmView::CmdOpen_Click() {
    app::FileDialogRequest request{app::FileDialogAction::Open, ctx_.AppFolder + "/SAMPLES",
                                   OpenFilter, 1};
    const QString name = app::ShowFileDialog(this, request);
    if (name.isEmpty() || !QFileInfo(name).isFile()) {
        return;
    }
    ShowLoading(true, Loading);
    const support::CursorOverride hourglass(Qt::WaitCursor);
    SetSourcePath(name);
    SetCaptionSource(name);
    WriteOsciConfig();
    LoadLogFile(SourcePath, 0);
    SetSliderRange(true);
    RedrawSignals();
    ShowLoading(false, Loading);
}

void FrmView::CmdSeek_Click(int direction) {
    if (!QFileInfo(SourcePath).isFile()) {
        return;
    }
    LoadLogFile(SourcePath, direction);
    SetSliderRange(true);
    RedrawSignals();
    ShowLoading(false, Loading);
}

void FrmView::CmdReload_Click() {
    const support::CursorOverride hourglass(Qt::WaitCursor);
    cmdReload_->setEnabled(false);
    ShowLoading(true, Loading);
    if (QFileInfo(SourcePath).isFile()) {
        LoadLogFile(SourcePath, 0);
        SetSliderRange(true);
        RedrawSignals();
    }
    ShowLoading(false, Loading);
    cmdReload_->setEnabled(true);
}

void FrmView::CmdEsporta_Click() {
    LetEventsRun();
    app::FileDialogRequest request{app::FileDialogAction::Save, ctx_.AppFolder + "/SAMPLES",
                                   ExportFilter, 1};
    const QString name = app::ShowFileDialog(this, request);
    if (name.isEmpty()) {
        return;
    }
    std::array<QString, 8> names;
    for (int c = 0; c < 8; ++c) {
        names[c] = txtSignal_[c]->text();
    }
    // While recording only the slots that hold a sample are written.
    const std::size_t count = Recording() ? stored_ : ViewSamples.size();
    QString error;
    if (!WriteTextFile(name, ExportText(ViewSamples, count, SelInjector, names, ctx_.DecimalSep),
                       error)) {
        Box("CmdEsporta_Err: " + name + ": " + error);
    }
}

void FrmView::WriteOsciConfig() {
    QString error;
    if (!viewer::WriteOsciConfig(OsciConfigPath(ctx_.AppFolder), Channels, ctx_.DecimalSep,
                                 error)) {
        Box("WriteOsciConfig_Err: " + error);
    }
}

void FrmView::Box(const QString& text) {
    support::MsgBox(text, support::vbCritical, "View");
}

// ---- Plot

bool FrmView::Checked(int c) const {
    return chkSignal_[c]->isChecked();
}

bool FrmView::Shown(int c) const {
    return Channels[c].ShowTag.trimmed().toDouble() == 1;
}

void FrmView::DrawSegments(int a, int b, int xa, int xb) {
    Mem1Rec& ra = ViewSamples[a];
    const Mem1Rec& rb = ViewSamples[b];
    for (int c = 0; c < 8; ++c) {
        if (!Checked(c) || !Shown(c) || ra.TimeStamp <= 0) {
            continue;
        }
        if (c == 5 && ra.Rpm > MaxRpm) {
            ra.Rpm = 0;
        }
        const ChannelSetting& s = Channels[c];
        const int ya = YOfValue(s.Offset, ChannelValue(ra, c, SelInjector), s.Zoom);
        const int yb = YOfValue(s.Offset, ChannelValue(rb, c, SelInjector), s.Zoom);
        pctSignal_->Line(xa, yb, xb, yb, s.Color);
        pctSignal_->Line(xa, yb, xa, ya, s.Color);
    }
}

void FrmView::DrawTick(int x) {
    pctSignal_->Line(x, PlotHeight - 75, x, PlotHeight - 90, White);
}

void FrmView::RedrawSignals() {
    pctSignal_->Clear();
    const double k = MsPerTwip(SecDiv);
    const int s = FirstDrawnSample(ViewSamples, sldSample_->value());
    LastSample = s;
    const int last = static_cast<int>(ViewSamples.size()) - 1;
    for (int j = s + 1; j <= last; ++j) {
        const int a = j - 1;
        const int xa = XOfStart(ViewSamples[a].TimeStamp, ViewSamples[s].TimeStamp, k);
        const int xb = XOfEnd(ViewSamples[a].TimeStamp, ViewSamples[j].TimeStamp, xa, k);
        DrawSegments(a, j, xa, xb);
        if (xa > PlotWidth) {
            break;
        }
        DrawTick(xa);
    }
    // The readouts belong to the data on the picture, not to what was there before.
    ShowCursorValues(cursorX_);
}

void FrmView::DrawNewSamples(int& n) {
    int xa = 0;
    int xb = 0;
    if (n > 0 && n < static_cast<int>(ViewSamples.size())) {
        const double k = MsPerTwip(SecDiv);
        xa = XOfStart(ViewSamples[n - 1].TimeStamp, ViewSamples[0].TimeStamp, k);
        xb = XOfEnd(ViewSamples[n - 1].TimeStamp, ViewSamples[n].TimeStamp, xa, k);
        DrawSegments(n - 1, n, xa, xb);
    }
    if (xa > PlotWidth) {
        n = -1;
    } else {
        pctSignal_->Erase(xb + 15, xb + 150);
    }
    DrawTick(xa);
    LastX = xb;
}

void FrmView::CaricaGriglia(bool build) {
    pctSignal_->SetGrid(build ? GridDots() : std::vector<QPoint>{});
}

int FrmView::GridDotCount() const {
    return pctSignal_->DotCount();
}

// ---- Channel set-up

void FrmView::SetShowTag(int c, const QString& tag) {
    Channels[c].ShowTag = tag;
    pctMostra_[c]->setText(Shown(c) ? "\u25c9" : "");
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
    int n = 0;
    for (int c = 0; c < 8; ++c) {
        n += Checked(c) ? 1 : 0;
    }
    const int h = ReadoutHeight(n);
    int top = ReadoutTop;
    for (int c = 0; c < 8; ++c) {
        const bool on = Checked(c);
        lblSignal_[c]->setVisible(on);
        pctMostra_[c]->setVisible(on);
        if (on) {
            app::MoveTwips(*lblSignal_[c], ReadoutLeft, top, ReadoutWidth, h);
            app::MoveTwips(*pctMostra_[c], 9555, top, 255, 255);
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
    int n = 0;
    for (int c = 0; c < 8; ++c) {
        n += Checked(c) ? 1 : 0;
    }
    if (n == 0) {
        Box("NO CHECK!");
        chkSignal_[0]->setChecked(true);
    }
}

void FrmView::RestartSweep() {
    LastSample = -1;
    pctSignal_->Clear();
    ClearStore();
}

void FrmView::AfterChange(bool restart) {
    if (!Recording()) {
        SetSliderRange(false);
        RedrawSignals();
    } else if (restart) {
        RestartSweep();
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
    if (!Recording()) {
        RedrawSignals();
    } else {
        RestartSweep();
    }
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
    app::MoveTwips(*frame2_, app::LeftTwips(rpm) + app::WidthTwips(rpm), app::TopTwips(rpm),
                   app::WidthTwips(*frame2_), app::HeightTwips(*frame2_));
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
    if (!Recording()) {
        RedrawSignals();
    } else {
        RestartSweep();
    }
}

// ---- Zoom, offset, time base, slider, cursor

void FrmView::CmdOffset_Click(bool down) {
    double& o = Channels[SelChannel].Offset;
    o = down ? OffsetDown(o, MaxOffset) : OffsetUp(o);
    PlaceZeroMarks();
    ShowZoomOffset();
    WriteOsciConfig();
    AfterChange(false);
}

void FrmView::CmdZoom_Click(bool in) {
    double& z = Channels[SelChannel].Zoom;
    z = in ? ZoomIn(z) : ZoomOut(z);
    ShowZoomOffset();
    WriteOsciConfig();
    AfterChange(false);
}

void FrmView::CmdReset_Click() {
    for (int c = 0; c < 8; ++c) {
        Channels[c].Zoom = DefaultZooms[c];
        Channels[c].Offset = DefaultOffsets[c];
    }
    PlaceZeroMarks();
    ShowZoomOffset();
    WriteOsciConfig();
    AfterChange(false);
}

void FrmView::CmdSecDiv_Click(bool up) {
    const SecDivStep step = up ? SecDivUp(SecDiv) : SecDivDown(SecDiv);
    if (step.UpEnabled) {
        cmdSecDivP_->setEnabled(*step.UpEnabled);
    }
    if (step.DownEnabled) {
        cmdSecDivM_->setEnabled(*step.DownEnabled);
    }
    if (!step.Changed) {
        return;
    }
    SecDiv = step.SecDiv;
    if (step.FocusDown) {
        cmdSecDivM_->setFocus();
    }
    if (step.FocusUp) {
        cmdSecDivP_->setFocus();
    }
    ShowSecDiv();
    WriteOsciConfig();
    SetSliderRange(false);
    if (!Recording()) {
        RedrawSignals();
    } else {
        RestartSweep();
    }
}

void FrmView::SetSliderRange(bool toStart) {
    const auto range = SliderRangeFor(SecDiv, TimeFirst, TimeLast);
    if (!range) {
        // Data without a span: no position of an earlier file's range stays behind.
        SliderLock = true;
        sldSample_->setMaximum(0);
        SliderLock = false;
        return;
    }
    const int v = sldSample_->value();
    SliderLock = true;
    sldSample_->setMaximum(range->Max);
    sldSample_->setPageStep(range->LargeChange);
    if (!Recording() && v > range->Max) {
        sldSample_->setValue(range->Max);
    }
    if (Recording() || toStart) {
        sldSample_->setValue(0);
    }
    SliderLock = false;
}

void FrmView::SldSample_Change() {
    if (SliderLock) {
        return;
    }
    SliderLock = true;
    const support::CursorOverride hourglass(Qt::WaitCursor);
    RedrawSignals();
    ShowCursorValues(cursorX_);
    SliderLock = false;
}

void FrmView::ShowCursorValues(double x) {
    cursorX_ = x;
    lneCursor_->move(app::ToPixels(static_cast<int>(x)), 0);
    const double k = MsPerTwip(SecDiv);
    int index = -1;
    if (Recording()) {
        lblOffsetTime_->clear();
        index = RecordingCursorIndex(ViewSamples, x, LastX, LastSample, k);
    } else {
        double t = x * k + sldSample_->value();
        if (PagePos > 1) {
            t += TimeFirst - LogStartTime;
        }
        lblOffsetTime_->setText(CursorTimeText(t, ctx_.DecimalSep));
        index = ViewingCursorIndex(ViewSamples, x, sldSample_->value(), TimeFirst, LastSample, k);
    }
    const bool valid = index >= 0 && index < static_cast<int>(ViewSamples.size());
    for (int c = 0; c < 8; ++c) {
        QString text = txtSignal_[c]->text();
        if (valid) {
            text += "\n" + (!lblSignal_[c]->isHidden() && Shown(c)
                                ? ReadoutText(ViewSamples[index], c, SelInjector, ctx_.DecimalSep)
                                : QString("- - -"));
        }
        lblSignal_[c]->setText(text);
    }
}

void FrmView::ShowSecDiv() {
    lblSecDiv_->setText(SecDivText(SecDiv, ctx_.DecimalSep));
}

void FrmView::ShowZoomOffset() {
    lblZoomChl_->setText(ZoomText(Channels[SelChannel].Zoom, ctx_.DecimalSep));
    lblOffset_->setText(OffsetText(Channels[SelChannel].Offset));
}

void FrmView::PlaceZeroMarks() {
    for (int c = 0; c < 8; ++c) {
        app::MoveTwips(*lblZero_[c], 0, static_cast<int>(std::lround(Channels[c].Offset)), 195,
                       ZeroMarkHeight);
        lblZero_[c]->setVisible(Checked(c) && Shown(c));
    }
}

void FrmView::ShowLoading(bool show, const QString& caption) {
    if (!show) {
        lblLoading_->hide();
        shpLoading_->hide();
        app::SetWidthTwips(*shpLoading_, 0);
        return;
    }
    const double now = support::GetTimeUsec();
    if (now <= loadingNextStep_) {
        return;
    }
    if (lblLoading_->isHidden()) {
        lblLoading_->setText(caption);
        lblLoading_->show();
        shpLoading_->show();
        lblLoading_->raise();
        shpLoading_->raise();
    }
    int width = app::WidthTwips(*shpLoading_) + 120;
    if (width >= LoadingWidth - 105) {
        width = 0;
    }
    app::SetWidthTwips(*shpLoading_, width);
    loadingNextStep_ = now + 250000;
}

void FrmView::SetSeekButtons(bool show) {
    cmdSeekPrev_->setVisible(show);
    cmdSeekNext_->setVisible(show);
    if (show) {
        app::MoveTwips(*sldSample_, 915, 7410, PlotWidth - 1200, 375);
    } else {
        app::MoveTwips(*sldSample_, 315, 7410, PlotWidth, 375);
    }
}

// ---- Keys and mouse

void FrmView::keyReleaseEvent(QKeyEvent* event) {
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_S &&
        mods == (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) {
        app::MoveTwips(*frame1_, 15, 30, app::WidthTwips(*frame1_), app::HeightTwips(*frame1_));
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
