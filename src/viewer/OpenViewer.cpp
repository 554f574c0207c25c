#include "viewer/OpenViewer.h"

#include "app/FrmLX735.h"
#include "app/ProgramContext.h"
#include "monitor/Monitor.h"
#include "ui/Controls.h"
#include "viewer/FrmView.h"

#include <QTimer>

namespace viewer {

namespace {

void Open(app::ProgramContext& ctx, app::FrmLX735& window, monitor::MonitorHooks& hooks) {
    const monitor::Timer2Pause pause(hooks);
    const auto names = ViewChannelNames(
        [&window](const QString& label) { return ui::Caption(window.Control(label)); });
    const double kgmSaved = ctx.Scale.K_gm;
    {
        FrmView view(ctx, names, &window);
        view.Form_Load();
        if (!view.Unloaded()) {
            view.exec();
        }
    }
    ctx.Scale.K_gm = kgmSaved;
}

// A click that arrives inside a timer's tick (its exchange's waits let events in) would
// open the viewer on top of a frame half sent: the viewer's own exchanges would then wait
// for a link that cannot finish it. The viewer opens once both ticks have ended.
void OpenWhenIdle(app::ProgramContext& ctx, app::FrmLX735& window, monitor::MonitorHooks& hooks) {
    if (window.Timer1Busy || window.Timer2Busy) {
        QTimer::singleShot(1, &window,
                           [&ctx, &window, &hooks] { OpenWhenIdle(ctx, window, hooks); });
        return;
    }
    Open(ctx, window, hooks);
}

} // namespace

void OpenViewer(app::ProgramContext& ctx, app::FrmLX735& window, monitor::MonitorHooks& hooks) {
    if (window.Timer1Busy || ctx.Comm().WDogPresente()) {
        return;
    }
    OpenWhenIdle(ctx, window, hooks);
}

} // namespace viewer
