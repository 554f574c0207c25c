#include "monitor/LambdaDisplay.h"

#include "app/Controls.h"
#include "app/ProgramContext.h"
#include "app/TextCell.h"
#include "ecudata/RecordTables.h"
#include "monitor/ControlLook.h"
#include "monitor/EngineValues.h"
#include "monitor/WindowControls.h"
#include "support/Conversions.h"

#include <array>
#include <cmath>

namespace monitor {

namespace {

constexpr int TabLambda = 4;
constexpr quint8 FlagEmulation = 0x02;
constexpr int Probe1TypeByte = 86;
constexpr int Probe2TypeByte = 87;

// The controls of each probe's display, boxes first.
using ProbeControls = std::array<const char*, 7>;
constexpr ProbeControls Probe1Controls{"TxtLambda(0)", "TxtLambda(1)", "LblParLambda(0)",
                                       "LblCalLambda", "ImgLambda1",   "LblParLambdaMv(0)",
                                       "ShpLambda1"};
constexpr ProbeControls Probe2Controls{"TxtLambda2(0)", "TxtLambda2(1)", "LblParLambda(1)",
                                       "LblCalLambda2", "ImgLambda2",    "LblParLambdaMv(1)",
                                       "ShpLambda2"};

} // namespace

std::optional<double> LambdaCursorLeft(qint32 value, double barLeft, double barWidth,
                                       double cursorWidth, qint32 lower, qint32 upper) {
    if (upper == lower) {
        return std::nullopt;
    }
    const double span = barWidth - 2 * cursorWidth;
    double pos = support::RoundHalfEven(span / (double(upper) - lower) * (double(value) - lower));
    if (pos > span) {
        pos = support::RoundHalfEven(span);
    } else if (pos < 0) {
        pos = 0;
    }
    return barLeft + cursorWidth + pos - cursorWidth / 2;
}

void MoveLaLambda(qint32 value, const QWidget& bar, QWidget& cursor, qint32 lower, qint32 upper) {
    const auto left = LambdaCursorLeft(value, app::LeftTwips(bar), app::WidthTwips(bar),
                                       app::WidthTwips(cursor), lower, upper);
    if (left) {
        app::SetLeftTwips(cursor, int(std::lround(*left)));
    }
}

LambdaDisplay::LambdaDisplay(app::ProgramContext& context, app::FrmLX735& window)
    : ctx_(context), window_(window) {
    for (const ProbeControls* probe : {&Probe1Controls, &Probe2Controls}) {
        for (const char* name : *probe) {
            Control(name); // every control is there
        }
    }
    Control("TxtLambdaOut1");
    Control("TxtLambdaOut2");
    // The bar pictures run from lean to rich; the cursors are solid.
    for (const char* bar : {"ImgLambda1", "ImgLambda2"}) {
        Control(bar).setStyleSheet(
            "background: qlineargradient(x1: 0, y1: 0, x2: 1, y2: 0, stop: 0 #3060ff, "
            "stop: 0.5 #30c030, stop: 1 #ff4020);");
    }
    for (const char* cursor : {"ShpLambda1", "ShpLambda2"}) {
        SetFillColor(Control(cursor), 0);
        SetBorderColor(Control(cursor), 0xFFFFFF);
    }
}

QWidget& LambdaDisplay::Control(const char* name) {
    return MainControl<QWidget>(window_, name);
}

void LambdaDisplay::ShowProbeControls(bool shown) {
    for (const ProbeControls* probe : {&Probe1Controls, &Probe2Controls}) {
        for (const char* name : *probe) {
            SetShown(Control(name), shown);
        }
    }
}

void LambdaDisplay::ShowLambda() {
    if (ctx_.Images.Mem3Data.LambdaSwitch != 0) {
        ShowProbes();
    } else if (!Control("TxtLambda(0)").isHidden()) {
        ShowProbeControls(false);
    }
    if (window_.SstMain().currentIndex() == TabLambda) {
        ShowEmulatedOutputs();
    }
}

void LambdaDisplay::ShowProbes() {
    const ecudata::EcuImages& images = ctx_.Images;
    const ecudata::Mem1Rec& live = images.Mem1Data;
    auto& page1 = MainControl<app::TextCell>(window_, "TxtLambda(0)");
    auto& page2 = MainControl<app::TextCell>(window_, "TxtLambda2(0)");
    QWidget& cursor1 = Control("ShpLambda1");
    QWidget& cursor2 = Control("ShpLambda2");
    if (page1.isHidden()) {
        // Both probes' displays come back: a session starts with no probe type until
        // zone 3 has been read.
        ShowProbeControls(true);
    }

    const bool probe1 = images.EmulaBlkData[Probe1TypeByte] != 0;
    page1.setText(probe1 ? LiveFixed(live.Lambda1, 3, 1, ctx_.DecimalSep) : NotConfigured);
    SetShown(cursor1, probe1);
    MainControl<app::TextCell>(window_, "TxtLambda(1)").setText(page1.text());

    // A probe-2 cursor comes back with its probe, as probe 1's does, unless the probe's
    // bar is not shown at all.
    const bool probe2 = (images.EmulaBlkData[Probe2TypeByte] & 0x0F) != 0;
    page2.setText(probe2 ? LiveFixed(live.Lambda2, 3, 1, ctx_.DecimalSep) : NotConfigured);
    SetShown(cursor2, probe2 && !Control("ImgLambda2").isHidden());
    MainControl<app::TextCell>(window_, "TxtLambda2(1)").setText(page2.text());

    const qint16 type = images.Mem3Data.LambdaSwitch;
    const auto& table = ctx_.Tables.TblLambda;
    if (type > qint32(table.size()) - 1) {
        return;
    }
    const int row = ecudata::FindLambda(ctx_.Tables, type);
    if (row < 0) {
        return; // no record of that type: the cursors stay
    }
    const ecudata::LambdaRec& record = table[size_t(row)];
    const auto millivolts = [](float volts) {
        return qint32(support::RoundHalfEven(double(volts) * 1000));
    };
    if (!cursor1.isHidden()) {
        MoveLaLambda(millivolts(live.Lambda1), Control("ImgLambda1"), cursor1, record.Param1,
                     record.Param2);
    }
    if (!cursor2.isHidden()) {
        MoveLaLambda(millivolts(live.Lambda2), Control("ImgLambda2"), cursor2, record.Param1,
                     record.Param2);
    }
}

void LambdaDisplay::ShowEmulatedOutputs() {
    const ecudata::EcuImages& images = ctx_.Images;
    auto& out1 = MainControl<app::TextCell>(window_, "TxtLambdaOut1");
    auto& out2 = MainControl<app::TextCell>(window_, "TxtLambdaOut2");
    if (images.Mem3Data.LambdaSwitch < 1 || !(images.Mem2Data.Flags & FlagEmulation)) {
        out1.setText(NotConfigured);
        out2.setText(NotConfigured);
        return;
    }
    const auto volts = [this](qint32 millivolts) {
        return LiveFixed(millivolts / 1000.0, 2, 1, ctx_.DecimalSep);
    };
    out1.setText(images.EmulaBlkData[Probe1TypeByte] == 0 ? NotConfigured
                                                          : volts(images.Mem1Data.LambdaOut1));
    out2.setText((images.EmulaBlkData[Probe2TypeByte] & 0x0F) == 0
                     ? NotConfigured
                     : volts(images.Mem1Data.LambdaOut2));
}

} // namespace monitor
