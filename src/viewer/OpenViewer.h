#pragma once

namespace app {
class FrmLX735;
struct ProgramContext;
} // namespace app

namespace monitor {
struct MonitorHooks;
}

namespace viewer {

// The General page's viewer button: nothing while the link pump's tick runs or the link
// has timed out; otherwise the poll scheduler pauses, the viewer opens modally with the
// channel names from the window's labels, and K_gm is what it was once it closes.
void OpenViewer(app::ProgramContext& ctx, app::FrmLX735& window, monitor::MonitorHooks& hooks);

} // namespace viewer
