#include "viewer/OpenViewer.h"

#include "app/FrmLX735.h"
#include "app/LinkStepGate.h"
#include "app/ProgramContext.h"
#include "monitor/Monitor.h"
#include "viewer/FrmView.h"

namespace viewer {

namespace {

void Open(app::ProgramContext& ctx, app::FrmLX735& window, monitor::MonitorHooks& hooks,
          const ChannelLabels* labels) {
    const monitor::Timer2Pause pause(hooks);
    const std::array<QString, 8> names = labels ? labels->Names() : std::array<QString, 8>{};
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

} // namespace

void OpenViewer(app::ProgramContext& ctx, app::FrmLX735& window, monitor::MonitorHooks& hooks,
                const ChannelLabels* labels) {
    if (window.Timer1Busy || ctx.Comm().WDogPresente()) {
        return;
    }
    // A click that arrives inside a tick's exchange (its waits let events in) would open
    // the viewer on top of a frame half sent: the viewer's own exchanges would then wait
    // for a link that cannot finish it.
    app::LinkStepGate(ctx).RunWhenOpen(
        window, [&ctx, &window, &hooks, labels] { Open(ctx, window, hooks, labels); });
}

} // namespace viewer
