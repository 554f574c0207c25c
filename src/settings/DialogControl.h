#pragma once

// The settings dialogs' own controls, looked up by name ("HScrLevel(2)"). A control the
// dialog lacks is a fault of the program, stopped at once.

#include "app/Controls.h"

#include <QWidget>

namespace settings {

template <class T> T& Child(const QWidget& dialog, const QString& name) {
    auto* control = dialog.findChild<T*>(name);
    if (!control) {
        qFatal("%s has no control %s of the kind used", qPrintable(dialog.objectName()),
               qPrintable(name));
    }
    return *control;
}

// Element i of a control array's name.
inline QString Row(const char* name, int i) {
    return app::ArrayName(name, i);
}

} // namespace settings
