#pragma once

// The designed controls of the main window: the tab control SstMain with its six pages,
// the live-values frame, the status bar and the controls of every page that the
// window's translation and layout address, each named as the program's procedures
// name it. The pages' own procedures (in the libraries above) lay them out, fill them
// and add the controls they own.

class QWidget;

namespace app {

class TabStrip;

// Builds the controls into client, the window's central widget, and returns SstMain.
TabStrip* BuildMainControls(QWidget& client);

} // namespace app
