#include "platform/Sound.h"

#include <QApplication>

namespace platform {

void Beep() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QApplication::beep();
    }
}

} // namespace platform
