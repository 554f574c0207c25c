#include "platform/FileCopy.h"

#include <QFile>
#include <QSaveFile>

namespace platform {

bool CopyFileOverwrite(const QString& from, const QString& to) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        return false;
    }
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError || target.write(bytes) != bytes.size()) {
        target.cancelWriting();
        return false;
    }
    return target.commit();
}

} // namespace platform
