#include "monitor/StatusIndicators.h"

#include "app/FrmLX735.h"
#include "app/ProgramContext.h"
#include "support/Colors.h"
#include "ui/ControlBuilder.h"
#include "ui/ControlLook.h"
#include "ui/TextCell.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <cmath>

namespace monitor {

namespace {

constexpr quint8 FuelGas = 3;
constexpr quint8 FuelPetrol = 0;
constexpr quint8 FlagEmulation = 0x02;
constexpr quint8 FlagAcquisition = 0x10;
constexpr int CompEnableEntry = 30;

// A lamp is changed only when it disagrees with the ECU, so that it does not flicker.
void ShowLamp(QCheckBox& lamp, quint8 state) {
    if (lamp.isChecked() && state == 0) {
        lamp.setChecked(false);
        ui::SetBackColor(lamp, support::ColorButtonFace);
    } else if (!lamp.isChecked() && state == 1) {
        lamp.setChecked(true);
        ui::SetBackColor(lamp, ui::ColorButtonShadow);
    }
}

void SetLamp(QCheckBox& lamp, bool ticked, const char* caption) {
    lamp.setChecked(ticked);
    ui::SetBackColor(lamp, ticked ? ui::ColorButtonShadow : support::ColorButtonFace);
    lamp.setText(caption);
}

// Lamps show the ECU's state: neither the keyboard nor the mouse operates them. They
// read as lit or dark buttons, by their colour, without a tick mark.
void MakeLamp(QCheckBox& lamp) {
    lamp.setFocusPolicy(Qt::NoFocus);
    lamp.setAttribute(Qt::WA_TransparentForMouseEvents);
    lamp.setStyleSheet(
        "QCheckBox { spacing: 0px; } QCheckBox::indicator { width: 0px; height: 0px; }");
}

} // namespace

QString LinkTimeText(double seconds) {
    const auto whole = static_cast<qint64>(std::floor(std::max(seconds, 0.0)));
    const qint64 inDay = whole % 86400;
    return QStringLiteral("%1:%2:%3")
        .arg(inDay / 3600)
        .arg(inDay / 60 % 60, 2, 10, QChar('0'))
        .arg(inDay % 60, 2, 10, QChar('0'));
}

StatusIndicators::StatusIndicators(app::ProgramContext& context, app::FrmLX735& window)
    : ctx_(context), window_(window), key_(ui::Bind<QCheckBox>(window, "CkbKey")),
      valve1_(ui::Bind<QCheckBox>(window, "CkbeV_01")),
      valve2_(ui::Bind<QCheckBox>(window, "CkbeV_02")),
      fuel_(ui::Bind<QCheckBox>(window, "CkbStatoAlim")),
      mode_(ui::Bind<QCheckBox>(window, "CkbStatoEcu")),
      acquisition_(ui::Bind<QCheckBox>(window, "ChkAbilAcqVacum")),
      linkTime_(ui::Bind<ui::TextCell>(window, "TxtStatusBar", 2)),
      logo_(ui::Bind<QLabel>(window, "ImgLogo")), logoS_(ui::Bind<QLabel>(window, "ImgLogoS")),
      logoFrame_(ui::Bind<QWidget>(window, "ShpLevel")),
      logoFrameS_(ui::Bind<QWidget>(window, "ShpLevelS")),
      compensation_{&ui::Bind<QWidget>(window, "LblCompAttiva"),
                    &ui::Bind<QWidget>(window, "ImgCompAttiva")},
      emulation_{&ui::Bind<QWidget>(window, "LblEmulAttiva"),
                 &ui::Bind<QWidget>(window, "ImgEmulAttiva")} {
    for (QCheckBox* lamp : {&key_, &valve1_, &valve2_, &fuel_, &mode_}) {
        MakeLamp(*lamp);
    }
    for (QWidget* frame : {&logoFrame_, &logoFrameS_}) {
        ui::SetBorderColor(*frame, 0);
        ui::SetBackColor(*frame, 0);
    }
    logo_.installEventFilter(this);
    logoS_.installEventFilter(this);
}

bool StatusIndicators::eventFilter(QObject* watched, QEvent* event) {
    const bool down = event->type() == QEvent::MouseButtonPress;
    const bool up = event->type() == QEvent::MouseButtonRelease;
    if (down || up) {
        QLabel& logo = watched == &logo_ ? logo_ : logoS_;
        QWidget& frame = watched == &logo_ ? logoFrame_ : logoFrameS_;
        if (down) {
            ImgLogo_MouseDown(logo, frame);
        } else {
            ImgLogo_MouseUp(logo, frame);
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void StatusIndicators::ImgLogo_MouseDown(QLabel& logo, QWidget& frame) {
    logo.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ui::SetBackColor(frame, support::ColorButtonFace);
}

void StatusIndicators::ImgLogo_MouseUp(QLabel& logo, QWidget& frame) {
    logo.setFrameStyle(QFrame::NoFrame);
    ui::SetBackColor(frame, 0);
    ecudata::EcuRequests& requests = ctx_.Requests;
    if (requests.ReqSwitchFuelMode == 0 && ctx_.Images.Mem1Data.StatusKey == 1) {
        requests.ReqSwitchFuelMode = 1;
    }
}

void StatusIndicators::ShowEcuStatus() {
    ShowLamps();
    ShowLinkTime();
    ShowFuelAndMode();
    ShowIndicators();
}

void StatusIndicators::ShowLinkTime() {
    linkTime_.setText("Time: " + LinkTimeText(ctx_.Comm().TimeCom()));
}

void StatusIndicators::ShowLamps() {
    const ecudata::Mem1Rec& live = ctx_.Images.Mem1Data;
    ShowLamp(key_, live.StatusKey);
    ShowLamp(valve1_, live.StatusEv1);
    ShowLamp(valve2_, live.StatusEv2);
}

void StatusIndicators::ShowFuelAndMode() {
    const ecudata::Mem2Rec& zone2 = ctx_.Images.Mem2Data;
    if (zone2.FuelState == FuelGas && !fuel_.isChecked()) {
        SetLamp(fuel_, true, "GAS");
    } else if (zone2.FuelState == FuelPetrol && fuel_.isChecked()) {
        SetLamp(fuel_, false, "BNZ");
    }
    if (zone2.EcuRunState == 0 && !mode_.isChecked()) {
        SetLamp(mode_, true, "RUN");
    } else if (zone2.EcuRunState == 1 && mode_.isChecked()) {
        SetLamp(mode_, false, "SLV");
    }
}

void StatusIndicators::ShowIndicators() {
    const ecudata::EcuImages& images = ctx_.Images;
    const bool acquisition = images.Mem2Data.Flags & FlagAcquisition;
    if (acquisition_.isChecked() != acquisition) {
        window_.PageFilling = true;
        acquisition_.setEnabled(acquisition); // the tick stays as the installer left it
        window_.PageFilling = false;
    }

    const bool compensation = images.CompTblGasTemp[CompEnableEntry] != 0 ||
                              images.CompTblRidTemp[CompEnableEntry] != 0 ||
                              images.CompTblPress[CompEnableEntry] != 0;
    for (QWidget* control : compensation_) {
        ui::SetShown(*control, compensation);
    }
    const bool emulation = images.Mem2Data.Flags & FlagEmulation;
    for (QWidget* control : emulation_) {
        ui::SetShown(*control, emulation);
    }
}

void StatusIndicators::Blank() {
    for (QCheckBox* lamp : {&key_, &valve1_, &valve2_}) {
        ShowLamp(*lamp, 0);
    }
    // While the link restarts no status is shown: the time still says that the link is
    // down (0:00:00 while the port is closed), not how long it was up before.
    ShowLinkTime();
}

} // namespace monitor
