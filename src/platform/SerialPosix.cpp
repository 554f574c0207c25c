#include "platform/SerialPosix.h"

#include "platform/OsError.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace platform {

namespace {

// Write time-out for one byte: 5 ms per byte plus 50 ms.
constexpr int WriteTimeoutMs = 55;

// Switches of the serial API's device-control flags word that have a POSIX meaning.
constexpr quint32 OutxCtsFlow = 0x0004;
constexpr quint32 DtrControlMask = 0x0030;
constexpr quint32 DtrControlDisable = 0x0000;
constexpr quint32 OutX = 0x0100;
constexpr quint32 InX = 0x0200;
constexpr quint32 RtsControlMask = 0x3000;
constexpr quint32 RtsControlDisable = 0x0000;
constexpr quint32 RtsControlHandshake = 0x2000;

bool Fail() {
    SetLastOsError(errno);
    return false;
}

// The handle numbers 0..2 would read as "not open" or collide with standard streams
// that a launcher closed: such a descriptor is moved above them.
int KeepAboveStandardStreams(int fd) {
    if (fd > 2) {
        return fd;
    }
    const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    const int err = errno;
    close(fd);
    errno = err;
    return moved;
}

// A hung-up line (the device unplugged, a pseudo-terminal's far end closed) reads as
// an end of file, which the raw mode's zero-byte minimum also gives for an empty queue.
bool HungUp(int fd) {
    pollfd pfd{fd, POLLIN, 0};
    return poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL));
}

void SetModemLine(int fd, int line, bool on) {
    // Pseudo-terminals have no modem lines: the result does not matter.
    (void)ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line);
}

// Raw 38400 8N1; the flags word, when given, chooses flow control and modem lines.
void ApplyLineSettings(int fd, quint32 dcbBitFields) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        return; // as with the serial API, a port that refuses its settings stays usable
    }
    cfmakeraw(&tio);
    tio.c_cflag &= ~(PARENB | CSTOPB | CSIZE | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, B38400);
    cfsetospeed(&tio, B38400);
    if (dcbBitFields != 0) {
        if ((dcbBitFields & OutxCtsFlow) ||
            (dcbBitFields & RtsControlMask) == RtsControlHandshake) {
            tio.c_cflag |= CRTSCTS;
        }
        if (dcbBitFields & OutX) {
            tio.c_iflag |= IXON;
        }
        if (dcbBitFields & InX) {
            tio.c_iflag |= IXOFF;
        }
    }
    (void)tcsetattr(fd, TCSANOW, &tio);
    if (dcbBitFields != 0) {
        SetModemLine(fd, TIOCM_DTR, (dcbBitFields & DtrControlMask) != DtrControlDisable);
        SetModemLine(fd, TIOCM_RTS, (dcbBitFields & RtsControlMask) != RtsControlDisable);
    }
}

} // namespace

PosixSerialPort::~PosixSerialPort() {
    Close();
}

bool PosixSerialPort::Open(const QString& path, quint32 dcbBitFields) {
    if (fd_ >= 0) {
        errno = EBUSY;
        return Fail();
    }
    if (path.isEmpty()) {
        errno = ENOENT;
        return Fail();
    }
    int fd = open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return Fail();
    }
    fd = KeepAboveStandardStreams(fd);
    if (fd < 0) {
        return Fail();
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno == EWOULDBLOCK ? EBUSY : errno;
        close(fd);
        errno = err;
        return Fail();
    }
    ApplyLineSettings(fd, dcbBitFields);
    fd_ = fd;
    return true;
}

bool PosixSerialPort::QueueStatus(qint32& errors, qint32& inQueue, qint32& outQueue) {
    errors = 0;
    inQueue = 0;
    outQueue = 0;
    if (fd_ < 0) {
        errno = EBADF;
        return Fail();
    }
    int in = 0;
    if (ioctl(fd_, FIONREAD, &in) != 0) {
        return Fail();
    }
    int out = 0;
    if (ioctl(fd_, TIOCOUTQ, &out) != 0) {
        out = 0; // not every device reports its output queue
    }
    inQueue = in;
    outQueue = out;
    return true;
}

bool PosixSerialPort::Read(char* buffer, qint32 count, qint32& bytesRead) {
    bytesRead = 0;
    if (fd_ < 0) {
        errno = EBADF;
        return Fail();
    }
    while (bytesRead < count) {
        const ssize_t n = read(fd_, buffer + bytesRead, static_cast<size_t>(count - bytesRead));
        if (n > 0) {
            bytesRead += static_cast<qint32>(n);
            continue;
        }
        if (n == 0 && HungUp(fd_)) {
            errno = EIO; // the end of a line whose far end is gone, not an empty queue
            return Fail();
        }
        if (n == 0 || errno == EAGAIN || errno == EWOULDBLOCK) {
            return true; // nothing more waiting: a short read, as with a read time-out
        }
        if (errno != EINTR) {
            return Fail();
        }
    }
    return true;
}

bool PosixSerialPort::WriteByte(char byte, qint32& written) {
    written = 0;
    if (fd_ < 0) {
        errno = EBADF;
        return Fail();
    }
    for (;;) {
        const ssize_t n = write(fd_, &byte, 1);
        if (n == 1) {
            written = 1;
            return true;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            return Fail();
        }
        pollfd pfd{fd_, POLLOUT, 0};
        const int ready = poll(&pfd, 1, WriteTimeoutMs);
        if (ready == 0) {
            errno = ETIMEDOUT;
            return Fail();
        }
        if (ready < 0 && errno != EINTR) {
            return Fail();
        }
        if (pfd.revents & (POLLERR | POLLHUP | POLLNVAL)) {
            errno = EIO;
            return Fail();
        }
    }
}

bool PosixSerialPort::Purge(int flags) {
    if (fd_ < 0) {
        errno = EBADF;
        return Fail();
    }
    const bool in = flags & PURGE_RXCLEAR;
    const bool out = flags & PURGE_TXCLEAR;
    if (!in && !out) {
        return true; // no transfer runs in the background, so there is nothing to abort
    }
    if (tcflush(fd_, in && out ? TCIOFLUSH : (in ? TCIFLUSH : TCOFLUSH)) != 0) {
        return Fail();
    }
    return true;
}

bool PosixSerialPort::Close() {
    if (fd_ < 0) {
        return true;
    }
    // The descriptor is released even when close reports an error; never retry it.
    const int result = close(fd_);
    const int err = errno;
    fd_ = -1;
    if (result != 0 && err != EINTR) {
        errno = err;
        return Fail();
    }
    return true;
}

} // namespace platform
