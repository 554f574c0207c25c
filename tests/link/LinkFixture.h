#pragma once

#include "FakePort.h"
#include "common/FakeTime.h"
#include "common/TempTree.h"
#include "link/ClsComm.h"
#include "platform/FtdiFake.h"
#include "platform/SerialPort.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace link_test {

// A serial port that is never there: every call fails.
class AbsentSerialPort final : public platform::SerialPort {
public:
    bool Open(const QString&, quint32) override { return false; }
    qint32 Handle() const override { return 0; }
    bool QueueStatus(qint32&, qint32&, qint32&) override { return false; }
    bool Read(char*, qint32, qint32& n) override {
        n = 0;
        return false;
    }
    bool WriteByte(char, qint32& n) override {
        n = 0;
        return false;
    }
    bool Purge(int) override { return false; }
    bool Close() override { return true; }
};

// The lines of the link log, without their line ends.
inline QList<QByteArray> ReadLogLines(const testing_support::TempTree& tree) {
    QList<QByteArray> lines = tree.Read("BIN/RxTx.TXT").split('\n');
    for (QByteArray& line : lines) {
        line = line.trimmed();
    }
    lines.removeAll(QByteArray());
    return lines;
}

// A link object in a temporary application tree, with no port behind it.
struct LinkInTree {
    testing_support::TempTree tree;
    AbsentSerialPort serial;
    platform::FakeFtdiDriver ftdi;
    comm::ClsComm link{tree.Root(), serial, ftdi};
};

// Every line's text after its time stamp ("T 41...", "lpErrors 0"), or the whole line
// when it has none (name lines).
inline QStringList Texts(const testing_support::TempTree& tree) {
    QStringList texts;
    for (const QByteArray& line : ReadLogLines(tree)) {
        const QString text = QString::fromLatin1(line.mid(1, line.size() - 2));
        const qsizetype blank = text.indexOf(' ');
        bool stamped = false;
        text.left(blank).toLongLong(&stamped);
        texts << (stamped ? text.mid(blank + 1) : text);
    }
    return texts;
}

// A link on a scriptable port (COM1, fixed) or on a fake cable that carries it.
struct PortRig {
    testing_support::TempTree tree;
    testing_support::FakeTime time;
    FakePort port;
    platform::FakeFtdiDriver ftdi;
    comm::ClsComm link{tree.Root(), port, ftdi};

    PortRig() {
        tree.Write("BIN/ComPorts.ini", "[COM1]\r\n/dev/fake\r\n");
        port.acceptedPaths << "/dev/fake"
                           << "ftdi:0";
        link.ComPort(1);
        link.FlagRicercaCom(comm::NoSearch);
    }
    // Opens the port and leaves the link ready.
    void Open(bool usb) {
        link.UsbCom(usb);
        if (usb) {
            ftdi.AddDevice(port);
        }
        ASSERT_TRUE(link.SetComm());
        link.ComState(comm::COM_READY);
    }
};

} // namespace link_test
