#include "platform/FtdiLibftdi.h"

#include "platform/Clock.h"
#include "platform/OsError.h"

#include <QByteArray>
#include <algorithm>
#include <ftdi.h>
#include <libusb.h>
#include <utility>

namespace platform {

namespace {

// The count is asked for up to a thousand times a second while off-line; a USB
// enumeration costs far more than that allows.
constexpr double CountCacheUsec = 250000.0;
// The chip sends what it has at the latest after this many milliseconds.
constexpr unsigned char LatencyMs = 2;
constexpr int FetchChunk = 4096;

// A failing library call: its code becomes the last system error.
FT_STATUS Failed(int code, FT_STATUS status) {
    SetLastOsError(code);
    return status;
}

// libftdi's own code for a context whose device has been closed under it.
constexpr int DeviceUnavailable = -666;

struct DeviceList {
    ftdi_device_list* head = nullptr;
    ~DeviceList() { ftdi_list_free(&head); }
};

struct Context {
    ftdi_context* ctx = ftdi_new();
    ~Context() {
        if (ctx) {
            ftdi_free(ctx);
        }
    }
    ftdi_context* Release() { return std::exchange(ctx, nullptr); }
};

} // namespace

struct LibFtdiDriver::Device {
    ftdi_context* ctx = nullptr;
    QByteArray rx;

