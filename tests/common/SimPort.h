#pragma once

#include "platform/SerialPort.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace testing_support {

// A serial port whose far end is a simulated ECU in the same process, on the current
// clock (support::GetTimeUsec): bytes written reach the ECU at once, and the input
// queue holds the reply bytes the ECU has put on the wire by now. Bytes the ECU sends
// while the port is closed are lost, as on a real line; a hang-up of the ECU makes
// every call fail for as long as the line is dead.
class SimPort final : public platform::SerialPort {
public:
    using ReceiveFn = std::function<void(const QByteArray& bytes, double nowUsec)>;
    using TransmitFn = std::function<QByteArray(double nowUsec)>;
    using HangUpFn = std::function<std::optional<double>()>;

    // Any ECU model with Receive(bytes, now), Transmit(now) and TakeHangUp().
    // devicePath: the only path it opens under ("" opens under any path).
    template <class Ecu>
    explicit SimPort(Ecu& ecu, QString devicePath = QString())
        : SimPort([&ecu](const QByteArray& b, double t) { ecu.Receive(b, t); },
                  [&ecu](double t) { return ecu.Transmit(t); }, [&ecu] { return ecu.TakeHangUp(); },
                  std::move(devicePath)) {}
    SimPort(ReceiveFn receive, TransmitFn transmit, HangUpFn hangUp, QString devicePath);

    bool Open(const QString& path, quint32 dcbBitFields) override;
    qint32 Handle() const override { return handle_; }
    bool QueueStatus(qint32& errors, qint32& inQueue, qint32& outQueue) override;
    bool Read(char* buffer, qint32 count, qint32& bytesRead) override;
    bool WriteByte(char byte, qint32& written) override;
    bool Purge(int flags) override;
    bool Close() override;

    QString DevicePath() const { return devicePath_; }
    int Opens() const { return opens_; }

private:
    // Moves what the ECU has sent by now into the input queue; False while the line
    // is dead.
    bool Pull();
    bool Fail(int code);

    ReceiveFn receive_;
    TransmitFn transmit_;
    HangUpFn hangUp_;
    QString devicePath_;
    QByteArray input_;
    qint32 handle_ = 0;
    double deadUntil_ = -1;
    int opens_ = 0;
    static qint32 nextHandle_;
};

} // namespace testing_support
