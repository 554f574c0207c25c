#include "platform/FileAppend.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

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

std::optional<qint64> AppendToFile(const QString& path, const QByteArray& bytes) {
    const FileDescriptor file(::open(QFile::encodeName(path).constData(),
                                     O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666));
    struct stat status {};
    if (file.Get() < 0 || !WriteAll(file.Get(), bytes.constData(), bytes.size()) ||
        ::fstat(file.Get(), &status) != 0) {
        return std::nullopt;
    }
    return qint64(status.st_size);
}

} // namespace platform
