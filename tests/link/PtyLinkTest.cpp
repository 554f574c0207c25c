// The link object on a real line: "COM1" mapped through BIN/ComPorts.ini to a
// pseudo-terminal, and the same line behind the fake interface-cable driver. The test
// plays the ECU on the terminal's master side, in real time.

#include "LinkFixture.h"
#include "common/FdRead.h"
#include "common/Wait.h"
#include "link/ClsComm.h"
#include "platform/FtdiFake.h"
#include "platform/SerialPosix.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

using namespace comm;

namespace {

// The cable's far end in the fake driver: the pseudo-terminal, whatever name the
// driver opens it under.
class PtyWire final : public platform::SerialPort {
public:
    explicit PtyWire(QString path) : path_(std::move(path)) {}
    bool Open(const QString&, quint32 flags) override { return port_.Open(path_, flags); }
    qint32 Handle() const override { return port_.Handle(); }
    bool QueueStatus(qint32& e, qint32& in, qint32& out) override {
        return port_.QueueStatus(e, in, out);
    }
    bool Read(char* b, qint32 n, qint32& got) override { return port_.Read(b, n, got); }
    bool WriteByte(char b, qint32& n) override { return port_.WriteByte(b, n); }
    bool Purge(int flags) override { return port_.Purge(flags); }
    bool Close() override { return port_.Close(); }

private:
    QString path_;
    platform::PosixSerialPort port_;
};

class PtyLink : public testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        char name[128] = {};
        ASSERT_EQ(openpty(&master_, &slave_, name, nullptr, nullptr), 0);
        termios tio{};
        tcgetattr(master_, &tio);
        cfmakeraw(&tio);
        tcsetattr(master_, TCSANOW, &tio);
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        path_ = QString::fromLocal8Bit(name);
        wire_ = std::make_unique<PtyWire>(path_);
        tree_.Write("BIN/ComPorts.ini", "[COM1]\r\n" + path_.toLocal8Bit() + "\r\n");
        tree_.Write("BIN/SetCom.ini", "[SearchCom]\r\n 255 \r\n[Comport]\r\n1\r\n"
                                      "[Idle_usec]\r\n1000\r\n");
        ftdi_.AddDevice(*wire_);
    }
    void TearDown() override {
        close(master_);
        close(slave_);
    }

    int master_ = -1;
    int slave_ = -1;
    QString path_;
    testing_support::TempTree tree_;
    std::unique_ptr<PtyWire> wire_;
    platform::PosixSerialPort serial_;
    platform::FakeFtdiDriver ftdi_;
};

TEST_P(PtyLink, Com1CarriesSingleBytesBothWaysAt38400_8N1) {
    const bool usb = GetParam();
    ClsComm link(tree_.Root(), serial_, ftdi_);
    link.ReadSetCom("/BIN/SetCom.ini");
    link.UsbCom(usb);
    ASSERT_EQ(link.ComPortNome(), "COM1");
    ASSERT_TRUE(link.SetComm());

    termios tio{};
    ASSERT_EQ(tcgetattr(slave_, &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B38400));
    EXPECT_EQ(cfgetispeed(&tio), static_cast<speed_t>(B38400));
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS));
    if (usb) {
        EXPECT_EQ(ftdi_.settings.baud, 38400u);
        EXPECT_EQ(ftdi_.settings.wordLength, platform::FT_BITS_8);
        EXPECT_EQ(ftdi_.settings.stopBits, platform::FT_STOP_BITS_1);
        EXPECT_EQ(ftdi_.settings.parity, platform::FT_PARITY_NONE);
        EXPECT_EQ(ftdi_.settings.flowControl, platform::FT_FLOW_NONE);
    } else {
        EXPECT_EQ(link.nPorta(), serial_.Handle());
    }

    // Bytes a cooked or flow-controlled line would change or swallow, one frame each.
    for (const char byte : QByteArray::fromHex("00410A0D11130304FF7E80")) {
        const QByteArray one(1, byte);
        link.ComState(COM_READY);
        ASSERT_TRUE(link.SendMsg(one));
        EXPECT_EQ(testing_support::ReadAtLeast(master_, 1), one) << int(quint8(byte));

        ASSERT_EQ(write(master_, &byte, 1), 1);
        link.InBuffer({});
        WaitFor(
            [&] {
                link.ReciveMsg();
                return !link.InBuffer().isEmpty();
            },
            60s);
        EXPECT_EQ(link.InBuffer(), one) << int(quint8(byte));
    }
    EXPECT_TRUE(link.CloseComPort());
    EXPECT_FALSE(link.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(SerialAndCable, PtyLink, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "FakeFtdi" : "Serial";
                         });

} // namespace
