#pragma once

#include "platform/FtdiDriver.h"
#include "platform/SerialPort.h"

#include <map>
#include <vector>

namespace platform {

// A stand-in for the interface cable's driver in tests: each device is a serial port
// (a pseudo-terminal, a simulated ECU) that carries its bytes; results can be forced.
class FakeFtdiDriver final : public FtdiDriver {
public:
    struct Settings {
        quint32 baud = 0;
        int wordLength = -1, stopBits = -1, parity = -1, flowControl = -1;
        quint32 readMs = 0, writeMs = 0;
        char eventChar = 0, errorChar = 0;
        bool eventEnabled = true, errorEnabled = true;
    };

    // The port is used by reference; it must outlive the driver's use of it.
    void AddDevice(SerialPort& wire) { wires_.push_back(&wire); }
    void RemoveDevices();

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

    // Forced results (FT_OK = behave normally).
    FT_STATUS listStatus = FT_OK;
    FT_STATUS setupStatus = FT_OK; // every set-up call after the open
    FT_STATUS queueStatus = FT_OK;
    FT_STATUS readStatus = FT_OK;
    FT_STATUS writeStatus = FT_OK;

    // What the driver was asked.
    int listCalls = 0;
    std::vector<qint32> opened; // device numbers, in the order of the opens
    std::vector<int> purges;    // purge masks, in order
    int closes = 0;
    Settings settings;

private:
    SerialPort* Wire(qint32 handle);

    std::vector<SerialPort*> wires_;
    std::map<qint32, qint32> open_; // handle -> device number
    qint32 nextHandle_ = 100;
};

} // namespace platform
