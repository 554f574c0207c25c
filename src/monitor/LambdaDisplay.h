#pragma once

// The two lambda probes on the General page and in the live-value frame: their voltages
// as numbers and as cursors over bar pictures, shown or hidden with the configured probe
// type; on the Lambda page also the two emulated outputs. ShowLambda runs every 8th poll
// tick.

#include <QtGlobal>
#include <array>
#include <optional>

class QWidget;

namespace ui {
class TextCell;
} // namespace ui

namespace app {
class FrmLX735;
struct ProgramContext;
} // namespace app

namespace monitor {

// Left edge of a cursor of cursorWidth over a bar picture, for value on the scale
// lower..upper: the cursor's centre runs from one cursor width inside the bar's left end
// to one inside its right end and stays at the nearer end outside the scale. Nothing for
// a scale without a span.
std::optional<double> LambdaCursorLeft(qint32 value, double barLeft, double barWidth,
                                       double cursorWidth, qint32 lower, qint32 upper);

// Places the cursor over the bar picture (twips, relative to their common parent); a
// scale without a span leaves it where it is.
void MoveLaLambda(qint32 value, const QWidget& bar, QWidget& cursor, qint32 lower, qint32 upper);

class LambdaDisplay {
public:
    using ProbeControls = std::array<const char*, 7>;

    LambdaDisplay(app::ProgramContext& context, app::FrmLX735& window);

    void ShowLambda();
    // Empties the probe values and hides their cursors: the live record is not current.
    void Blank();

private:
    // One probe's display: its two boxes, bar picture and cursor, and every control of
    // it (shown and hidden together).
    struct Probe {
        ui::TextCell& page;
        ui::TextCell& frame;
        QWidget& bar;
        QWidget& cursor;
        std::array<QWidget*, 7> all;
    };
    static Probe BindProbe(app::FrmLX735& window, const ProbeControls& names);
    void ShowProbes();
    void ShowEmulatedOutputs();
    void ShowProbeControls(bool shown);

    app::ProgramContext& ctx_;
    app::FrmLX735& window_;
    Probe probe1_;
    Probe probe2_;
    ui::TextCell& out1_;
    ui::TextCell& out2_;
};

} // namespace monitor
