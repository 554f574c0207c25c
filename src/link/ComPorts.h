#pragma once

// BIN/ComPorts.ini maps the program's port names COM1..COM9 to serial devices:
// line pairs "[COM3]" then a device path ("/dev/ttyUSB0", "/dev/serial/by-id/...",
// a pseudo-terminal). An unmapped COMn is /dev/ttyS<n-1>.

#include <QString>

namespace comm {

QString ComPortsPath(const QString& appFolder);

// The device of a port name "COM1".."COM9"; "" for any other name.
QString ComPortDevice(const QString& appFolder, const QString& comPortNome);

} // namespace comm
