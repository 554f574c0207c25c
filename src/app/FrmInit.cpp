#include "app/FrmInit.h"

#include "app/DialogDesigns.h"
#include "app/ProgramContext.h"
#include "support/FileRoutines.h"
#include "ui/ControlBuilder.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <cmath>

namespace app {

namespace {

// Sizes in twips, as designed.
constexpr int FormWidth = 5400;
constexpr int FormHeight = 1650;
constexpr int BarInset = 30; // how far inside the track's ends the bar turns
constexpr int BarTimerMs = 100;
const QString SearchText = QStringLiteral("SEARCH COM");
const QString SectionMarker = QStringLiteral("[FrmInit]");

} // namespace

FrmInit::FrmInit(ProgramContext& context, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint), ctx_(context) {
    setObjectName("FrmInit");
    // Showing the notice must not take the keyboard from the main window.
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(ui::ToPixels(FormWidth), ui::ToPixels(FormHeight));

    BuildFrmInit(*this);
    lblBackGrd_ = &ui::Bind<QLabel>(*this, "LblBackGrd");
    lblBackGrd_->setFrameShape(QFrame::Panel);
    lblBackGrd_->setFrameShadow(QFrame::Raised);
    lblMsg_ = &ui::Bind<QLabel>(*this, "LblMsg");
    lblMsg_->setAlignment(Qt::AlignCenter);
    label1_ = &ui::Bind<QLabel>(*this, "Label1");
    label1_->setFrameShape(QFrame::Panel);
    label1_->setFrameShadow(QFrame::Sunken);
    shape1_ = &ui::Bind<QFrame>(*this, "Shape1");
    shape1_->setFrameShape(QFrame::NoFrame);
    shape1_->setStyleSheet("background-color: navy;");

    timer1_.setInterval(BarTimerMs);
    connect(&timer1_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    Form_Load();
}

void FrmInit::TipoMessaggio(qint32 type) {
    if (HasText(type)) {
        tipoMessaggio_ = type;
    }
}

bool FrmInit::HasText(qint32 type) {
    return type == 0 || type == 1 || type == 3;
}

QString FrmInit::MessageText(qint32 type) const {
    return HasText(type) ? texts_[size_t(type)] : QString();
}

void FrmInit::Form_Load() {
    texts_[3] = SearchText;
    ctx_.OffLineMode = false;
    const QString icon = ctx_.AppFolder + "/LNG/ico.img";
    if (support::IsFilePresent(icon)) {
        setWindowIcon(QIcon(icon));
    }
    LoadInitTexts();
    ui::MoveTwips(*lblBackGrd_, 60, 60, ui::WidthTwips(*this) - 120, ui::HeightTwips(*this) - 120);
    lblBackGrd_->lower();
    lblMsg_->clear();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    ui::SetWidthTwips(*shape1_, ui::WidthTwips(*label1_) / 8);
}

void FrmInit::LoadInitTexts() {
    const support::ClsLingue& lingue = ctx_.ObjLingue;
    // The marker is looked for in language 0; the texts are those of the current
    // language at the same positions.
    qint32 marker = lingue.UboundVoci() + 1;
    for (qint32 entry = 0; entry <= lingue.UboundVoci(); ++entry) {
        if (lingue.VoceDizionario(0, qint16(entry)) == SectionMarker) {
            marker = entry;
            break;
        }
    }
    const qint16 language = lingue.IdLingua();
    texts_[0] = lingue.VoceDizionario(language, qint16(marker + 1));
    texts_[1] = lingue.VoceDizionario(language, qint16(marker + 2));
}

void FrmInit::Timer1_Timer() {
    if (HasText(tipoMessaggio_)) {
        lblMsg_->setText(MessageText(tipoMessaggio_));
    }
    const int barWidth = ui::WidthTwips(*shape1_);
    const int step = int(std::nearbyint(barWidth / 3.0));
    const int left = ui::LeftTwips(*shape1_) + (movingLeft_ ? -step : step);
    const int trackLeft = ui::LeftTwips(*label1_);
    const int trackRight = trackLeft + ui::WidthTwips(*label1_);
    if (trackLeft <= left && left + barWidth <= trackRight) {
        ui::SetLeftTwips(*shape1_, left);
        return;
    }
    // Against the end it has reached, a little inside the track, and back.
    ui::SetLeftTwips(*shape1_,
                     movingLeft_ ? trackLeft + BarInset : trackRight - barWidth - BarInset);
    movingLeft_ = !movingLeft_;
}

void FrmInit::ElaboraMsgCom() {
    const auto showWithTimer = [this] {
        if (!isVisible()) {
            show();
            timer1_.start();
        }
    };
    // The bar rests while the notice is hidden.
    if (ctx_.OffLineMode) {
        if (isVisible()) {
            hide();
            timer1_.stop();
        }
        return;
    }
    if (ctx_.Comm().FlagRicercaCom() < comm::NoSearch) {
        if (tipoMessaggio_ != 3) {
            TipoMessaggio(3);
        }
        showWithTimer();
        return;
    }
    if (ctx_.Requests.FirstReadPending) {
        TipoMessaggio(0);
        showWithTimer();
        return;
    }
    if (isVisible()) {
        hide();
        timer1_.stop();
        lblMsg_->clear();
    }
}

} // namespace app
