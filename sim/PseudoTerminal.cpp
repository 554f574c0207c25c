#include "sim/PseudoTerminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

bool Fail(QString* error, const char* what) {
    if (error) {
        *error = QString("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
    }
    return false;
}

} // namespace

bool PseudoTerminal::Open(QString* error) {
    Close();
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) {
        return Fail(error, "posix_openpt");
    }
    const char* name = nullptr;
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 || (name = ptsname(master_)) == nullptr) {
        const bool failed = Fail(error, "grantpt/unlockpt/ptsname");
        Close();
        return failed;
    }
    slavePath_ = QString::fromLocal8Bit(name);
    slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    if (slave_ < 0 || tcgetattr(slave_, &tio) != 0) {
        const bool failed = Fail(error, "open slave");
        Close();
        return failed;
    }
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&tio, B38400);
    cfsetospeed(&tio, B38400);
    if (tcsetattr(slave_, TCSANOW, &tio) != 0) {
        const bool failed = Fail(error, "tcsetattr");
        Close();
        return failed;
    }
    const int flags = fcntl(master_, F_GETFL);
    if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) {
        const bool failed = Fail(error, "fcntl");
        Close();
        return failed;
    }
    return true;
}

void PseudoTerminal::Close() {
    if (master_ >= 0) {
        close(master_);
        master_ = -1;
    }
    if (slave_ >= 0) {
        close(slave_);
        slave_ = -1;
    }
}

bool PointLink(const QString& link, const QString& target, QString* error) {
    const QByteArray linkPath = link.toLocal8Bit();
    struct stat st {};
    if (lstat(linkPath.constData(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            if (error) {
                *error = QString("%1 exists and is not a symbolic link").arg(link);
            }
            return false;
        }
        if (unlink(linkPath.constData()) != 0) {
            return Fail(error, "unlink");
        }
    }
    if (symlink(target.toLocal8Bit().constData(), linkPath.constData()) != 0) {
        return Fail(error, "symlink");
    }
    return true;
}

void RemoveLink(const QString& link, const QString& target) {
    const QByteArray linkPath = link.toLocal8Bit();
    char buffer[4096];
    const ssize_t n = readlink(linkPath.constData(), buffer, sizeof(buffer) - 1);
    if (n > 0 && QString::fromLocal8Bit(buffer, n) == target) {
        unlink(linkPath.constData());
    }
}

} // namespace sim
