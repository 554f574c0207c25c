#pragma once

// The Calibration tab's designed controls and its layout as arithmetic in twips, apart
// from its behaviour: the developer's read-outs in FrmVarTara, and where LayoutCalPage
// puts the status frame, its labels and progress bar, the two buttons and the
// developer's controls for the tab control's size.

#include "ui/ControlBuilder.h"

#include <QRect>
#include <QSize>
#include <span>

namespace calibration {

inline constexpr int TaraReadouts = 12;

// The read-outs: captions LblVarTara(0..11) and values LblVarTaraVal(0..11), in two
// columns of six.
std::span<const ui::ControlDesc> CalibrationDesign();

// The controls LayoutCalPage places, in twips as they stand.
struct CalPageLayout {
    QRect start;    // CmdCalStart
    QRect cancel;   // CmdCalCancel
    QRect frame;    // FrmCalStatus
    QRect step;     // LblCalStep
    QRect message;  // LblCalMsg
    QRect outline;  // ShpCalStep(0), the progress bar's frame
    QRect bar;      // ShpCalStep(1)
    QRect readouts; // FrmVarTara, the developer's
    QRect compute;  // CmdComputeModl(0), the developer's
};

// The buttons at the tab's right edge, Cancel at its foot; the status frame fills the
// rest, its labels its width and the progress bar lies along the step label's foot. With
// the read-outs shown they stand below the frame, level with Cancel, the model button
// beside them, and the frame gives up their room. Every value as a control holds it
// (whole pixels), as each step reads what the ones before it placed.
CalPageLayout LayoutCalPage(CalPageLayout page, QSize tab, bool readoutsShown);

} // namespace calibration
