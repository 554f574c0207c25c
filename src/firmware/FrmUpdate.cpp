#include "firmware/FrmUpdate.h"

#include "app/CaptionTranslation.h"
#include "app/ProgramContext.h"
#include "firmware/FlashProgramming.h"
#include "firmware/FrmUpdateDesign.h"
#include "support/Clock.h"
#include "support/FileRoutines.h"
#include "support/ProgramTexts.h"
#include "ui/ControlBuilder.h"
#include "ui/ControlLook.h"
#include "ui/Controls.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace firmware {

namespace {

constexpr int ProgressStep = 15;
constexpr double ProgressPauseUsec = 20000;
constexpr double TogglePauseUsec = 100000;
constexpr int BlinkMs = 200;

} // namespace

FrmUpdate::FrmUpdate(app::ProgramContext& context, QWidget* parent)
    : QDialog(parent), ctx_(context), link_(context.Comm()) {
    setObjectName("FrmUpdate");
    setWindowTitle(FrmUpdateTitle);
    setModal(true);
    BuildUpdateControls(*this);
    BindControls();
    timer1_.setInterval(BlinkMs);
    connect(&timer1_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(cmdUpdate_, &QPushButton::clicked, this, [this] { CmdUpdate_Click(); });
    connect(cmdEsc_, &QPushButton::clicked, this, [this] { CmdEsc_Click(); });
    Form_Load();
}

void FrmUpdate::BindControls() {
    lblRelEcu_ = &ui::Bind<QLabel>(*this, "LblRelEcu");
    lblRelFle_ = &ui::Bind<QLabel>(*this, "LblRelFle");
    lblRelEcuVal_ = &ui::Bind<QLabel>(*this, "LblRelEcu_Val");
    lblRelFleVal_ = &ui::Bind<QLabel>(*this, "LblRelFle_Val");
    lblMsg_ = &ui::Bind<QLabel>(*this, "LblMsg");
    cmdUpdate_ = &ui::Bind<QPushButton>(*this, "CmdUpdate");
    cmdEsc_ = &ui::Bind<QPushButton>(*this, "CmdEsc");
    lblBackBar_ = &ui::Bind<QLabel>(*this, "LblBackBar");
    shpBarUpDate_ = &ui::Bind<QFrame>(*this, "ShpBarUpDate");
}

void FrmUpdate::Form_Load() {
    const QString icon = ctx_.AppFolder + "/LNG/ico.img";
    if (support::IsFilePresent(icon)) {
        setWindowIcon(QIcon(icon));
    }
    app::TranslateProgramCaptions(*this);
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
    ui::SetBackColor(*this, ui::BackColor(*this) == PureRed ? Orange : PureRed);
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
        SetMessage(support::Text(support::ProgramText::UpdateLinkDown));
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
    ui::SetWidthTwips(*shpBarUpDate_, static_cast<int>(twips));
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
