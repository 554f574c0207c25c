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

} // namespace link_test
