#include "platform/FileAppend.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// The bytes written before the first failure (all of them on success); errno tells the
// failure.
qint64 WriteAll(int fd, const char* data, qint64 size) {
    qint64 done = 0;
    while (done < size) {
        const ssize_t written = ::write(fd, data + done, size_t(size - done));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            if (written == 0) {
                errno = EIO;
            }
            return done;
        }
        done += written;
    }
    return done;
}

// Cuts the last bytes off the file: the part of a line that went in before a failure.
bool TakeBack(int fd, qint64 bytes) {
    struct stat status {};
    return bytes == 0 ||
           (::fstat(fd, &status) == 0 && ::ftruncate(fd, status.st_size - bytes) == 0);
}

} // namespace

FileAppender::~FileAppender() {
    Close();
}

bool FileAppender::IsAt(const FileId& file, const QByteArray& path) {
    struct stat there {};
    return path == file.path && ::stat(path.constData(), &there) == 0 &&
           there.st_dev == file.device && there.st_ino == file.inode;
}

bool FileAppender::StillStoppedAt(const QByteArray& path) {
    if (stopped_ && !IsAt(*stopped_, path)) {
        stopped_.reset(); // another file stands there now
    }
    return stopped_.has_value();
}

bool FileAppender::Open(const QByteArray& path) {
    Close();
    fd_ = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    struct stat opened {};
    if (fd_ < 0 || ::fstat(fd_, &opened) != 0) {
        Close();
        return false;
    }
    open_ = {path, opened.st_dev, opened.st_ino};
    return true;
}

void FileAppender::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = -1;
    open_ = {};
}

QString FileAppender::Stop(int error, qint64 written) {
    TakeBack(fd_, written); // should that fail too, the stop still holds
    stopped_ = open_;
    Close();
    return QString::fromLocal8Bit(std::strerror(error));
}

AppendResult FileAppender::Append(const QString& path, const QByteArray& bytes) {
    const QByteArray name = QFile::encodeName(path);
    if (StillStoppedAt(name) || (!(fd_ >= 0 && IsAt(open_, name)) && !Open(name))) {
        return {};
    }
    const qint64 written = WriteAll(fd_, bytes.constData(), bytes.size());
    if (written != bytes.size()) {
        const int error = errno;
        return {std::nullopt, Stop(error, written)};
    }
    struct stat status {};
    if (::fstat(fd_, &status) != 0) {
        Close(); // opened afresh at the next append
        return {};
    }
    return {qint64(status.st_size), QString()};
}

} // namespace platform
