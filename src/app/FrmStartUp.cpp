#include "app/FrmStartUp.h"

#include "app/DialogDesigns.h"
#include "app/ProgramContext.h"
#include "support/Colors.h"
#include "support/FileRoutines.h"
#include "ui/ControlBuilder.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace app {

namespace {

constexpr int BlinkMs = 500;
constexpr quint32 OrangeBgr = 0x80FF;

QColor BackColor(const QPushButton& button) {
    return button.palette().color(QPalette::Button);
}

void SetBackColor(QPushButton& button, const QColor& color) {
    QPalette palette = button.palette();
    palette.setColor(QPalette::Button, color);
    button.setPalette(palette);
}

// Known: the version and the date fields are all decimal digits (they read 0 else).
bool IdentityKnown(qint16 version, qint16 day, qint16 month, qint16 year) {
    return version > 0 && day > 0 && month > 0 && year > 0;
}

// The system's name and version; a build number and service pack only where the
// system has them (Linux reports neither).
QString OsText(const support::WinVerInfo& os) {
    QString text = os.Name + " " + os.Version;
    if (!os.Build.isEmpty()) {
        text += " build " + os.Build;
    }
    if (!os.ServicePack.isEmpty()) {
        text += " (" + os.ServicePack + ")";
    }
    return text;
}

} // namespace

QString VersionText(const comm::ClsComm& link, const support::WinVerInfo& os) {
    return QStringLiteral("\n") + ReleaseText + "\n" + "Firmware ver " + link.FirmwareEcuVersStr() +
           " - " + link.FirmwareEcuDataStr() + "\n" + "File          ver " +
           link.FirmwareFleVersStr() + " - " + link.FirmwareFleDataStr() + "\n" + "\n" +
           "Windows version: " + OsText(os);
}

bool OfferFirmwareUpdate(const comm::ClsComm& link) {
    const bool known = IdentityKnown(link.FirmwareEcuVersNum(), link.FirmwareEcuDayNum(),
                                     link.FirmwareEcuMonthNum(), link.FirmwareEcuYearNum()) &&
                       IdentityKnown(link.FirmwareFleVersNum(), link.FirmwareFleDayNum(),
                                     link.FirmwareFleMonthNum(), link.FirmwareFleYearNum());
    return known && link.FirmwareEcuVersNum() == link.FirmwareFleVersNum() &&
           link.ComState() != comm::COM_STOP &&
           support::IsDateNewer(link.FirmwareFleDataStr(), link.FirmwareEcuDataStr());
}

FrmStartUp::FrmStartUp(ProgramContext& context, QWidget* owner)
    : QWidget(owner, Qt::Dialog), ctx_(context) {
    setObjectName("FrmStartUp");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(ctx_.Texts.AppTitle);

    BuildFrmStartUp(*this);
    lblBackGrd_ = &ui::Bind<QLabel>(*this, "LblBackGrd");
    lblBackGrd_->setFrameShape(QFrame::Panel);
    lblBackGrd_->setFrameShadow(QFrame::Sunken);
    image1_ = &ui::Bind<QLabel>(*this, "Image1");
    lblVersioneVal_ = &ui::Bind<QLabel>(*this, "LblVersioneVal");
    lblVersioneVal_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cmdUpdateFrm_ = &ui::Bind<QPushButton>(*this, "CmdUpdateFrm");
    cmdUpdateFrm_->hide();
    command1_ = &ui::Bind<QPushButton>(*this, "Command1");
    connect(command1_, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(cmdUpdateFrm_, &QPushButton::clicked, this, [this] { CmdUpdateFrm_Click(); });
    connect(&timer1_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    Form_Load();
}

void FrmStartUp::Form_Load() {
    const QString icon = ctx_.AppFolder + "/LNG/ico.img";
    if (support::IsFilePresent(icon)) {
        setWindowIcon(QIcon(icon));
    }
    const QString picture = ctx_.AppFolder + "/LNG/IMG.IMG";
    if (support::IsFilePresent(picture)) {
        const QPixmap pixmap(picture);
        if (!pixmap.isNull()) {
            image1_->setPixmap(pixmap);
            image1_->resize(pixmap.size());
        }
    }
    timer1_.start(BlinkMs);

    const int imageLeft = ui::LeftTwips(*image1_);
    const int imageTop = ui::TopTwips(*image1_);
    const int imageWidth = ui::WidthTwips(*image1_);
    const int imageHeight = ui::HeightTwips(*image1_);
    resize(ui::ToPixels(imageWidth + 300), ui::ToPixels(imageHeight + 3000));
    lblVersioneVal_->setFrameShape(QFrame::NoFrame);
    ui::MoveTwips(*lblBackGrd_, 60, 60, ui::WidthTwips(*this) - 120, ui::HeightTwips(*this) - 120);
    lblBackGrd_->lower();
    ui::MoveTwips(*lblVersioneVal_, imageLeft, imageTop + imageHeight + 120, imageWidth,
                  ui::HeightTwips(*lblVersioneVal_));
    const int buttonTop = ui::TopTwips(*lblVersioneVal_) + ui::HeightTwips(*lblVersioneVal_) + 120;
    ui::SetTopTwips(*cmdUpdateFrm_, buttonTop);
    ui::SetLeftTwips(*cmdUpdateFrm_, imageLeft + 120);
    ui::SetTopTwips(*command1_, buttonTop);
    ui::SetLeftTwips(*command1_, imageLeft + imageWidth - ui::WidthTwips(*command1_) - 120);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
}

void FrmStartUp::ShowVersions(const QString& text, bool offerUpdate) {
    // A long system name or kernel release is cut to what the box shows, not wrapped
    // out of sight.
    const QFontMetrics metrics(lblVersioneVal_->font());
    const int room = lblVersioneVal_->contentsRect().width();
    QStringList lines = text.split('\n');
    for (QString& line : lines) {
        line = room > 0 ? metrics.elidedText(line, Qt::ElideRight, room) : line;
    }
    lblVersioneVal_->setText(lines.join('\n'));
    command1_->setVisible(true);
    cmdUpdateFrm_->setVisible(offerUpdate);
}

void FrmStartUp::Timer1_Timer() {
    if (!cmdUpdateFrm_->isVisibleTo(this)) {
        return;
    }
    SetBackColor(*cmdUpdateFrm_, BackColor(*cmdUpdateFrm_) == BackColor(*command1_)
                                     ? support::ColorFromBgr(OrangeBgr)
                                     : BackColor(*command1_));
}

void FrmStartUp::Command1_Click() {
    close();
}

void FrmStartUp::CmdUpdateFrm_Click() {
    ctx_.Requests.FirmwareOk = false;
    ctx_.UpdateRequest = true;
    close();
}

} // namespace app
