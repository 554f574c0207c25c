// The link against lines that misbehave, end to end: OFFLINE clicked while a slow send
// is under way stays off-line; a device that streams bytes which never frame keeps the
// link log bounded while the search goes on; a port that is missing or held by another
// program is told in the link log and the status bar.

#include "StagedProgram.h"
#include "common/Wait.h"

#include <QFile>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;

// Settings of a fixed COM1 with a slow send (80 ms a byte, within the ECU's gap between
// the bytes of a request) and short reply waits: most of the time a frame goes out.
QByteArray SlowSendSetCom() {
    return "[Comport]\r\n1\r\n[SearchCom]\r\n 255 \r\n[UsbCom]\r\n 0 \r\n"
           "[AttesaByteTx_usec]\r\n80000\r\n[AttesaGlobale_usec]\r\n300000\r\n"
           "[Idle_usec]\r\n20000\r\n[NumResend]\r\n2\r\n";
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QString StatusText(StagedProgram& staged, int cell) {
    const auto fields = staged.ReadControl(QString("TxtStatusBar(%1)").arg(cell));
    return fields ? fields->value("text") : QString();
}

TEST(EndToEndLinkHardening, OfflineDuringASlowSendStaysOffline) {
    StagedProgram staged;
    ASSERT_TRUE(staged.Valid());
    staged.MapCom(1, staged.StartSim("com1"));
    ASSERT_TRUE(WriteFile(staged.Path("BIN/SetCom.ini"), SlowSendSetCom()));
    ASSERT_TRUE(staged.StartProgram());
    ASSERT_TRUE(WaitFor([&] { return staged.Requests("CMD_READ_MEM1").size() >= 2; }, LongMs * 1ms))
        << staged.Read("BIN/RxTx.TXT").right(3000).constData();

    // Most of the time a frame is going out; the log tells whether the stop came in one
    // (else the port is chosen again and OFFLINE clicked once more). A send sees the stop
    // at its next byte and logs the frame it cut: that line is awaited, for a while far
    // above a byte's time; after a stop between frames nothing follows.
    const auto stoppedDuringASend = [&staged] {
        QString next;
        WaitFor(
            [&] {
                const QList<LogLine> lines = staged.LogLines();
                for (qsizetype i = lines.size() - 1; i >= 0; --i) {
                    if (lines[i].text == "C 8") {
                        next = i + 1 < lines.size() ? lines[i + 1].text : QString();
                        return !next.isEmpty();
                    }
                }
                return false;
            },
            5s);
        return next.startsWith("D 41");
    };
    bool duringASend = false;
    for (int attempt = 0; attempt < 8 && !duringASend; ++attempt) {
        if (attempt > 0) {
            const qsizetype reads = staged.Requests("CMD_READ_MEM1").size();
            ASSERT_TRUE(staged.Run({"click MnuDevCom(1)"}));
            ASSERT_TRUE(
                WaitFor([&] { return staged.Requests("CMD_READ_MEM1").size() >= reads + 2; },
                        LongMs * 1ms));
        }
        // The link logs "C 2" when its timer finds a frame going out.
        ASSERT_TRUE(WaitFor(
            [&] {
                const QList<LogLine> lines = staged.LogLines();
                return !lines.isEmpty() && lines.last().text == "C 2";
            },
            LongMs * 1ms));
        ASSERT_TRUE(
            staged.Run({"click MnuOffLine", "until TxtStatusBar(1) text \"COM STOP\" 60000"}));
        duringASend = stoppedDuringASend();
    }
    ASSERT_TRUE(duringASend) << "the stop never came during a send\n"
                             << staged.Read("BIN/RxTx.TXT").right(1500).constData();

    // A resend would follow within half a second; nothing follows the interrupted frame.
    const qsizetype logged = staged.LogLines().size();
    EXPECT_TRUE(HoldsFor([&] { return staged.LogLines().size() == logged; }, 3000))
        << staged.Read("BIN/RxTx.TXT").right(1500).constData();
    EXPECT_EQ(StatusText(staged, 1), "COM STOP");
    EXPECT_EQ(staged.ReadControl("MnuOffLine")->value("checked"), "1");
}

// A small device on a pseudo-terminal that sends 0x55 at the wire rate and never frames.
class ChatteringDevice {
public:
    ChatteringDevice() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) {
            path_ = QString::fromLocal8Bit(ptsname(master_));
            thread_ = std::thread([this] { Chatter(); });
        }
    }
    ~ChatteringDevice() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        if (master_ >= 0) {
            close(master_);
        }
    }
    QString Path() const { return path_; }

