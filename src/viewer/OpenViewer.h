#pragma once

namespace app {
class FrmLX735;
struct ProgramContext;
} // namespace app

namespace monitor {
struct MonitorHooks;
}

namespace viewer {

class ChannelLabels;

// The General page's viewer button: nothing while the link pump's tick runs or the link
// has timed out; otherwise, once the link-step gate opens, the poll scheduler pauses, the
// viewer opens modally with the channel names the labels read then, and K_gm is what it
// was once it closes. labels: the main window's, bound by the program's composition; a
// rig without them hands none and the channels go unnamed.
void OpenViewer(app::ProgramContext& ctx, app::FrmLX735& window, monitor::MonitorHooks& hooks,
                const ChannelLabels* labels);

} // namespace viewer
