#include "ui/DialogIcon.h"

#include "support/FileRoutines.h"

#include <QIcon>
#include <QWidget>

namespace ui {

void LoadDialogIcon(QWidget& window, const QString& appFolder) {
    const QString path = appFolder + "/LNG/ico.img";
    if (support::IsFilePresent(path)) {
        window.setWindowIcon(QIcon(path));
    }
}

} // namespace ui
