#pragma once

// BIN/ComPorts.ini maps the program's port names COM1..COM9 to serial devices:
// line pairs "[COM3]" then a device path ("/dev/ttyUSB0", "/dev/serial/by-id/...",
// a pseudo-terminal), in UTF-8. An unmapped COMn is /dev/ttyS<n-1>.

#include <QString>
#include <QStringList>

namespace comm {

QString ComPortsPath(const QString& appFolder);

// The device of a port name "COM1".."COM9"; "" for any other name, and for a port whose
// marker is followed by an empty path line (then emptyPath is set: the file is wrong,
// and no default stands in for what it meant).
QString ComPortDevice(const QString& appFolder, const QString& comPortNome,
                      bool* emptyPath = nullptr);

// A port that could not be opened, as the link reports it. osError 0 with an empty
// device: the map file gives the port no device path.
struct PortOpenFailure {
    QString port; // "COM1"
    QString device;
    int osError = 0;
};

// Why, in the order of the texts below.
enum class PortOpenReason { NoDevicePath, Permission, Busy, NoDevice, Other };
PortOpenReason ReasonOf(const PortOpenFailure& failure);

// The installer's words for each reason with the remedy where there is one, in English
// (the dictionary holds the other languages). Other's is followed by the system's words.
const QStringList& PortOpenTexts();

// What the installer reads: the port, its device and the reason's text from texts.
QString PortOpenMessage(const PortOpenFailure& failure, const QStringList& texts = PortOpenTexts());

} // namespace comm
