#pragma once

#include "platform/OsError.h"
#include "platform/SerialPort.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <functional>

namespace link_test {

// A scriptable serial port: opens only the paths it is told to, queues the bytes a
// test (or a responder) gives it, records what the link writes, and fails on demand
// with an OS error code.
class FakePort final : public platform::SerialPort {
public:
    bool Open(const QString& path, quint32 flags) override {
        openAttempts << path;
        if (handle_ != 0 || !acceptedPaths.contains(path)) {
            platform::SetLastOsError(handle_ != 0 ? 16 : openError);
            return false;
        }
        openFlags = flags;
        handle_ = nextHandle++;
        return true;
    }
    qint32 Handle() const override { return handle_; }
    bool QueueStatus(qint32& errors, qint32& inQueue, qint32& outQueue) override {
        errors = 0;
        outQueue = 0;
        inQueue = 0;
        if (handle_ == 0 || failQueue) {
            platform::SetLastOsError(handle_ == 0 ? EBADF : failError);
            return false;
        }
        inQueue = static_cast<qint32>(rx.size());
        return true;
    }
    bool Read(char* buffer, qint32 count, qint32& bytesRead) override {
        bytesRead = 0;
        if (handle_ == 0 || failRead) {
            platform::SetLastOsError(handle_ == 0 ? EBADF : failError);
            return false;
        }
        const qint32 n =
            std::min<qint32>(std::min(count, shortReadLimit), static_cast<qint32>(rx.size()));
        std::copy_n(rx.constData(), n, buffer);
        rx.remove(0, n);
        bytesRead = n;
        return true;
    }
    bool WriteByte(char byte, qint32& written) override {
        written = 0;
        if (handle_ == 0 || failWrite) {
            platform::SetLastOsError(handle_ == 0 ? EBADF : writeError);
            return false;
        }
        written = 1;
        tx.append(byte);
        if (onByte) {
            onByte(byte);
        }
        return true;
    }
    bool Purge(int flags) override {
        purges << flags;
        if (flags & platform::PURGE_RXCLEAR) {
            rx.clear();
        }
        return handle_ != 0;
    }
    bool Close() override {
        ++closes;
        handle_ = 0;
        return true;
    }

    QStringList acceptedPaths;
    int openError = 2; // the system's code of an open that fails
    QStringList openAttempts;
    quint32 openFlags = 0;
    qint32 nextHandle = 40;
    QByteArray rx; // waiting to be read by the link
    QByteArray tx; // written by the link
    bool failQueue = false;
    bool failRead = false;
    bool failWrite = false;
    int failError = EIO;     // of a failing queue query or read
    int writeError = EAGAIN; // of a failing write
    qint32 shortReadLimit = 1 << 30;
    QList<int> purges;
    int closes = 0;
    std::function<void(char)> onByte;

private:
    qint32 handle_ = 0;
};

} // namespace link_test
