#pragma once

// A link object on the scratch tree with no port behind it: every serial call fails and
// the cable driver lists no device, so nothing reaches a real port.

#include "FuzzSupport.h"

#include "link/ClsComm.h"
#include "platform/FtdiFake.h"
#include "platform/SerialPort.h"

namespace fuzz {

class NoSerialPort : public platform::SerialPort {
public:
    bool Open(const QString&, quint32) override { return false; }
    qint32 Handle() const override { return 0; }
    bool QueueStatus(qint32&, qint32&, qint32&) override { return false; }
    bool Read(char*, qint32, qint32& bytesRead) override {
        bytesRead = 0;
        return false;
    }
    bool WriteByte(char, qint32& written) override {
        written = 0;
        return false;
    }
    bool Purge(int) override { return false; }
    bool Close() override { return true; }
};

struct LinkRig {
    NoSerialPort serial;
    platform::FakeFtdiDriver ftdi;
    comm::ClsComm link{Root(), serial, ftdi};
};

} // namespace fuzz
