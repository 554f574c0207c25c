#include "platform/SerialPosix.h"
#include "common/FdRead.h"
#include "common/Wait.h"
#include "platform/OsError.h"

#include <QString>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

using platform::PosixSerialPort;

namespace {

// A pseudo-terminal pair: the test plays the ECU on the master side.
class PtyPair : public testing::Test {
protected:
    void SetUp() override {
        char name[128] = {};
        ASSERT_EQ(openpty(&master_, &slave_, name, nullptr, nullptr), 0);
        path_ = QString::fromLocal8Bit(name);
        termios tio{};
        tcgetattr(master_, &tio);
        cfmakeraw(&tio);
        tcsetattr(master_, TCSANOW, &tio);
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    void TearDown() override {
        close(master_);
        close(slave_);
    }

    // Polls the port's input queue until n bytes wait.
    qint32 WaitForInput(PosixSerialPort& port, qint32 n) {
        qint32 errors = 0, in = 0, out = 0;
        WaitFor([&] { return !port.QueueStatus(errors, in, out) || in >= n; }, 60s);
        return in;
    }

    int master_ = -1;
    int slave_ = -1;
    QString path_;
};

} // namespace

TEST_F(PtyPair, BytesBothWaysAndTheQueueCount) {
    PosixSerialPort port;
    ASSERT_TRUE(port.Open(path_, 0));
    EXPECT_GT(port.Handle(), 2);

    qint32 written = 0;
    const QByteArray frame = QByteArray::fromHex("4102060945434F05");
    for (const char c : frame) {
        ASSERT_TRUE(port.WriteByte(c, written));
        EXPECT_EQ(written, 1);
    }
    EXPECT_EQ(testing_support::ReadAtLeast(master_, frame.size()), frame);

    const QByteArray reply = QByteArray::fromHex("42010409004E");
    ASSERT_EQ(write(master_, reply.constData(), reply.size()), reply.size());
    ASSERT_EQ(WaitForInput(port, 6), 6);
    char buf[16] = {};
    qint32 got = 0;
    ASSERT_TRUE(port.Read(buf, 16, got));
    EXPECT_EQ(got, 6) << "only what was there";
    EXPECT_EQ(QByteArray(buf, got), reply);
    ASSERT_TRUE(port.Read(buf, 4, got));
    EXPECT_EQ(got, 0);

    EXPECT_TRUE(port.Close());
    EXPECT_EQ(port.Handle(), 0);
}

TEST_F(PtyPair, OpenIsExclusiveAndRawAt38400) {
    PosixSerialPort first;
    PosixSerialPort second;
    ASSERT_TRUE(first.Open(path_, 0));
    EXPECT_FALSE(second.Open(path_, 0));
    EXPECT_EQ(platform::LastOsError(), EBUSY);
    EXPECT_EQ(second.Handle(), 0);

    termios tio{};
    ASSERT_EQ(tcgetattr(slave_, &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B38400));
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS));
    EXPECT_FALSE(tio.c_lflag & (ICANON | ECHO));
    EXPECT_FALSE(tio.c_iflag & (IXON | IXOFF));

    first.Close();
    EXPECT_TRUE(second.Open(path_, 0)) << "free again once closed";
}

TEST_F(PtyPair, FlagsWordSwitchesSoftwareFlowControl) {
    PosixSerialPort port;
    ASSERT_TRUE(port.Open(path_, 0x0100 | 0x0200));
    termios tio{};
    ASSERT_EQ(tcgetattr(slave_, &tio), 0);
    EXPECT_TRUE(tio.c_iflag & IXON);
    EXPECT_TRUE(tio.c_iflag & IXOFF);
}

TEST_F(PtyPair, PurgeClearsTheInputQueue) {
    PosixSerialPort port;
    ASSERT_TRUE(port.Open(path_, 0));
    ASSERT_EQ(write(master_, "abc", 3), 3);
    ASSERT_EQ(WaitForInput(port, 3), 3);
    EXPECT_TRUE(port.Purge(platform::PURGE_RXABORT));
    EXPECT_EQ(WaitForInput(port, 3), 3) << "an abort flag clears nothing";
    EXPECT_TRUE(port.Purge(platform::PURGE_RXCLEAR));
    qint32 errors = 0, in = -1, out = 0;
    EXPECT_TRUE(port.QueueStatus(errors, in, out));
    EXPECT_EQ(in, 0);
}

TEST(PosixSerialPort, MissingDeviceFailsWithItsError) {
    PosixSerialPort port;
    EXPECT_FALSE(port.Open("/dev/lx735-no-such-port", 0));
    EXPECT_EQ(platform::LastOsError(), ENOENT);
    EXPECT_FALSE(port.Open("", 0));
    EXPECT_EQ(port.Handle(), 0);
    qint32 errors = 0, in = 0, out = 0, n = 0;
    EXPECT_FALSE(port.QueueStatus(errors, in, out));
    EXPECT_EQ(platform::LastOsError(), EBADF);
    EXPECT_FALSE(port.WriteByte('x', n));
    EXPECT_TRUE(port.Close());
}

// The cable pulled: the far end of the line closes. Every call on the port then fails
// with an error that says the device is gone, never as an empty input queue.
TEST_F(PtyPair, AClosedFarEndFailsEveryCallAsGone) {
    PosixSerialPort port;
    ASSERT_TRUE(port.Open(path_, 0));
    close(slave_);
    close(master_);
    slave_ = master_ = -1;

    qint32 errors = 0, in = 0, out = 0, n = 0;
    EXPECT_FALSE(port.QueueStatus(errors, in, out));
    EXPECT_TRUE(platform::DeviceGone(platform::LastOsError())) << platform::LastOsError();
    char buffer[8];
    EXPECT_FALSE(port.Read(buffer, sizeof buffer, n));
    EXPECT_TRUE(platform::DeviceGone(platform::LastOsError())) << platform::LastOsError();
    EXPECT_EQ(n, 0);
    EXPECT_FALSE(port.WriteByte('x', n));
    EXPECT_TRUE(platform::DeviceGone(platform::LastOsError())) << platform::LastOsError();
    EXPECT_TRUE(port.Close());
}

TEST(DeviceGone, OnlyTheErrorsOfADeviceNoLongerThere) {
    const struct {
        int code;
        bool gone;
    } cases[] = {{EIO, true},          {ENXIO, true},  {ENODEV, true},     {EAGAIN, false},
                 {EWOULDBLOCK, false}, {EINTR, false}, {ETIMEDOUT, false}, {EBUSY, false},
                 {EINVAL, false},      {0, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(platform::DeviceGone(c.code), c.gone) << c.code;
    }
}
