#include "link/ComPorts.h"

#include "support/LineReader.h"

#include <QRegularExpression>
#include <cerrno>
#include <cstring>
#include <optional>

namespace comm {

namespace {

constexpr int FirstCom = 1;
constexpr int LastCom = 9;

int ComNumber(const QString& name) {
    static const QRegularExpression pattern("^COM([1-9])$");
    const QRegularExpressionMatch match = pattern.match(name);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

// The value line after the last "[COMn]" marker of the file (markers are matched
// without regard to case or surrounding blanks); nothing when there is none. Read a
// line at a time with a bound: a damaged file costs no more than one line.
std::optional<QString> MappedDevice(const QString& appFolder, int number) {
    support::LineReader file(ComPortsPath(appFolder));
    const QString marker = QString("[COM%1]").arg(number);
    std::optional<QString> device;
    while (const auto line = file.Next()) {
        if (QString::fromUtf8(*line).trimmed().compare(marker, Qt::CaseInsensitive) == 0) {
            device = QString::fromUtf8(file.Next().value_or(QByteArray())).trimmed();
        }
    }
    return device;
}

} // namespace

QString ComPortsPath(const QString& appFolder) {
    return appFolder + "/BIN/ComPorts.ini";
}

QString ComPortDevice(const QString& appFolder, const QString& comPortNome, bool* emptyPath) {
    if (emptyPath) {
        *emptyPath = false;
    }
    const int number = ComNumber(comPortNome);
    if (number < FirstCom || number > LastCom) {
        return {};
    }
    const std::optional<QString> mapped = MappedDevice(appFolder, number);
    if (!mapped) {
        return QString("/dev/ttyS%1").arg(number - 1);
    }
    if (mapped->isEmpty() && emptyPath) {
        *emptyPath = true;
    }
    return *mapped;
}

PortOpenReason ReasonOf(const PortOpenFailure& failure) {
    if (failure.device.isEmpty()) {
        return PortOpenReason::NoDevicePath;
    }
    switch (failure.osError) {
    case EACCES:
    case EPERM:
        return PortOpenReason::Permission;
    case EBUSY:
    case EWOULDBLOCK:
        return PortOpenReason::Busy;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return PortOpenReason::NoDevice;
    default:
        return PortOpenReason::Other;
    }
}

// Short enough that the message fits the status bar's wide cell at the window's start
// size with a device path such as /dev/ttyUSB0.
const QStringList& PortOpenTexts() {
    static const QStringList texts = {
        QStringLiteral("BIN/ComPorts.ini gives this port no device path"),
        QStringLiteral("permission denied; add user to group dialout, log in again"),
        QStringLiteral("another program holds the port; close it"),
        QStringLiteral("no such device; plug in the cable or pick another port"),
        QStringLiteral("cannot be opened:"),
    };
    return texts;
}

QString PortOpenMessage(const PortOpenFailure& failure, const QStringList& texts) {
    const PortOpenReason reason = ReasonOf(failure);
    const QString text = texts.value(int(reason));
    if (reason == PortOpenReason::NoDevicePath) {
        return failure.port + ": " + text;
    }
    const QString message = failure.port + " (" + failure.device + "): " + text;
    return reason == PortOpenReason::Other
               ? message + " " + QString::fromLocal8Bit(std::strerror(failure.osError))
               : message;
}

} // namespace comm
