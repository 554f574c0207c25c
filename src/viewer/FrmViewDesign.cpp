#include "viewer/FrmViewDesign.h"

#include "ui/ControlBuilder.h"
#include "viewer/OsciConfig.h"
#include "viewer/PlotGeometry.h"
#include "viewer/PlotPicture.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <type_traits>

namespace viewer {

namespace {

using ui::ControlKind;

constexpr int WindowWidth = 14160;
constexpr int WindowHeight = 8040;
// The right-hand column of buttons.
constexpr int Col = 12480;
constexpr int ColWidth = 1560;
constexpr int ButtonHeight = 420;

// Controls in creation order (containers before their contents; the order is also the
// order in which Tab moves between them).
const ui::ControlDesc Design[] = {
    {ui::ControlKind::Panel, "PctOffset", -1, "FrmView", "", 120, 120, ZeroMarkWidth, PlotHeight},
    {ui::ControlKind::Custom, "PctSignal", -1, "FrmView", "", SliderLeft, 120, PlotWidth,
     PlotHeight},
    {ui::ControlKind::Custom, "LneCursor", -1, "PctSignal", "", 0, 0, 15, PlotHeight},
    {ui::ControlKind::Label, "PctMostraRif", -1, "FrmView", EyeMark, 0, 0, MostraSize, MostraSize},
    {ui::ControlKind::Label, "LblZero", 0, "PctOffset", ">", 0, 0, ZeroMarkWidth, ZeroMarkHeight,
     8},
    {ui::ControlKind::Label, "PctMostra", 0, "FrmView", "", MostraLeft, ReadoutTop, MostraSize,
     MostraSize, 8},
    {ui::ControlKind::Label, "LblSignal", 0, "FrmView", "", ReadoutLeft, ReadoutTop, ReadoutWidth,
     585, 8},
    {ui::ControlKind::Label, "LblCN", -1, "FrmView", "", MostraLeft, 120, 300, 435},
    {ui::ControlKind::Label, "LblZoomChl", -1, "FrmView", "", 9900, 120, 1100, 435},
    {ui::ControlKind::Label, "LblOffset", -1, "FrmView", "", 11100, 120, 1155, 435},

    {ui::ControlKind::Button, "CmdZoomIn", -1, "FrmView", "Zoom +", Col, 120, ColWidth,
     ButtonHeight},
    {ui::ControlKind::Button, "CmdZoomOut", -1, "FrmView", "Zoom -", Col, 600, ColWidth,
     ButtonHeight},
    {ui::ControlKind::Button, "CmdUp", -1, "FrmView", "Up", Col, 1140, ColWidth, ButtonHeight},
    {ui::ControlKind::Button, "CmdDw", -1, "FrmView", "Down", Col, 1620, ColWidth, ButtonHeight},
    {ui::ControlKind::Button, "CmdReset", -1, "FrmView", "Reset", Col, 2160, ColWidth,
     ButtonHeight},
    {ui::ControlKind::Label, "LblSecDiv", -1, "FrmView", "", Col, 2700, ColWidth, 375},
    {ui::ControlKind::Button, "CmdSecDivP", -1, "FrmView", "s/div +", Col, 3120, ColWidth,
     ButtonHeight},
    {ui::ControlKind::Button, "CmdSecDivM", -1, "FrmView", "s/div -", Col, 3600, ColWidth,
     ButtonHeight},
    {ui::ControlKind::Combo, "CmbChnInj", -1, "FrmView", "", Col, 4140, ColWidth, 375},
    {ui::ControlKind::Custom, "OptRun", 0, "FrmView", "Run", Col, 4680, ColWidth, 375},
    {ui::ControlKind::Custom, "OptRun", 1, "FrmView", "Stop", Col, 5100, ColWidth, 375},
    {ui::ControlKind::Button, "CmdOpen", -1, "FrmView", "Open", Col, 5640, ColWidth, ButtonHeight},
    {ui::ControlKind::Button, "CmdReload", -1, "FrmView", "Reload", Col, 6120, ColWidth,
     ButtonHeight},
    {ui::ControlKind::Button, "CmdSaveLogOsc", -1, "FrmView", "Save", Col, 6600, ColWidth,
     ButtonHeight},
    {ui::ControlKind::Button, "CmdEsporta", -1, "FrmView", "Export", Col, 7080, ColWidth,
     ButtonHeight},

    {ui::ControlKind::Slider, "SldSample", -1, "FrmView", "", SliderLeft, SliderTop, PlotWidth,
     SliderHeight},
    {ui::ControlKind::Button, "CmdSeekPrev", -1, "FrmView", "<<", SliderLeft, SliderTop, SeekWidth,
     SliderHeight},
    {ui::ControlKind::Button, "CmdSeekNext", -1, "FrmView", ">>",
     SliderLeft + PlotWidth - SeekWidth, SliderTop, SeekWidth, SliderHeight},
    {ui::ControlKind::Label, "LblOffsetTime", -1, "FrmView", "", ReadoutLeft, SliderTop,
     ReadoutWidth, SliderHeight},

    {ui::ControlKind::Label, "LblLoading", -1, "FrmView", "", 2797, 3400, LoadingWidth, 495},
    {ui::ControlKind::Custom, "ShpLoading", -1, "FrmView", "", 2797, 3775, 0, 120},

    // The channel set-up (Ctrl+Alt+Shift+S).
    {ui::ControlKind::Frame, "Frame1", -1, "FrmView", "Setting", SetUpLeft, SetUpTop, 5040, 4260},
    {ui::ControlKind::Custom, "ChkSignal", 0, "Frame1", "", 120, 300, 1800, 375, 8},
    {ui::ControlKind::Edit, "TxtSignal", 0, "Frame1", "", 2040, 300, 2760, 375, 8},
    {ui::ControlKind::Button, "CmdEscSet", -1, "Frame1", "Esc", 120, 3720, 1200, 375},

    // The cylinder and coil set-up (right button on the rpm readout).
    {ui::ControlKind::Frame, "Frame2", -1, "FrmView", " Cilinder && Coil ", 0, 0, 2400, 2040},
    {ui::ControlKind::Label, "Label1", -1, "Frame2", "CYLINDER", 120, 300, 1000, 300},
    {ui::ControlKind::Combo, "CmbCyl", -1, "Frame2", "", 1200, 270, 1080, 375},
    {ui::ControlKind::Label, "Label2", -1, "Frame2", "COIL", 120, 780, 1000, 300},
    {ui::ControlKind::Combo, "CmbCoil", -1, "Frame2", "", 1200, 750, 1080, 375},
    {ui::ControlKind::Button, "CmdEscCylCoil", -1, "Frame2", "Esc", 120, 1440, 1200, 375},
};

// Option and check boxes take a click anywhere on their area, not only on the mark and
// the caption's text.
template <class Box> class WholeArea : public Box {
public:
    using Box::Box;

protected:
    bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }
};

template <class W> QWidget* Make(const QString& caption, QWidget& parent) {
    if constexpr (std::is_constructible_v<W, QString, QWidget*>) {
        return new W(caption, &parent);
    } else {
        return new W(&parent);
    }
}

// The kinds the builder does not make, by control name. The cursor line and the busy bar
// are plain fills (no frame).
constexpr struct {
    const char* name;
    QWidget* (*make)(const QString& caption, QWidget& parent);
} CustomKinds[] = {
    {"PctSignal", Make<PlotPicture>},
    {"LneCursor", Make<QFrame>},
    {"ShpLoading", Make<QFrame>},
    {"OptRun", Make<WholeArea<QRadioButton>>},
    {"ChkSignal", Make<WholeArea<QCheckBox>>},
};

QWidget* MakeCustom(const ui::ControlDesc& desc, QWidget& parent) {
    for (const auto& [name, make] : CustomKinds) {
        if (qstrcmp(name, desc.name) == 0) {
            return make(QString::fromUtf8(desc.caption), parent);
        }
    }
    qFatal("FrmView: no maker for the control %s", desc.name);
}

// Controls filled with one colour (the busy label with its text black on white).
constexpr struct {
    const char* name;
    const char* style;
} Fills[] = {{"LneCursor", "background-color:#c0c0c0;"},
             {"LblLoading", "background-color:#ffffff;color:#000000;"},
             {"ShpLoading", "background-color:#000080;"}};

// Hidden until a procedure shows them.
constexpr const char* HiddenAtStart[] = {"PctMostraRif", "CmdSeekPrev", "CmdSeekNext", "LblLoading",
                                         "ShpLoading",   "Frame1",      "Frame2"};

void ApplyDesignDetails(QWidget& view) {
    for (const auto& [name, style] : Fills) {
        ui::Bind<QWidget>(view, name).setStyleSheet(style);
    }
    ui::Bind<QFrame>(view, "LneCursor").setAttribute(Qt::WA_TransparentForMouseEvents);
    ui::Bind<QLabel>(view, "LblSecDiv").setAlignment(Qt::AlignCenter);
    ui::Bind<QLabel>(view, "LblLoading").setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    ui::Bind<QSlider>(view, "SldSample").setMaximum(0);
    // The set-up reads row by row: each channel's check box, then its name.
    const auto checks = ui::BindArray<QCheckBox>(view, "ChkSignal", 0, 8);
    const auto names = ui::BindArray<QLineEdit>(view, "TxtSignal", 0, 8);
    QWidget* previous = nullptr;
    for (std::size_t c = 0; c < checks.size(); ++c) {
        checks[c]->setText(ChannelCaptions[c]);
        if (previous) {
            QWidget::setTabOrder(previous, checks[c]);
        }
        QWidget::setTabOrder(checks[c], names[c]);
        previous = names[c];
    }
    QWidget::setTabOrder(previous, &ui::Bind<QPushButton>(view, "CmdEscSet"));
    // Enter does not press a button of the window.
    for (QPushButton* button : view.findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
    }
    for (const char* name : HiddenAtStart) {
        ui::Bind<QWidget>(view, name).hide();
    }
}

} // namespace

void BuildViewControls(QWidget& view) {
    view.resize(ui::ToPixels(WindowWidth), ui::ToPixels(WindowHeight));
    ui::ControlBuilder(view).Build(Design, MakeCustom);
    ApplyDesignDetails(view);
}

} // namespace viewer
