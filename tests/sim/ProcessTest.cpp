// lx735-sim as a process: the pseudo-terminal, the symbolic link, the control file.

#include "common/Wait.h"
#include "sim/Frame.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

using namespace sim;

namespace {

const QByteArray kEco = BuildRequest(CMD_GET_ECO, "ECO");
const QByteArray kEcoReply = QByteArray::fromHex("42010409004E");

bool PseudoTerminalsAvailable() {
    const int fd = posix_openpt(O_RDWR | O_NOCTTY);
    if (fd < 0) {
        return false;
    }
    close(fd);
    return true;
}

bool PathExists(const QString& path) {
    struct stat st {};
    return lstat(path.toLocal8Bit().constData(), &st) == 0;
}

// The program's side of the line: the symlinked port opened raw at 38400.
class Port {
public:
    explicit Port(const QString& path) {
        fd_ = open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        termios tio{};
        if (fd_ >= 0 && tcgetattr(fd_, &tio) == 0) {
            cfmakeraw(&tio);
            cfsetispeed(&tio, B38400);
            cfsetospeed(&tio, B38400);
            tcsetattr(fd_, TCSANOW, &tio);
        }
    }
    ~Port() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    bool Write(const QByteArray& bytes) {
        return write(fd_, bytes.constData(), static_cast<size_t>(bytes.size())) == bytes.size();
    }
    // Reads until count bytes are in, the time is up or the line fails (hung flags it).
    QByteArray Read(int count, int ms) {
        QByteArray got;
        WaitFor(
            [&] {
                char buffer[256];
                for (;;) {
                    const ssize_t n = read(fd_, buffer, sizeof(buffer));
                    if (n > 0) {
                        got.append(buffer, n);
                    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                        hung = true;
                        return true;
                    } else {
                        return got.size() >= count;
                    }
                }
            },
            ms * 1ms);
        return got;
    }

    bool hung = false;

private:
    int fd_ = -1;
};

class SimProcess : public ::testing::Test {
protected:
    void SetUp() override {
        if (!PseudoTerminalsAvailable()) {
            GTEST_SKIP() << "pseudo-terminals are not available here";
        }
        ASSERT_TRUE(dir_.isValid());
        link_ = dir_.filePath("ecu");
        control_ = dir_.filePath("control");
        process_.start(LX735_SIM_EXE, {"--fast", "--link", link_, "--control", control_});
        ASSERT_TRUE(process_.waitForStarted(5000));
        ASSERT_TRUE(process_.waitForReadyRead(5000)) << process_.readAllStandardError().data();
        slave_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    }
    void TearDown() override {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    // Hands lines to the running program and waits until it has taken them.
    void Control(const QByteArray& lines) {
        QFile file(control_ + ".tmp");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(lines);
        file.close();
        ASSERT_TRUE(QFile::rename(file.fileName(), control_));
        ASSERT_TRUE(WaitFor([&] { return !QFile::exists(control_); }, 60s));
    }

    QTemporaryDir dir_;
    QString link_;
    QString control_;
    QString slave_;
    QProcess process_;
};

} // namespace

TEST_F(SimProcess, AnswersOnTheLinkedPseudoTerminal) {
    EXPECT_EQ(QFileInfo(link_).symLinkTarget(), slave_);
    Port port(link_);
    ASSERT_TRUE(port.IsOpen());
    ASSERT_TRUE(port.Write(kEco));
    EXPECT_EQ(port.Read(kEcoReply.size(), 30000).toHex(), kEcoReply.toHex());
    ASSERT_TRUE(port.Write(QByteArray::fromHex("4102032161"))); // READ_FIRMWARE
    const QByteArray identity = port.Read(6 + 38, 30000);
    ASSERT_EQ(identity.size(), 6 + 38) << "38 data bytes behind header, length, echo, status";
    EXPECT_EQ(identity.left(5).toHex(), "42012a2100");
    EXPECT_EQ(XorOf(identity), 0);

    // The program closes and reopens its port: the line survives.
    {
        Port again(link_);
        ASSERT_TRUE(again.IsOpen());
        ASSERT_TRUE(again.Write(BuildRequest(CMD_READ_MEM2)));
        const QByteArray reply = again.Read(20, 30000);
        EXPECT_EQ(reply.size(), 20);
        EXPECT_EQ(XorOf(reply), 0);
    }

    process_.terminate();
    ASSERT_TRUE(process_.waitForFinished(5000));
    EXPECT_EQ(process_.exitCode(), 0);
    EXPECT_FALSE(PathExists(link_)) << "SIGTERM removes the link";
}

TEST_F(SimProcess, ControlFileScriptsFaultsAndHangUps) {
    Port port(link_);
    ASSERT_TRUE(port.IsOpen());
    Control("# next request lost\nsilence count=1\n");
    ASSERT_TRUE(port.Write(kEco));
    EXPECT_TRUE(port.Read(1, 300).isEmpty());
    ASSERT_TRUE(port.Write(kEco));
    EXPECT_EQ(port.Read(kEcoReply.size(), 30000), kEcoReply);

    Control("hangup value=300000\n");
    ASSERT_TRUE(port.Write(kEco));
    port.Read(1, 2000);
    EXPECT_TRUE(port.hung) << "the line went dead";
    ASSERT_TRUE(WaitFor([&] { return PathExists(link_); }, 60s)) << "and came back";
    Port fresh(link_);
    ASSERT_TRUE(fresh.IsOpen());
    ASSERT_TRUE(fresh.Write(kEco));
    EXPECT_EQ(fresh.Read(kEcoReply.size(), 30000), kEcoReply);
}

TEST(SimProgram, RefusesToReplaceAFileThatIsNoLink) {
    QTemporaryDir dir;
    const QString path = dir.filePath("ecu");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QProcess process;
    process.start(LX735_SIM_EXE, {"--link", path});
    ASSERT_TRUE(process.waitForFinished(5000));
    EXPECT_NE(process.exitCode(), 0);
    EXPECT_TRUE(QFileInfo(path).isFile() && !QFileInfo(path).isSymLink());
}
