#pragma once

#include "platform/SerialPort.h"

namespace platform {

// A serial device through POSIX termios. Exclusive use is an advisory lock on the open
// descriptor, so a second program (or a second open here) fails while the port is held.
class PosixSerialPort final : public SerialPort {
public:
    PosixSerialPort() = default;
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    bool Open(const QString& path, quint32 dcbBitFields) override;
    qint32 Handle() const override { return fd_ > 0 ? fd_ : 0; }
    bool QueueStatus(qint32& errors, qint32& inQueue, qint32& outQueue) override;
    bool Read(char* buffer, qint32 count, qint32& bytesRead) override;
    bool WriteByte(char byte, qint32& written) override;
    bool Purge(int flags) override;
    bool Close() override;

private:
    int fd_ = -1;
};

} // namespace platform