    ~Device() {
        ftdi_usb_close(ctx);
        ftdi_free(ctx);
    }
};

struct LibFtdiDriver::Lister {
    Context context;
};

FT_STATUS LibFtdiTransferStatus(int code) {
    switch (code) {
    case LIBUSB_ERROR_NO_DEVICE:
    case LIBUSB_ERROR_NOT_FOUND:
    case DeviceUnavailable:
        return FtStatusDeviceNotFound;
    case LIBUSB_ERROR_IO: // also every failed write: libftdi gives -1 for them all
        return FtStatusIoError;
    default:
        return FtStatusOtherError;
    }
}

LibFtdiDriver::LibFtdiDriver() = default;
LibFtdiDriver::~LibFtdiDriver() = default;

LibFtdiDriver::Device* LibFtdiDriver::Find(qint32 handle) {
    const auto it = devices_.find(handle);
    return it == devices_.end() ? nullptr : it->second.get();
}

FT_STATUS LibFtdiDriver::FT_ListDevices(qint32& count) {
    const double now = SteadyNowUsec();
    if (now - cachedAtUsec_ >= CountCacheUsec) {
        cachedAtUsec_ = now;
        if (!lister_) {
            lister_ = std::make_unique<Lister>();
        }
        if (!lister_->context.ctx) {
            lister_.reset(); // tried again when the count is next due
            cachedStatus_ = Failed(-1, FtStatusOtherError);
        } else {
            DeviceList list;
            const int found = ftdi_usb_find_all(lister_->context.ctx, &list.head, 0, 0);
            cachedStatus_ = found < 0 ? Failed(found, FtStatusIoError) : FT_OK;
            cachedCount_ = found < 0 ? 0 : found;
        }
    }
    if (cachedStatus_ == FT_OK) {
        count = cachedCount_;
    }
    return cachedStatus_;
}

FT_STATUS LibFtdiDriver::FT_Open(qint32 deviceNumber, qint32& handle) {
    Context context;
    if (!context.ctx) {
        return Failed(-1, FtStatusOtherError);
    }
    // Give the kernel's serial driver the cable back on close, so a port map that
    // names its tty keeps working after a USB session.
    context.ctx->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
    DeviceList list;
    const int found = ftdi_usb_find_all(context.ctx, &list.head, 0, 0);
    if (found < 0) {
        return Failed(found, FtStatusIoError);
    }
    ftdi_device_list* entry = list.head;
    for (qint32 i = 0; entry && i < deviceNumber; ++i) {
        entry = entry->next;
    }
    if (deviceNumber < 0 || !entry) {
        return Failed(0, FtStatusDeviceNotFound);
    }
    const int opened = ftdi_usb_open_dev(context.ctx, entry->dev);
    if (opened < 0) {
        return Failed(opened, FtStatusDeviceNotOpened);
    }
    ftdi_set_latency_timer(context.ctx, LatencyMs);
    auto device = std::make_unique<Device>();
    device->ctx = context.Release();
    handle = nextHandle_++;
    devices_[handle] = std::move(device);
    return FT_OK;
}

FT_STATUS LibFtdiDriver::FT_SetBaudRate(qint32 handle, quint32 baud) {
    Device* device = Find(handle);
    if (!device) {
        return Failed(0, FtStatusInvalidHandle);
    }
    const int result = ftdi_set_baudrate(device->ctx, static_cast<int>(baud));
    return result < 0 ? Failed(result, FtStatusIoError) : FT_OK;
}

FT_STATUS LibFtdiDriver::FT_SetDataCharacteristics(qint32 handle, int wordLength, int stopBits,
                                                   int parity) {
    Device* device = Find(handle);
    if (!device) {
        return Failed(0, FtStatusInvalidHandle);
    }
    if ((wordLength != 7 && wordLength != 8) || stopBits < 0 || stopBits > 2 || parity < 0 ||
        parity > 4) {
        return Failed(0, FtStatusInvalidParameter);
    }
    const int result = ftdi_set_line_property(device->ctx, static_cast<ftdi_bits_type>(wordLength),
                                              static_cast<ftdi_stopbits_type>(stopBits),
                                              static_cast<ftdi_parity_type>(parity));
    return result < 0 ? Failed(result, FtStatusIoError) : FT_OK;
}

FT_STATUS LibFtdiDriver::FT_SetFlowControl(qint32 handle, int flowControl, char, char) {
    Device* device = Find(handle);
    if (!device) {
        return Failed(0, FtStatusInvalidHandle);
    }
    if (flowControl != FT_FLOW_NONE) {
        return Failed(0, FtStatusInvalidParameter); // the link never asks for flow control
    }
    const int result = ftdi_setflowctrl(device->ctx, SIO_DISABLE_FLOW_CTRL);
    return result < 0 ? Failed(result, FtStatusIoError) : FT_OK;
}

FT_STATUS LibFtdiDriver::FT_SetTimeouts(qint32 handle, quint32 readMs, quint32 writeMs) {
    Device* device = Find(handle);
    if (!device) {
        return Failed(0, FtStatusInvalidHandle);
    }
    device->ctx->usb_read_timeout = static_cast<int>(readMs);
    device->ctx->usb_write_timeout = static_cast<int>(writeMs);
    return FT_OK;
}

FT_STATUS LibFtdiDriver::FT_SetChars(qint32 handle, char eventChar, bool eventEnabled,
                                     char errorChar, bool errorEnabled) {
    Device* device = Find(handle);
    if (!device) {
        return Failed(0, FtStatusInvalidHandle);
    }
    int result = ftdi_set_event_char(device->ctx, static_cast<unsigned char>(eventChar),
                                     eventEnabled ? 1 : 0);
    if (result >= 0) {
        result = ftdi_set_error_char(device->ctx, static_cast<unsigned char>(errorChar),
                                     errorEnabled ? 1 : 0);
    }
    return result < 0 ? Failed(result, FtStatusIoError) : FT_OK;
}

FT_STATUS LibFtdiDriver::Fetch(Device& device) {
    unsigned char chunk[FetchChunk];
    const int n = ftdi_read_data(device.ctx, chunk, FetchChunk);
    if (n < 0) {
        return Failed(n, LibFtdiTransferStatus(n));
    }
    device.rx.append(reinterpret_cast<const char*>(chunk), n);
    return FT_OK;
}

FT_STATUS LibFtdiDriver::FT_GetQueueStatus(qint32 handle, qint32& rxBytes) {
    Device* device = Find(handle);
    if (!device) {
        return Failed(0, FtStatusInvalidHandle);
    }
    const FT_STATUS status = Fetch(*device);
    if (status != FT_OK) {
        return status;
    }
    rxBytes = static_cast<qint32>(device->rx.size());
    return FT_OK;
}

FT_STATUS LibFtdiDriver::FT_Read(qint32 handle, char* buffer, qint32 count, qint32& bytesRead) {
    bytesRead = 0;
    Device* device = Find(handle);
    if (!device) {
        return Failed(0, FtStatusInvalidHandle);
    }
    if (device->rx.size() < count) {
        const FT_STATUS status = Fetch(*device);
        if (status != FT_OK) {
            return status;
        }
    }
    const qint32 n = std::min<qint32>(count, static_cast<qint32>(device->rx.size()));
    std::copy_n(device->rx.constData(), n, buffer);
    device->rx.remove(0, n);
    bytesRead = n;
    return FT_OK;
}

FT_STATUS LibFtdiDriver::FT_Write(qint32 handle, const char* buffer, qint32 count,
                                  qint32& written) {
    written = 0;
    Device* device = Find(handle);
    if (!device) {
        return Failed(0, FtStatusInvalidHandle);
    }
    const int result =
        ftdi_write_data(device->ctx, reinterpret_cast<const unsigned char*>(buffer), count);
    if (result < 0) {
        return Failed(result, LibFtdiTransferStatus(result));
    }
    written = result;
    return FT_OK;
}

FT_STATUS LibFtdiDriver::FT_Purge(qint32 handle, int mask) {
    Device* device = Find(handle);
    if (!device) {
        return Failed(0, FtStatusInvalidHandle);
    }
    int result = 0;
    if (mask & FT_PURGE_RX) {
        device->rx.clear();
        result = ftdi_tciflush(device->ctx);
    }
    if ((mask & FT_PURGE_TX) && result >= 0) {
        result = ftdi_tcoflush(device->ctx);
    }
    return result < 0 ? Failed(result, FtStatusIoError) : FT_OK;
}

FT_STATUS LibFtdiDriver::FT_Close(qint32 handle) {
    if (devices_.erase(handle) == 0) {
        return Failed(0, FtStatusInvalidHandle);
    }
    return FT_OK;
}

} // namespace platform
