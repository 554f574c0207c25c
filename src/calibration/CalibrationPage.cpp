#include "calibration/CalibrationPage.h"

#include "app/Controls.h"
#include "app/FrmLX735.h"
#include "app/ProgramContext.h"
#include "monitor/ControlLook.h"
#include "support/Clock.h"
#include "support/Conversions.h"

#include "app/TabStrip.h"
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <cmath>
#include <functional>

namespace calibration {

namespace {

using app::ArrayName;

constexpr quint32 Black = 0x000000;
constexpr quint32 YellowBox = 0x00FFFF;

// Captions of the developer read-outs.
constexpr const char* ReadoutCaptions[12] = {
    "Offset", "TCorr",  "TInj cycle",   "TInj max", "TInj ref", "TInj load",
    "Alfa",   "Offset", "Final offset", "",         "Pressure", "Temperature"};

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
    if (QWidget* frame = Widget("FrmVarTara")) {
        for (int i = 0; i < 12; ++i) {
            const int left = 120 + (i / 6) * 2940;
            const int top = 240 + (i % 6) * 255;
            auto* caption = new QLabel(ReadoutCaptions[i], frame);
            caption->setObjectName(ArrayName("LblVarTara", i));
            app::MoveTwips(*caption, left, top, 1500, 240);
            auto* value = new QLabel(frame);
            value->setObjectName(ArrayName("LblVarTaraVal", i));
            app::MoveTwips(*value, left + 1560, top, 1260, 240);
        }
        readoutsWatch_ = std::make_unique<ShowHideWatch>(*frame, [this] { LayoutCalPage(); });
    }
    EnableCancel(false);
}

CalibrationPage::~CalibrationPage() = default;

QWidget* CalibrationPage::Widget(const QString& name) const {
    return qobject_cast<QWidget*>(window_.Control(name));
}

void CalibrationPage::LayoutCalPage() {
    QWidget& sst = window_.SstMain();
    const int tabW = app::WidthTwips(sst);
    const int tabH = app::HeightTwips(sst);
    QWidget& start = *Widget("CmdCalStart");
    QWidget& cancel = *Widget("CmdCalCancel");
    QWidget& frame = *Widget("FrmCalStatus");
    QWidget& step = *Widget("LblCalStep");
    QWidget& msg = *Widget("LblCalMsg");
    QWidget& outline = *Widget("ShpCalStep(0)");
    QWidget& bar = *Widget("ShpCalStep(1)");

    app::SetLeftTwips(start, tabW - (app::WidthTwips(start) + 300));
    app::SetLeftTwips(cancel, app::LeftTwips(start));
    app::SetTopTwips(cancel, tabH - (app::HeightTwips(cancel) + 150));
    app::SetWidthTwips(frame, app::LeftTwips(start) - 2 * app::LeftTwips(frame));
    for (QWidget* label : {&step, &msg}) {
        app::SetWidthTwips(*label, app::WidthTwips(frame) - 2 * app::LeftTwips(*label));
    }
    app::SetHeightTwips(frame, tabH - 1200);
    PlaceDeveloperControls(frame, tabH);
    app::SetHeightTwips(step, app::HeightTwips(frame) - 2 * app::TopTwips(step));
    app::SetHeightTwips(msg, app::HeightTwips(frame) - app::TopTwips(msg));
    app::MoveTwips(outline, app::LeftTwips(step),
                   app::TopTwips(step) + app::HeightTwips(step) - app::HeightTwips(outline) - 120,
                   app::WidthTwips(step), app::HeightTwips(outline));
    app::MoveTwips(bar, app::LeftTwips(outline) + 15, app::TopTwips(outline) + 15,
                   app::WidthTwips(outline) - 30, app::HeightTwips(outline) - 30);
    outline.raise();
    bar.raise();
    window_.CalBarFullWidth = app::WidthTwips(bar);
    barWidth_ = window_.CalBarFullWidth;
}

// The developer's read-outs and model button stand below the status frame, level with
// the Cancel button, and the frame gives up their room: nothing lies over its labels.
void CalibrationPage::PlaceDeveloperControls(QWidget& frame, int tabH) {
    QWidget* readouts = Widget("FrmVarTara");
    if (!readouts || readouts->isHidden()) {
        return;
    }
    const int top = tabH - app::HeightTwips(*readouts) - 150;
    app::SetLeftTwips(*readouts, app::LeftTwips(frame));
    app::SetTopTwips(*readouts, top);
    app::SetHeightTwips(frame, top - 120 - app::TopTwips(frame));
    if (QWidget* compute = Widget("CmdComputeModl(0)")) {
        app::SetLeftTwips(*compute, app::LeftTwips(*readouts) + app::WidthTwips(*readouts) + 120);
        app::SetTopTwips(*compute, top + app::HeightTwips(*readouts) - app::HeightTwips(*compute));
    }
}

void CalibrationPage::SetStep(const QString& text) {
    QObject* label = window_.Control("LblCalStep");
    if (app::Caption(label) != text) {
        app::SetCaption(label, text);
    }
}

void CalibrationPage::SetMessage(const QString& text, bool centred) {
    auto* label = qobject_cast<QLabel*>(window_.Control("LblCalMsg"));
    if (!label) {
        return;
    }
    const Qt::Alignment align = centred ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop;
    if (label->alignment() != align) {
        label->setAlignment(align);
    }
    if (label->text() != text) {
        label->setText(text);
    }
}

QString CalibrationPage::Message() const {
    return app::Caption(window_.Control("LblCalMsg"));
}

void CalibrationPage::EnableStart(bool on) {
    if (QWidget* b = Widget("CmdCalStart"); b && b->isEnabled() != on) {
        b->setEnabled(on);
    }
}

void CalibrationPage::EnableCancel(bool on) {
    if (QWidget* b = Widget("CmdCalCancel"); b && b->isEnabled() != on) {
        b->setEnabled(on);
    }
}

void CalibrationPage::SetBar(int width, bool opaque) {
    QWidget* bar = Widget("ShpCalStep(1)");
    if (!bar) {
        return;
    }
    if (width != barWidth_) {
        barWidth_ = width;
        app::SetWidthTwips(*bar, std::max(width, 0));
    }
    if (opaque != barOpaque_) {
        barOpaque_ = opaque;
        monitor::SetBackStyle(*bar, opaque ? 1 : 0);
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

void CalibrationPage::SetBoxColours(const QString& box, quint32 back, quint32 fore) {
    QWidget* w = Widget(box);
    if (!w) {
        return;
    }
    monitor::SetBackColor(*w, back);
    monitor::SetForeColor(*w, fore);
}

void CalibrationPage::Blink(const QString& box) {
    QWidget* w = Widget(box);
    if (!w) {
        return;
    }
    if (monitor::BackColor(*w) == YellowBox) {
        SetBoxColours(box, Black, YellowBox);
    } else {
        SetBoxColours(box, YellowBox, Black);
    }
}

void CalibrationPage::ShowValue(int i, double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    app::SetCaption(
        window_.Control(ArrayName("LblVarTaraVal", i)),
        support::GeneralNumberText(support::RoundHalfEven(value * scale) / scale, ctx_.DecimalSep));
}

} // namespace calibration
