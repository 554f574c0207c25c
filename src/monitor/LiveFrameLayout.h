#pragma once

// The live-value frame FrmParametri below the tab control: nine value boxes with their
// captions spread evenly over the frame's width, three indicators at its right edge, and
// one of two font sets chosen by the window's outer width. It moves nothing vertically.

#include "ui/TwipsGeometry.h"

namespace app {
class FrmLX735;
}

namespace monitor {

// The frame's width is the model's FrmParametri width; windowWidth the window's outer
// Width.
void LayoutParametriFrame(ui::TwipsGeometry& frame, float windowWidth);

// The layout on the window's controls, bound when it is made.
class LiveFrameLayout {
public:
    explicit LiveFrameLayout(app::FrmLX735& window);

    void Layout();

private:
    app::FrmLX735& window_;
    ui::LayoutControls controls_;
};

} // namespace monitor
