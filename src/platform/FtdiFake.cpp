#include "platform/FtdiFake.h"

#include "platform/OsError.h"

#include <QString>

namespace platform {

namespace {

// A wire's failure as the cable's driver reports it: its line gone, or anything else.
FT_STATUS WireFailure() {
    return DeviceGone(LastOsError()) ? FtStatusIoError : FtStatusOtherError;
}

} // namespace

void FakeFtdiDriver::RemoveDevices() {
    for (const auto& [handle, device] : open_) {
        wires_[device]->Close();
    }
    open_.clear();
    wires_.clear();
}

SerialPort* FakeFtdiDriver::Wire(qint32 handle) {
    const auto it = open_.find(handle);
    return it == open_.end() ? nullptr : wires_[it->second];
}

FT_STATUS FakeFtdiDriver::FT_ListDevices(qint32& count) {
    ++listCalls;
    if (listStatus == FT_OK) {
        count = static_cast<qint32>(wires_.size());
    }
    return listStatus;
}

FT_STATUS FakeFtdiDriver::FT_Open(qint32 deviceNumber, qint32& handle) {
    opened.push_back(deviceNumber);
    if (deviceNumber < 0 || deviceNumber >= static_cast<qint32>(wires_.size())) {
        return FtStatusDeviceNotFound;
    }
    if (!wires_[deviceNumber]->Open(QString("ftdi:%1").arg(deviceNumber), 0)) {
        return FtStatusDeviceNotOpened;
    }
    handle = nextHandle_++;
    open_[handle] = deviceNumber;
    return FT_OK;
}

FT_STATUS FakeFtdiDriver::FT_SetBaudRate(qint32 handle, quint32 baud) {
    settings.baud = baud;
    return Wire(handle) ? setupStatus : FtStatusInvalidHandle;
}

FT_STATUS FakeFtdiDriver::FT_SetDataCharacteristics(qint32 handle, int wordLength, int stopBits,
                                                    int parity) {
    settings.wordLength = wordLength;
    settings.stopBits = stopBits;
    settings.parity = parity;
    return Wire(handle) ? setupStatus : FtStatusInvalidHandle;
}

FT_STATUS FakeFtdiDriver::FT_SetFlowControl(qint32 handle, int flowControl, char, char) {
    settings.flowControl = flowControl;
    return Wire(handle) ? setupStatus : FtStatusInvalidHandle;
}

FT_STATUS FakeFtdiDriver::FT_SetTimeouts(qint32 handle, quint32 readMs, quint32 writeMs) {
    settings.readMs = readMs;
    settings.writeMs = writeMs;
    return Wire(handle) ? setupStatus : FtStatusInvalidHandle;
}

FT_STATUS FakeFtdiDriver::FT_SetChars(qint32 handle, char eventChar, bool eventEnabled,
                                      char errorChar, bool errorEnabled) {
    settings.eventChar = eventChar;
    settings.eventEnabled = eventEnabled;
    settings.errorChar = errorChar;
    settings.errorEnabled = errorEnabled;
    return Wire(handle) ? setupStatus : FtStatusInvalidHandle;
}

FT_STATUS FakeFtdiDriver::FT_GetQueueStatus(qint32 handle, qint32& rxBytes) {
    SerialPort* wire = Wire(handle);
    if (!wire) {
        return FtStatusInvalidHandle;
    }
    if (queueStatus != FT_OK) {
        return queueStatus;
    }
    qint32 errors = 0, outQueue = 0;
    return wire->QueueStatus(errors, rxBytes, outQueue) ? FT_OK : WireFailure();
}

FT_STATUS FakeFtdiDriver::FT_Read(qint32 handle, char* buffer, qint32 count, qint32& bytesRead) {
    bytesRead = 0;
    SerialPort* wire = Wire(handle);
    if (!wire) {
        return FtStatusInvalidHandle;
    }
    if (readStatus != FT_OK) {
        return readStatus;
    }
    return wire->Read(buffer, count, bytesRead) ? FT_OK : WireFailure();
}

FT_STATUS FakeFtdiDriver::FT_Write(qint32 handle, const char* buffer, qint32 count,
                                   qint32& written) {
    written = 0;
    SerialPort* wire = Wire(handle);
    if (!wire) {
        return FtStatusInvalidHandle;
    }
    if (writeStatus != FT_OK) {
        return writeStatus;
    }
    for (qint32 i = 0; i < count; ++i) {
        qint32 one = 0;
        if (!wire->WriteByte(buffer[i], one)) {
            return WireFailure();
        }
        written += one;
    }
    return FT_OK;
}

FT_STATUS FakeFtdiDriver::FT_Purge(qint32 handle, int mask) {
    purges.push_back(mask);
    SerialPort* wire = Wire(handle);
    if (!wire) {
        return FtStatusInvalidHandle;
    }
    const int flags =
        ((mask & FT_PURGE_RX) ? PURGE_RXCLEAR : 0) | ((mask & FT_PURGE_TX) ? PURGE_TXCLEAR : 0);
    return wire->Purge(flags) ? FT_OK : WireFailure();
}

FT_STATUS FakeFtdiDriver::FT_Close(qint32 handle) {
    ++closes;
    SerialPort* wire = Wire(handle);
    if (!wire) {
        return FtStatusInvalidHandle;
    }
    wire->Close();
    open_.erase(handle);
    return FT_OK;
}

} // namespace platform
