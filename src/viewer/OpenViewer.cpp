#include "viewer/OpenViewer.h"

#include "app/Controls.h"
#include "app/FrmLX735.h"
#include "app/ProgramContext.h"
#include "monitor/Monitor.h"
#include "viewer/FrmView.h"

namespace viewer {

void OpenViewer(app::ProgramContext& ctx, app::FrmLX735& window, monitor::MonitorHooks& hooks) {
    if (window.Timer1Busy || ctx.Comm().WDogPresente()) {
        return;
    }
    const monitor::Timer2Pause pause(hooks);
    const auto names = ViewChannelNames(
        [&window](const QString& label) { return app::Caption(window.Control(label)); });
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

} // namespace viewer
