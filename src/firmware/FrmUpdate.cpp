#include "firmware/FrmUpdate.h"

#include "app/Controls.h"
#include "app/ProgramContext.h"
#include "firmware/FlashProgramming.h"
#include "monitor/ControlLook.h"
#include "support/Clock.h"
#include "support/FileRoutines.h"

#include <QCloseEvent>
#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace firmware {

namespace {

// Geometry in twips.
constexpr int WindowWidth = 8100;
constexpr int WindowHeight = 5400;
constexpr int Margin = 60;
constexpr int Inner = 300;
constexpr int CaptionWidth = 2700;
constexpr int RowHeight = 375;
constexpr int MsgTop = 1500;
constexpr int MsgWidth = WindowWidth - 2 * Inner;
constexpr int MsgHeight = 2400;
constexpr int BottomTop = 4200;
constexpr int BottomHeight = 615;
constexpr int ButtonWidth = 1800;
constexpr int ProgressStep = 15;
constexpr double ProgressPauseUsec = 20000;
constexpr double TogglePauseUsec = 100000;

// BGR colours.
constexpr quint32 PureRed = 0x0000FF;
constexpr quint32 Orange = 0x0080FF;
constexpr quint32 LightRed = 0x8080FF;
constexpr quint32 LightOrange = 0x80C0FF;
constexpr quint32 White = 0xFFFFFF;
constexpr quint32 BarColor = 0xC08000;
constexpr int BlinkMs = 200;

const QString LinkDownText =
    QStringLiteral("The link to the ECU is down. The update goes on once it is back; Esc leaves "
                   "it and closes the program.");

QLabel* MakeLabel(QWidget& parent, const QString& name, int left, int top, int width, int height) {
    auto* label = new QLabel(&parent);
    label->setObjectName(name);
    app::MoveTwips(*label, left, top, width, height);
    return label;
}

} // namespace

