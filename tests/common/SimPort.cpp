#include "common/SimPort.h"

#include "platform/OsError.h"
#include "support/Clock.h"

#include <algorithm>
#include <cerrno>

namespace testing_support {

qint32 SimPort::nextHandle_ = 300;

SimPort::SimPort(ReceiveFn receive, TransmitFn transmit, HangUpFn hangUp, QString devicePath)
    : receive_(std::move(receive)), transmit_(std::move(transmit)), hangUp_(std::move(hangUp)),
      devicePath_(std::move(devicePath)) {}

bool SimPort::Fail(int code) {
    platform::SetLastOsError(code);
    return false;
}

bool SimPort::Pull() {
    const double now = support::GetTimeUsec();
    if (const std::optional<double> dead = hangUp_()) {
        deadUntil_ = now + *dead;
        input_.clear();
    }
    const QByteArray arrived = transmit_(now);
    if (now < deadUntil_) {
        return false;
    }
    input_ += arrived;
    return true;
}

bool SimPort::Open(const QString& path, quint32) {
    if (handle_ != 0) {
        return Fail(EBUSY);
    }
    if (!devicePath_.isEmpty() && path != devicePath_) {
        return Fail(ENOENT);
    }
    transmit_(support::GetTimeUsec()); // sent while nobody listened: lost
    input_.clear();
    handle_ = nextHandle_++;
    ++opens_;
    return true;
}

bool SimPort::QueueStatus(qint32& errors, qint32& inQueue, qint32& outQueue) {
    errors = 0;
    inQueue = 0;
    outQueue = 0;
    if (handle_ == 0) {
        return Fail(EBADF);
    }
    if (!Pull()) {
        return Fail(EIO);
    }
    inQueue = static_cast<qint32>(input_.size());
    return true;
}

bool SimPort::Read(char* buffer, qint32 count, qint32& bytesRead) {
    bytesRead = 0;
    if (handle_ == 0) {
        return Fail(EBADF);
    }
    if (!Pull()) {
        return Fail(EIO);
    }
    const qint32 n = std::min(count, static_cast<qint32>(input_.size()));
    std::copy_n(input_.constData(), n, buffer);
    input_.remove(0, n);
    bytesRead = n;
    return true;
}

bool SimPort::WriteByte(char byte, qint32& written) {
    written = 0;
    if (handle_ == 0) {
        return Fail(EBADF);
    }
    if (!Pull()) {
        return Fail(EIO);
    }
    receive_(QByteArray(1, byte), support::GetTimeUsec());
    written = 1;
    return true;
}

bool SimPort::Purge(int flags) {
    if (handle_ == 0) {
        return Fail(EBADF);
    }
    if (flags & platform::PURGE_RXCLEAR) {
        Pull();
        input_.clear();
    }
    return true;
}

bool SimPort::Close() {
    handle_ = 0;
    input_.clear();
    return true;
}

} // namespace testing_support
