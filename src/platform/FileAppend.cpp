#include "platform/FileAppend.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool WriteAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

} // namespace

FileAppender::~FileAppender() {
    Close();
}

bool FileAppender::IsOpenAt(const QByteArray& path) const {
    struct stat there {};
    return fd_ >= 0 && path == path_ && ::stat(path.constData(), &there) == 0 &&
           there.st_dev == device_ && there.st_ino == inode_;
}

bool FileAppender::Open(const QByteArray& path) {
    Close();
    fd_ = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    struct stat opened {};
    if (fd_ < 0 || ::fstat(fd_, &opened) != 0) {
        Close();
        return false;
    }
    path_ = path;
    device_ = opened.st_dev;
    inode_ = opened.st_ino;
    return true;
}

void FileAppender::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = -1;
    path_.clear();
}

std::optional<qint64> FileAppender::Append(const QString& path, const QByteArray& bytes) {
    const QByteArray name = QFile::encodeName(path);
    if (!IsOpenAt(name) && !Open(name)) {
        return std::nullopt;
    }
    struct stat status {};
    if (!WriteAll(fd_, bytes.constData(), bytes.size()) || ::fstat(fd_, &status) != 0) {
        Close(); // opened afresh at the next append
        return std::nullopt;
    }
    return qint64(status.st_size);
}

} // namespace platform