FrmUpdate::FrmUpdate(app::ProgramContext& context, QWidget* parent)
    : QDialog(parent), ctx_(context), link_(context.Comm()) {
    setObjectName("FrmUpdate");
    setWindowTitle(FrmUpdateTitle);
    setModal(true);
    BuildControls();
    timer1_.setInterval(BlinkMs);
    connect(&timer1_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(cmdUpdate_, &QPushButton::clicked, this, [this] { CmdUpdate_Click(); });
    connect(cmdEsc_, &QPushButton::clicked, this, [this] { CmdEsc_Click(); });
    Form_Load();
}

void FrmUpdate::BuildControls() {
    setFixedSize(app::ToPixels(WindowWidth), app::ToPixels(WindowHeight));
    monitor::SetBackColor(*this, Orange);
    fmeBack_ = new QFrame(this);
    fmeBack_->setObjectName("FmeBack");
    fmeBack_->setFrameShape(QFrame::Box);
    monitor::SetBackColor(*fmeBack_, support::ColorButtonFace);

    lblRelEcu_ = MakeLabel(*this, "LblRelEcu", Inner, Inner, CaptionWidth, RowHeight);
    lblRelFle_ =
        MakeLabel(*this, "LblRelFle", Inner, Inner + 2 * RowHeight, CaptionWidth, RowHeight);
    const int valueLeft = Inner + CaptionWidth;
    const int valueWidth = WindowWidth - Inner - valueLeft;
    lblRelEcuVal_ = MakeLabel(*this, "LblRelEcu_Val", valueLeft, Inner, valueWidth, RowHeight);
    lblRelFleVal_ =
        MakeLabel(*this, "LblRelFle_Val", valueLeft, Inner + 2 * RowHeight, valueWidth, RowHeight);
    monitor::SetBackColor(*lblRelEcuVal_, LightRed);
    monitor::SetBackColor(*lblRelFleVal_, LightOrange);

    lblMsg_ = MakeLabel(*this, "LblMsg", Inner, MsgTop, MsgWidth, MsgHeight);
    lblMsg_->setWordWrap(true);
    lblMsg_->setAlignment(Qt::AlignCenter);
    QFont msgFont = lblMsg_->font();
    msgFont.setPointSizeF(12);
    msgFont.setBold(true);
    lblMsg_->setFont(msgFont);
    monitor::SetBackColor(*lblMsg_, White);

    cmdUpdate_ = new QPushButton("Next", this);
    cmdUpdate_->setObjectName("CmdUpdate");
    app::MoveTwips(*cmdUpdate_, Inner, BottomTop, ButtonWidth, BottomHeight);
    cmdEsc_ = new QPushButton("Esc", this);
    cmdEsc_->setObjectName("CmdEsc");
    app::MoveTwips(*cmdEsc_, WindowWidth - Inner - ButtonWidth, BottomTop, ButtonWidth,
                   BottomHeight);
    for (QPushButton* button : {cmdUpdate_, cmdEsc_}) {
        button->setAutoDefault(false);
        // Its own face: the window's blinking colour is not the buttons'.
        monitor::SetBackColor(*button, support::ColorButtonFace);
    }

    lblBackBar_ = MakeLabel(*this, "LblBackBar", Inner, BottomTop, MsgWidth, BottomHeight);
    lblBackBar_->setAlignment(Qt::AlignCenter);
    QFont barFont = lblBackBar_->font();
    barFont.setPointSizeF(19.5);
    lblBackBar_->setFont(barFont);
    monitor::SetBackColor(*lblBackBar_, White);
    shpBarUpDate_ = new QFrame(this);
    shpBarUpDate_->setObjectName("ShpBarUpDate");
    monitor::SetFillColor(*shpBarUpDate_, BarColor);
    app::MoveTwips(*shpBarUpDate_, Inner, BottomTop, 0, BottomHeight);
    shpBarUpDate_->raise();
}

void FrmUpdate::Form_Load() {
    const QString icon = ctx_.AppFolder + "/LNG/ico.img";
    if (support::IsFilePresent(icon)) {
        setWindowIcon(QIcon(icon));
    }
    app::MoveTwips(*fmeBack_, Margin, Margin, WindowWidth - 2 * Margin, WindowHeight - 2 * Margin);
    fmeBack_->lower();
    ShowButtons(true, true);
    ShowStrip(false);
    cmdUpdate_->setEnabled(true);
    updateState_ = 0;
    lblRelEcu_->setText(ctx_.Texts.MsgUpdate[2]);
    lblRelFle_->setText(ctx_.Texts.MsgUpdate[3]);
    SetMessage(ctx_.Texts.MsgUpdate[4]);
    ShowIdentities();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    timer1_.start();
}

void FrmUpdate::ShowIdentities() {
    lblRelEcuVal_->setText(link_.FirmwareEcuVersStr() + " - " + link_.FirmwareEcuDataStr());
    lblRelFleVal_->setText(link_.FirmwareFleVersStr() + " - " + link_.FirmwareFleDataStr());
}

void FrmUpdate::Timer1_Timer() {
    monitor::SetBackColor(*this, monitor::BackColor(*this) == PureRed ? Orange : PureRed);
}

void FrmUpdate::CmdEsc_Click() {
    // The procedure runs inside Next's handler: leaving now would close the window under
    // it, with the flash perhaps half written. Only its wait for the link can be left,
    // by the procedure itself.
    if (busy_) {
        leaveWhileWaiting_ = leaveWhileWaiting_ || waitingForLink_;
        return;
    }
    if (updateState_ == 4) {
        Leave(true);
    } else if (updateState_ == 5) {
        Leave(false);
    } else {
        LeaveAsked();
    }
}

void FrmUpdate::LeaveAsked() {
    SetMessage("\r\n" + ctx_.Texts.MsgUpdate[1] + "\r\n\r\n");
    updateState_ = 5;
    cmdUpdate_->setVisible(false);
}

// While the block writes wait for the link the message says so, and Esc takes the
// strip's place.
void FrmUpdate::ShowLinkDown(bool down) {
    waitingForLink_ = down;
    if (down) {
        messageBeforeLinkDown_ = lblMsg_->text();
        SetMessage(LinkDownText);
    } else {
        SetMessage(messageBeforeLinkDown_);
    }
    ShowStrip(!down);
    ShowButtons(false, down);
}

void FrmUpdate::Leave(bool firmwareOk) {
    ctx_.Requests.FirmwareOk = firmwareOk;
    timer1_.stop();
    done(firmwareOk ? QDialog::Accepted : QDialog::Rejected);
}

// The title bar's close button acts as Esc; the Esc key does nothing.
void FrmUpdate::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (!cmdEsc_->isHidden()) {
        CmdEsc_Click();
    }
}

void FrmUpdate::reject() {}

void FrmUpdate::SetMessage(const QString& text) {
    lblMsg_->setText(text);
}

void FrmUpdate::SetPhase(const QString& caption) {
    lblBackBar_->setText(caption);
    phaseLog_.append(caption);
}

void FrmUpdate::SetBarWidth(double twips) {
    barWidth_ = twips;
    app::SetWidthTwips(*shpBarUpDate_, static_cast<int>(twips));
}

void FrmUpdate::ProgressRun() {
    for (int i = 0; i < 10; ++i) {
        SetBarWidth(barWidth_ + ProgressStep);
        support::PauseUsec(ProgressPauseUsec);
    }
}

void FrmUpdate::ToggleBar(int times) {
    for (int i = 0; i < times; ++i) {
        shpBarUpDate_->setVisible(shpBarUpDate_->isHidden());
        support::PauseUsec(TogglePauseUsec);
    }
}

void FrmUpdate::ShowButtons(bool next, bool esc) {
    cmdUpdate_->setVisible(next);
    cmdEsc_->setVisible(esc);
}

void FrmUpdate::ShowStrip(bool shown) {
    lblBackBar_->setVisible(shown);
    shpBarUpDate_->setVisible(shown);
}

void ShowFrmUpdate(app::ProgramContext& context) {
    FrmUpdate window(context);
    window.exec();
}

} // namespace firmware