private:
    void Chatter() {
        const char bytes[4] = {0x55, 0x55, 0x55, 0x55};
        char drain[256];
        while (!stop_) {
            (void)!write(master_, bytes, sizeof bytes); // a full queue drops them, as a line does
            while (read(master_, drain, sizeof drain) > 0) {
            }
            usleep(1000);
        }
    }

    int master_ = -1;
    QString path_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
};

TEST(EndToEndLinkHardening, BytesThatNeverFrameKeepTheLogBoundedAndTheSearchGoesOn) {
    constexpr qint64 Limit = 64 * 1024;
    ChatteringDevice device;
    ASSERT_FALSE(device.Path().isEmpty());
    StagedProgram staged;
    ASSERT_TRUE(staged.Valid());
    staged.WriteSetCom(1, true);
    staged.MapCom(1, device.Path());
    qputenv("LX735_RXTX_LIMIT_BYTES", QByteArray::number(Limit));
    const bool started = staged.StartProgram();
    qunsetenv("LX735_RXTX_LIMIT_BYTES");
    ASSERT_TRUE(started);

    const QByteArray missing = "open " + staged.Path("BIN/no-such-port").toLocal8Bit();
    ASSERT_TRUE(WaitFor(
        [&] {
            return staged.Read("BIN/RxTx_Last.TXT").contains(missing) ||
                   staged.Read("BIN/RxTx.TXT").contains(missing);
        },
        LongMs * 1ms))
        << "the search went on past the chattering port";
    ASSERT_TRUE(WaitFor([&] { return staged.Read("BIN/RxTx_Last.TXT").contains(" O Release "); },
                        4 * LongMs * 1ms))
        << "the log was restarted";
    const QByteArray last = staged.Read("BIN/RxTx_Last.TXT");
    EXPECT_TRUE(last.startsWith('"') && last.left(last.indexOf("\r\n")).contains(" O Release "))
        << "the kept log begins with a fresh header";
    EXPECT_LT(last.size(), 2 * Limit);
    EXPECT_LT(staged.Read("BIN/RxTx.TXT").size(), 2 * Limit);
}

// A port whose device is missing, and one another program holds: the link log has the
// call, the device and the reason; the status bar says it in plain words.
TEST(EndToEndLinkHardening, PortsThatCannotBeOpenedAreToldWithTheirReason) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const QString held = QString::fromLocal8Bit(ptsname(master));
    const int holder = open(ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);

    const struct {
        const char* name;
        QString device;
        QByteArray logged;
        const char* shown;
    } cases[] = {
        {"missing", "/dev/lx735-no-such-device", "2 No such file or directory", "no such device"},
        {"held", held, "16 Device or resource busy", "another program holds the port"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StagedProgram staged;
        ASSERT_TRUE(staged.Valid());
        staged.MapCom(1, c.device);
        ASSERT_TRUE(staged.StartProgram());
        ASSERT_TRUE(WaitFor(
            [&] {
                return staged.Read("BIN/RxTx.TXT")
                    .contains("open " + c.device.toLocal8Bit() + " " + c.logged);
            },
            LongMs * 1ms));
        ASSERT_TRUE(staged.Run({"until TxtStatusBar(0) exists 1 60000"}));
        EXPECT_TRUE(WaitFor([&] { return StatusText(staged, 0).contains(c.shown); }, LongMs * 1ms))
            << StatusText(staged, 0).toStdString();
        EXPECT_TRUE(StatusText(staged, 0).startsWith("COM1 (" + c.device + "): "));
        for (const ProgramEvent& event : staged.Events()) {
            EXPECT_NE(event.kind, "MSGBOX") << "no box: " << event.text.toStdString();
        }
    }
    close(holder);
    close(master);
}

} // namespace
} // namespace e2e
