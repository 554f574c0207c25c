#include "monitor/DialogTexts.h"

#include "support/FileRoutines.h"
#include "support/Lingue.h"

#include <QIcon>
#include <QWidget>

namespace monitor {

QStringList DialogTexts(const support::ClsLingue& lingue, const QString& marker, int count) {
    return support::SectionTexts(lingue, marker, count);
}

void LoadDialogIcon(QWidget& window, const QString& appFolder) {
    const QString path = appFolder + "/LNG/ico.img";
    if (support::IsFilePresent(path)) {
        window.setWindowIcon(QIcon(path));
    }
}

} // namespace monitor
