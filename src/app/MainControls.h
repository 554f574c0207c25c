#pragma once

// The designed controls of the main window: the tab control SstMain with its six pages,
// the live-values frame, the status bar and the controls of every page that the
// window's own procedures, its translation and layout or more than one page address,
// each named as the program's procedures name it and described here only. The pages'
// own procedures (in the libraries above) lay them out, fill them and add the controls
// they own.

#include "ui/ControlBuilder.h"

#include <span>
#include <vector>

class QWidget;

namespace ui {
class TabStrip;
} // namespace ui

namespace app {

// The model's markers ShpPunti(0) to (8) are the window's; the Modeling page adds the
// rest of the correction table's.
inline constexpr int WindowCorMarkers = 9;

// Builds the controls into client, the window's central widget, and returns SstMain.
ui::TabStrip* BuildMainControls(QWidget& client);

// Builds a page's design table on the main window's client (after BuildMainControls):
// its parents are "client", the tab pages "Tab0" to "Tab5" and the window's controls by
// name. A control the window's design describes already stops the program as described
// twice; table names the design in the builder's messages.
std::vector<QWidget*> BuildOnMainWindow(QWidget& client, const char* table,
                                        std::span<const ui::ControlDesc> design,
                                        const ui::ControlBuilder::MakeCustom& custom = {});

} // namespace app
