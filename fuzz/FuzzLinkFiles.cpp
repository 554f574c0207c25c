// The link's two small files: the COM port map BIN/ComPorts.ini and the port-handle file
// BIN/Handle.ini, both from the same bytes. Any bytes are read without harm; COM1..COM9
// name a device unless the map gives the port an empty path (which is reported), other
// names none, and a handle read is a positive number.

#include "FuzzSupport.h"

#include "link/ComPorts.h"
#include "link/RxTxLog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteInput(QStringLiteral("/BIN/ComPorts.ini"), data, size);
    fuzz::WriteInput(QStringLiteral("/BIN/Handle.ini"), data, size);
    const QString root = fuzz::Root();
    for (int n = 1; n <= 9; ++n) {
        bool emptyPath = false;
        const QString device =
            comm::ComPortDevice(root, QStringLiteral("COM%1").arg(n), &emptyPath);
        FUZZ_CHECK(device.isEmpty() == emptyPath);
    }
    for (const char* other : {"COM0", "COM10", "com1", "LPT1", ""}) {
        FUZZ_CHECK(comm::ComPortDevice(root, QString::fromLatin1(other)).isEmpty());
    }
    qint32 handle = 0;
    QString errorText;
    if (comm::ReadHandleFile(root, handle, errorText)) {
        FUZZ_CHECK(handle > 0);
    }
    return 0;
}
