#pragma once

#include <QString>
#include <QtGlobal>

namespace platform {

// Purge flags, in the serial API's values: the abort flags only stop asynchronous
// transfers, which this layer never starts; the clear flags empty the driver's queues.
enum PurgeFlags : int {
    PURGE_TXABORT = 1,
    PURGE_RXABORT = 2,
    PURGE_TXCLEAR = 4,
    PURGE_RXCLEAR = 8,
};

// One serial port as the link uses it: opened by device path for this process alone,
// raw 38400 baud 8N1, and never blocking for long. A failing call returns False and
// leaves its operating-system error code in LastOsError.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // dcbBitFields 0 keeps the port's own switches (no flow control, DTR and RTS on);
    // otherwise its flow-control and modem-line bits are applied (serial API layout).
    virtual bool Open(const QString& path, quint32 dcbBitFields) = 0;
    // The port's handle number while open, 0 while closed.
    virtual qint32 Handle() const = 0;
    // Line errors since the last query and the bytes waiting in each queue.
    virtual bool QueueStatus(qint32& errors, qint32& inQueue, qint32& outQueue) = 0;
    // Reads up to count bytes that are already waiting into buffer (sized by the
    // caller); bytesRead is what really arrived, 0 when nothing was there.
    virtual bool Read(char* buffer, qint32 count, qint32& bytesRead) = 0;
    // Writes one byte, waiting at most the write time-out for room.
    virtual bool WriteByte(char byte, qint32& written) = 0;
    virtual bool Purge(int flags) = 0;
    virtual bool Close() = 0;
};

} // namespace platform
