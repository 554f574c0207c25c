#pragma once

// The main window's controls as the live displays use them: looked up once by name and
// kind. A control the window lacks is a fault of the program, stopped at once.

#include "app/FrmLX735.h"

#include <QString>
#include <QtGlobal>

namespace monitor {

template <class Control> Control& MainControl(app::FrmLX735& window, const QString& name) {
    auto* control = dynamic_cast<Control*>(window.Control(name));
    if (!control) {
        qFatal("The main window has no control %s of the kind the live displays use",
               qPrintable(name));
    }
    return *control;
}

// Shows or hides the control only when its own flag differs (whatever the tab shown).
void SetShown(QWidget& control, bool shown);

} // namespace monitor
