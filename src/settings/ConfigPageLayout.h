#pragma once

// The Configuration page's layout: the frame FrmCongif on tab 1 with two columns of
// framed sections that grow with the window, and the choice whether the live-value frame
// stays shown below the tab control (not in a window lower than 9800 twips). Pure maths
// on the twips model, then written to the window's controls.

#include "ui/TwipsGeometry.h"

namespace app {
class FrmLX735;
}

namespace settings {

// The controls the layout reads and places.
const QStringList& ConfigPageControls();

struct ConfigRoom {
    float tabHeight = 0;         // SstMain.Height
    bool liveFrameShown = false; // FrmParametri and CmdParametri
};

// scaleWidth, scaleHeight: the window's inner size; outerHeight: its outer Height;
// tabFullHeight: the tab control's full height; liveFrameHeight: FrmParametri.Height.
// The frame's position counts from the tab control's top.
ConfigRoom LayoutConfigPage(ui::TwipsGeometry& page, float scaleWidth, float scaleHeight,
                            float outerHeight, float tabFullHeight, float liveFrameHeight);

struct ConfigControls;

// The layout on the window's controls; the frame also takes the button-face colour.
void LayoutConfigPage(app::FrmLX735& window, const ConfigControls& controls,
                      const ui::LayoutControls& layout);

} // namespace settings
