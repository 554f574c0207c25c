#pragma once

#include "platform/FtdiDriver.h"

#include <map>
#include <memory>

namespace platform {

// The status of a failed libftdi transfer (its result code): the codes of a cable
// that is no longer there give a status that FtDeviceGone knows, a time-out or an
// interrupted transfer does not.
FT_STATUS LibFtdiTransferStatus(int code);

// The interface cable through libftdi. The device count is cached for a short while
// because callers ask for it on every tick of the link timer while off-line. libftdi
// has no receive-queue count: each device keeps the bytes it has fetched from USB in
// a buffer of its own, and the queue count is that buffer after a fetch.
class LibFtdiDriver final : public FtdiDriver {
public:
    LibFtdiDriver();
    ~LibFtdiDriver() override;
    LibFtdiDriver(const LibFtdiDriver&) = delete;
    LibFtdiDriver& operator=(const LibFtdiDriver&) = delete;

    FT_STATUS FT_ListDevices(qint32& count) override;
    FT_STATUS FT_Open(qint32 deviceNumber, qint32& handle) override;
    FT_STATUS FT_SetBaudRate(qint32 handle, quint32 baud) override;
    FT_STATUS FT_SetDataCharacteristics(qint32 handle, int wordLength, int stopBits,
                                        int parity) override;
    FT_STATUS FT_SetFlowControl(qint32 handle, int flowControl, char xon, char xoff) override;
    FT_STATUS FT_SetTimeouts(qint32 handle, quint32 readMs, quint32 writeMs) override;
    FT_STATUS FT_SetChars(qint32 handle, char eventChar, bool eventEnabled, char errorChar,
                          bool errorEnabled) override;
    FT_STATUS FT_GetQueueStatus(qint32 handle, qint32& rxBytes) override;
    FT_STATUS FT_Read(qint32 handle, char* buffer, qint32 count, qint32& bytesRead) override;
    FT_STATUS FT_Write(qint32 handle, const char* buffer, qint32 count, qint32& written) override;
    FT_STATUS FT_Purge(qint32 handle, int mask) override;
    FT_STATUS FT_Close(qint32 handle) override;

private:
    struct Device;
    struct Lister;
    Device* Find(qint32 handle);
    FT_STATUS Fetch(Device& device);

    std::map<qint32, std::unique_ptr<Device>> devices_;
    // Kept for the program's life: a new context starts the USB library again, with a
    // bus scan and a thread of its own.
    std::unique_ptr<Lister> lister_;
    qint32 nextHandle_ = 1;
    qint32 cachedCount_ = 0;
    FT_STATUS cachedStatus_ = FtStatusOtherError;
    double cachedAtUsec_ = -1e18;
};

} // namespace platform
