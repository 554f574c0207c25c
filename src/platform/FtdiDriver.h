#pragma once

#include <QtGlobal>

namespace platform {

// Status of a driver call: 0 is success, anything else a failure.
using FT_STATUS = qint32;
constexpr FT_STATUS FT_OK = 0;
constexpr FT_STATUS FtStatusInvalidHandle = 1;
constexpr FT_STATUS FtStatusDeviceNotFound = 2;
constexpr FT_STATUS FtStatusDeviceNotOpened = 3;
constexpr FT_STATUS FtStatusIoError = 4;
constexpr FT_STATUS FtStatusInvalidParameter = 6;
constexpr FT_STATUS FtStatusOtherError = 18;

// The statuses of a cable that is no longer there: unplugged, or its handle gone with it.
constexpr bool FtDeviceGone(FT_STATUS status) {
    return status == FtStatusInvalidHandle || status == FtStatusDeviceNotFound ||
           status == FtStatusDeviceNotOpened || status == FtStatusIoError;
}

// Purge masks.
constexpr int FT_PURGE_RX = 1;
constexpr int FT_PURGE_TX = 2;

// Line settings as the link passes them.
constexpr int FT_BITS_8 = 8;
constexpr int FT_STOP_BITS_1 = 0;
constexpr int FT_PARITY_NONE = 0;
constexpr int FT_FLOW_NONE = 0;

// The USB interface cable's driver, one call per operation the link needs. Devices
// are numbered from 0 in the order of the last count; handles are never 0. A failing
// call leaves the underlying system or USB error code in LastOsError.
class FtdiDriver {
public:
    virtual ~FtdiDriver() = default;

    // The number of interface cables attached (the count-only listing).
    virtual FT_STATUS FT_ListDevices(qint32& count) = 0;
    virtual FT_STATUS FT_Open(qint32 deviceNumber, qint32& handle) = 0;
    virtual FT_STATUS FT_SetBaudRate(qint32 handle, quint32 baud) = 0;
    virtual FT_STATUS FT_SetDataCharacteristics(qint32 handle, int wordLength, int stopBits,
                                                int parity) = 0;
    virtual FT_STATUS FT_SetFlowControl(qint32 handle, int flowControl, char xon, char xoff) = 0;
    virtual FT_STATUS FT_SetTimeouts(qint32 handle, quint32 readMs, quint32 writeMs) = 0;
    virtual FT_STATUS FT_SetChars(qint32 handle, char eventChar, bool eventEnabled, char errorChar,
                                  bool errorEnabled) = 0;
    // Bytes waiting in the receive queue.
    virtual FT_STATUS FT_GetQueueStatus(qint32 handle, qint32& rxBytes) = 0;
    // Reads up to count waiting bytes; bytesRead is what really arrived.
    virtual FT_STATUS FT_Read(qint32 handle, char* buffer, qint32 count, qint32& bytesRead) = 0;
    virtual FT_STATUS FT_Write(qint32 handle, const char* buffer, qint32 count,
                               qint32& written) = 0;
    virtual FT_STATUS FT_Purge(qint32 handle, int mask) = 0;
    virtual FT_STATUS FT_Close(qint32 handle) = 0;
};

} // namespace platform
