#include "platform/FileCopy.h"

#include <QFile>
#include <QSaveFile>
#include <cstdio>

namespace platform {

namespace {

// Copies run through a buffer of this size, so a file of any size costs the same memory.
constexpr qint64 ChunkBytes = 1024 * 1024;

} // namespace

bool CopyFileOverwrite(const QString& from, const QString& to) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        return false;
    }
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly)) {
        return false;
    }
    QByteArray chunk(ChunkBytes, Qt::Uninitialized);
    for (;;) {
        const qint64 got = source.read(chunk.data(), ChunkBytes);
        if (got < 0 || (got > 0 && target.write(chunk.constData(), got) != got)) {
            target.cancelWriting();
            return false;
        }
        if (got == 0) {
            return target.commit();
        }
    }
}

bool MoveFileOverwrite(const QString& from, const QString& to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace platform
