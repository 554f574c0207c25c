#pragma once

// The General page's layout: the frame FrmPrincipe on tab 0 with the injector panel on
// the left (bars, injector-time column, buttons and status lamps) and the engine values
// on the right (rpm, six value rows, lambda indicators, level lamps), recomputed from the
// window's size at every resize and tab change. Two font sets, chosen by the window's
// outer height.

#include "ui/TwipsGeometry.h"

namespace app {
class FrmLX735;
}

namespace monitor {

// scaleWidth and scaleHeight: the window's inner size; outerHeight: its outer Height.
// Positions inside FrmPrincipe are relative to the frame; the frame's own are relative to
// the tab control. Reads the design sizes and tops it never changes from the model.
void LayoutGeneralPage(ui::TwipsGeometry& page, float scaleWidth, float scaleHeight,
                       float outerHeight);

// The layout on the window's controls, bound when it is made.
class GeneralPageLayout {
public:
    explicit GeneralPageLayout(app::FrmLX735& window);

    // Lays the page out for the window's size; the frame also takes the button-face
    // colour.
    void Layout();

private:
    app::FrmLX735& window_;
    QWidget& frame_;
    ui::LayoutControls controls_;
};

} // namespace monitor
