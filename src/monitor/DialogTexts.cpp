#include "monitor/DialogTexts.h"

#include "support/FileRoutines.h"
#include "support/Lingue.h"

#include <QIcon>
#include <QWidget>

namespace monitor {

QStringList DialogTexts(const support::ClsLingue& lingue, const QString& marker, int count) {
    for (int entry = 0; entry <= lingue.UboundVoci(); ++entry) {
        if (lingue.VoceDizionario(0, qint16(entry)) == marker) {
            QStringList texts;
            for (int k = 1; k <= count; ++k) {
                texts << lingue.VoceDizionario(lingue.IdLingua(), qint16(entry + k));
            }
            return texts;
        }
    }
    return {};
}

void LoadDialogIcon(QWidget& window, const QString& appFolder) {
    const QString path = appFolder + "/LNG/ico.img";
    if (support::IsFilePresent(path)) {
        window.setWindowIcon(QIcon(path));
    }
}

} // namespace monitor
