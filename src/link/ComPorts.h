#pragma once

// BIN/ComPorts.ini maps the program's port names COM1..COM9 to serial devices:
// line pairs "[COM3]" then a device path ("/dev/ttyUSB0", "/dev/serial/by-id/...",
// a pseudo-terminal), in UTF-8. An unmapped COMn is /dev/ttyS<n-1>.

#include <QString>

namespace comm {

QString ComPortsPath(const QString& appFolder);

// The device of a port name "COM1".."COM9"; "" for any other name, and for a port whose
// marker is followed by an empty path line (then emptyPath is set: the file is wrong,
// and no default stands in for what it meant).
QString ComPortDevice(const QString& appFolder, const QString& comPortNome,
                      bool* emptyPath = nullptr);

// What the installer reads when a port cannot be opened: the port, its device and the
// system's reason in plain words, with the remedy where there is one. osError 0 with an
// empty device: the map file gives the port no device path.
QString PortOpenMessage(const QString& comPortNome, const QString& device, int osError);

} // namespace comm
