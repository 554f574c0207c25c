#pragma once

#include <QRect>
#include <QWidget>

namespace testing_support {

// A named control of type T placed on parent (which owns it), as the program's windows
// name and place theirs.
template <class T> T* Add(QWidget& parent, const char* name, QRect where) {
    auto* control = new T(&parent);
    control->setObjectName(name);
    control->setGeometry(where);
    return control;
}

} // namespace testing_support
