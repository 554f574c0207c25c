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

QString PortOpenMessage(const QString& comPortNome, const QString& device, int osError) {
    if (device.isEmpty()) {
        return comPortNome + ": BIN/ComPorts.ini gives this port no device path.";
    }
    const QString port = comPortNome + " (" + device + "): ";
    switch (osError) {
    case EACCES:
    case EPERM:
        return port + "permission denied. Add the user to the dialout group "
                      "(sudo adduser $USER dialout) and log in again; see the README.";
    case EBUSY:
    case EWOULDBLOCK:
        return port + "another program holds the port. Close it and the link goes on.";
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return port + "no such device. Plug the cable in or choose another port.";
    default:
        return port + "cannot be opened: " + QString::fromLocal8Bit(std::strerror(osError)) + ".";
    }
}

} // namespace comm
