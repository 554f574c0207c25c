#include "platform/FileCopy.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace platform {

namespace {

// Copies run through a buffer of this size, so a file of any size costs the same memory.
constexpr qint64 ChunkBytes = 1024 * 1024;

QString SystemText(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

// The reason the copy failed; "" once the target is replaced. A buffered write that
// failed for lack of space shows only at the flush (and then only in errno), and the
// commit alone would still replace the old file with the truncated copy.
QString Copy(QFile& source, QSaveFile& target) {
    if (!source.open(QIODevice::ReadOnly)) {
        return source.errorString();
    }
    if (!target.open(QIODevice::WriteOnly)) {
        return target.errorString();
    }
    QByteArray chunk(ChunkBytes, Qt::Uninitialized);
    for (;;) {
        const qint64 got = source.read(chunk.data(), ChunkBytes);
        if (got < 0) {
            return source.errorString();
        }
        if (got == 0) {
            break;
        }
        errno = 0;
        if (target.write(chunk.constData(), got) != got) {
            return errno != 0 ? SystemText(errno) : target.errorString();
        }
    }
    errno = 0;
    if (!target.flush() || target.error() != QFileDevice::NoError) {
        return errno != 0 ? SystemText(errno) : target.errorString();
    }
    // Where the space runs short only at the sync (network file systems, quotas): the
    // commit's own sync ignores its result.
    if (::fsync(target.handle()) != 0 && errno != EINVAL) {
        return SystemText(errno);
    }
    return target.commit() ? QString() : target.errorString();
}

} // namespace

bool CopyFileOverwrite(const QString& from, const QString& to, QString* why) {
    QFile source(from);
    QSaveFile target(to);
    const QString failure = Copy(source, target);
    if (failure.isEmpty()) {
        return true;
    }
    target.cancelWriting();
    if (why) {
        *why = failure;
    }
    return false;
}

bool MoveFileOverwrite(const QString& from, const QString& to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace platform
