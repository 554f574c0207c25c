#include "calibration/CalibrationPage.h"

#include "app/FrmLX735.h"
#include "app/MainControls.h"
#include "app/ProgramContext.h"
#include "calibration/CalibrationDesign.h"
#include "calibration/PageControls.h"
#include "support/Clock.h"
#include "support/Conversions.h"
#include "ui/ControlLook.h"
#include "ui/Controls.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <cmath>
#include <functional>

namespace calibration {

namespace {

constexpr quint32 Black = 0x000000;
constexpr quint32 YellowBox = 0x00FFFF;

// Calls back when the watched control is shown or hidden by the program (not when its
// page comes and goes with the tab).
class ShowHideWatch : public QObject {
public:
    ShowHideWatch(QWidget& watched, std::function<void()> changed)
        : hidden_(watched.isHidden()), changed_(std::move(changed)) {
        watched.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide) {
            const bool hidden = static_cast<QWidget*>(watched)->isHidden();
            if (hidden != hidden_) {
                hidden_ = hidden;
                changed_();
            }
        }
        return false;
    }

private:
    bool hidden_;
    std::function<void()> changed_;
};

} // namespace

CalibrationPage::CalibrationPage(app::ProgramContext& ctx, app::FrmLX735& window)
    : ctx_(ctx), window_(window) {
    app::BuildOnMainWindow(*window.centralWidget(), "CalibrationDesign", CalibrationDesign());
    using ui::Bind;
    start_ = &ui::Bind<QPushButton>(window, "CmdCalStart");
    cancel_ = &ui::Bind<QPushButton>(window, "CmdCalCancel");
    frame_ = &ui::Bind<QWidget>(window, "FrmCalStatus");
    step_ = &ui::Bind<QLabel>(window, "LblCalStep");
    message_ = &ui::Bind<QLabel>(window, "LblCalMsg");
    outline_ = &ui::Bind<QWidget>(window, "ShpCalStep", 0);
    bar_ = &ui::Bind<QWidget>(window, "ShpCalStep", 1);
    readouts_ = &ui::Bind<QWidget>(window, "FrmVarTara");
    compute_ = &ui::Bind<QWidget>(window, "CmdComputeModl", 0);
    values_ = ui::BindArray<QLabel>(window, "LblVarTaraVal", 0, TaraReadouts);
    liveBoxes_ = {&ui::Bind<QWidget>(window, "TxtTmpVap", 1),
                  &ui::Bind<QWidget>(window, "TxtRpm", 1)};
    readoutsWatch_ = std::make_unique<ShowHideWatch>(*readouts_, [this] { LayoutCalPage(); });
    // The step label reaches down over the message label: its text, a blank line and the
    // step, must stand at its top to stay clear of the message.
    step_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    EnableCancel(false);
}

CalibrationPage::~CalibrationPage() = default;

void CalibrationPage::LayoutCalPage() {
    QWidget& sst = window_.SstMain();
    const CalPageLayout l = calibration::LayoutCalPage(
        {TwipsRect(*start_), TwipsRect(*cancel_), TwipsRect(*frame_), TwipsRect(*step_),
         TwipsRect(*message_), TwipsRect(*outline_), TwipsRect(*bar_), TwipsRect(*readouts_),
         TwipsRect(*compute_)},
        {ui::WidthTwips(sst), ui::HeightTwips(sst)}, !readouts_->isHidden());
    const std::pair<QWidget*, QRect> places[] = {
        {start_, l.start}, {cancel_, l.cancel},     {frame_, l.frame},
        {step_, l.step},   {message_, l.message},   {outline_, l.outline},
        {bar_, l.bar},     {readouts_, l.readouts}, {compute_, l.compute}};
    for (const auto& [control, r] : places) {
        ui::MoveTwips(*control, r.x(), r.y(), r.width(), r.height());
    }
    outline_->raise();
    bar_->raise();
    window_.CalBarFullWidth = ui::WidthTwips(*bar_);
    barWidth_ = window_.CalBarFullWidth;
}

void CalibrationPage::SetStep(const QString& text) {
    if (step_->text() != text) {
        step_->setText(text);
    }
}

void CalibrationPage::SetMessage(const QString& text, bool centred) {
    const Qt::Alignment align = centred ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop;
    if (message_->alignment() != align) {
        message_->setAlignment(align);
    }
    if (message_->text() != text) {
        message_->setText(text);
    }
}

QString CalibrationPage::Message() const {
    return message_->text();
}

void CalibrationPage::EnableStart(bool on) {
    if (start_->isEnabled() != on) {
        start_->setEnabled(on);
    }
}

void CalibrationPage::EnableCancel(bool on) {
    if (cancel_->isEnabled() != on) {
        cancel_->setEnabled(on);
    }
}

void CalibrationPage::SetBar(int width, bool opaque) {
    if (width != barWidth_) {
        barWidth_ = width;
        ui::SetWidthTwips(*bar_, std::max(width, 0));
    }
    if (opaque != barOpaque_) {
        barOpaque_ = opaque;
        ui::SetBackStyle(*bar_, opaque ? 1 : 0);
    }
}

void CalibrationPage::FullWidth() {
    SetBar(window_.CalBarFullWidth, barOpaque_);
}

void CalibrationPage::ResetTaraProgress() {
    SetBar(window_.CalBarFullWidth, !barOpaque_);
}

void CalibrationPage::RestartTaraProgress() {
    SetBar(15, true);
}

void CalibrationPage::StepTaraProgress(int step) {
    const int full = window_.CalBarFullWidth;
    SetBar(barWidth_ + step <= full ? barWidth_ + step : full, true);
}

void CalibrationPage::AnimateTaraProgress() {
    SetBar(barWidth_, true);
    const int full = window_.CalBarFullWidth;
    while (barWidth_ + 30 <= full) {
        QCoreApplication::processEvents();
        SetBar(barWidth_ + 60, true);
    }
}

void CalibrationPage::SetBoxColours(LiveBox box, quint32 back, quint32 fore) {
    QWidget& w = *liveBoxes_[size_t(box)];
    ui::SetBackColor(w, back);
    ui::SetForeColor(w, fore);
}

void CalibrationPage::Blink(LiveBox box) {
    if (ui::BackColor(*liveBoxes_[size_t(box)]) == YellowBox) {
        SetBoxColours(box, Black, YellowBox);
    } else {
        SetBoxColours(box, YellowBox, Black);
    }
}

void CalibrationPage::ShowValue(int i, double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    values_[i]->setText(
        support::GeneralNumberText(support::RoundHalfEven(value * scale) / scale, ctx_.DecimalSep));
}

} // namespace calibration
