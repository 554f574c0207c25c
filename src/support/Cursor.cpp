#include "support/Cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace support {

CursorOverride::CursorOverride(Qt::CursorShape shape) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(QCursor(shape));
        active_ = true;
    }
}

CursorOverride::~CursorOverride() {
    if (active_) {
        QGuiApplication::restoreOverrideCursor();
    }
}

} // namespace support
