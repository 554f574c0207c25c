#include "monitor/LambdaDisplay.h"

#include "app/FrmLX735.h"
#include "app/ProgramContext.h"
#include "ecudata/RecordTables.h"
#include "monitor/EngineValues.h"
#include "support/Conversions.h"
#include "ui/ControlBuilder.h"
#include "ui/ControlLook.h"
#include "ui/Controls.h"
#include "ui/TextCell.h"

#include <array>
#include <cmath>

namespace monitor {

namespace {

constexpr int TabLambda = 4;
constexpr quint8 FlagEmulation = 0x02;
constexpr int Probe1TypeByte = 86;
constexpr int Probe2TypeByte = 87;

// The controls of each probe's display: the General page's box, the frame's box, the
// caption, the frame's caption, the bar picture, the unit and the cursor.
constexpr LambdaDisplay::ProbeControls Probe1Controls{
    "TxtLambda(0)", "TxtLambda(1)",      "LblParLambda(0)", "LblCalLambda",
    "ImgLambda1",   "LblParLambdaMv(0)", "ShpLambda1"};
constexpr LambdaDisplay::ProbeControls Probe2Controls{
    "TxtLambda2(0)", "TxtLambda2(1)",     "LblParLambda(1)", "LblCalLambda2",
    "ImgLambda2",    "LblParLambdaMv(1)", "ShpLambda2"};

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
    const auto left = LambdaCursorLeft(value, ui::LeftTwips(bar), ui::WidthTwips(bar),
                                       ui::WidthTwips(cursor), lower, upper);
    if (left) {
        ui::SetLeftTwips(cursor, int(std::lround(*left)));
    }
}

LambdaDisplay::Probe LambdaDisplay::BindProbe(app::FrmLX735& window, const ProbeControls& names) {
    Probe probe{ui::Bind<ui::TextCell>(window, names[0]),
                ui::Bind<ui::TextCell>(window, names[1]),
                ui::Bind<QWidget>(window, names[4]),
                ui::Bind<QWidget>(window, names[6]),
                {}};
    for (size_t i = 0; i < names.size(); ++i) {
        probe.all[i] = &ui::Bind<QWidget>(window, names[i]);
    }
    return probe;
}

LambdaDisplay::LambdaDisplay(app::ProgramContext& context, app::FrmLX735& window)
    : ctx_(context), window_(window), probe1_(BindProbe(window, Probe1Controls)),
      probe2_(BindProbe(window, Probe2Controls)),
      out1_(ui::Bind<ui::TextCell>(window, "TxtLambdaOut1")),
      out2_(ui::Bind<ui::TextCell>(window, "TxtLambdaOut2")) {
    // The bar pictures run from lean to rich; the cursors are solid.
    for (const Probe* probe : {&probe1_, &probe2_}) {
        probe->bar.setStyleSheet(
            "background: qlineargradient(x1: 0, y1: 0, x2: 1, y2: 0, stop: 0 #3060ff, "
            "stop: 0.5 #30c030, stop: 1 #ff4020);");
        ui::SetFillColor(probe->cursor, 0);
        ui::SetBorderColor(probe->cursor, 0xFFFFFF);
    }
}

void LambdaDisplay::ShowProbeControls(bool shown) {
    for (const Probe* probe : {&probe1_, &probe2_}) {
        for (QWidget* control : probe->all) {
            ui::SetShown(*control, shown);
        }
    }
}

void LambdaDisplay::ShowLambda() {
    if (ctx_.Images.Mem3Data.LambdaSwitch != 0) {
        ShowProbes();
    } else if (!probe1_.page.isHidden()) {
        ShowProbeControls(false);
    }
    if (window_.SstMain().currentIndex() == TabLambda) {
        ShowEmulatedOutputs();
    }
}

void LambdaDisplay::ShowProbes() {
    const ecudata::EcuImages& images = ctx_.Images;
    const ecudata::Mem1Rec& live = images.Mem1Data;
    if (probe1_.page.isHidden()) {
        // Both probes' displays come back: a session starts with no probe type until
        // zone 3 has been read.
        ShowProbeControls(true);
    }

    const bool probe1 = images.EmulaBlkData[Probe1TypeByte] != 0;
    probe1_.page.setText(probe1 ? LiveFixed(live.Lambda1, 3, 1, ctx_.DecimalSep) : NotConfigured);
    ui::SetShown(probe1_.cursor, probe1);
    probe1_.frame.setText(probe1_.page.text());

    // A probe-2 cursor comes back with its probe, as probe 1's does, unless the probe's
    // bar is not shown at all.
    const bool probe2 = (images.EmulaBlkData[Probe2TypeByte] & 0x0F) != 0;
    probe2_.page.setText(probe2 ? LiveFixed(live.Lambda2, 3, 1, ctx_.DecimalSep) : NotConfigured);
    ui::SetShown(probe2_.cursor, probe2 && !probe2_.bar.isHidden());
    probe2_.frame.setText(probe2_.page.text());

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
    const std::pair<const Probe*, float> probes[] = {{&probe1_, live.Lambda1},
                                                     {&probe2_, live.Lambda2}};
    for (const auto& [probe, volts] : probes) {
        if (!probe->cursor.isHidden()) {
            MoveLaLambda(millivolts(volts), probe->bar, probe->cursor, record.Param1,
                         record.Param2);
        }
    }
}

void LambdaDisplay::ShowEmulatedOutputs() {
    const ecudata::EcuImages& images = ctx_.Images;
    if (images.Mem3Data.LambdaSwitch < 1 || !(images.Mem2Data.Flags & FlagEmulation)) {
        out1_.setText(NotConfigured);
        out2_.setText(NotConfigured);
        return;
    }
    const auto volts = [this](qint32 millivolts) {
        return LiveFixed(millivolts / 1000.0, 2, 1, ctx_.DecimalSep);
    };
    out1_.setText(images.EmulaBlkData[Probe1TypeByte] == 0 ? NotConfigured
                                                           : volts(images.Mem1Data.LambdaOut1));
    out2_.setText((images.EmulaBlkData[Probe2TypeByte] & 0x0F) == 0
                      ? NotConfigured
                      : volts(images.Mem1Data.LambdaOut2));
}

void LambdaDisplay::Blank() {
    for (const Probe* probe : {&probe1_, &probe2_}) {
        probe->page.setText({});
        probe->frame.setText({});
        ui::SetShown(probe->cursor, false);
    }
    out1_.setText({});
    out2_.setText({});
}

} // namespace monitor
