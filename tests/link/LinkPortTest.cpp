// The port operations of the link object on a scriptable port: pacing, the three
// send outcomes, receiving, failed driver calls and their log lines, set-up and close.

#include "LinkFixture.h"
#include "common/MsgBoxCapture.h"
#include "link/Frames.h"
#include "support/Conversions.h"

#include <QDir>
#include <cerrno>
#include <gtest/gtest.h>

using namespace comm;
using link_test::FakePort;
using link_test::PortRig;
using link_test::ReadLogLines;
using link_test::Texts;

namespace {

const QByteArray Probe = BuildMsg(ReqHeader, ReqByte2, CMD_GET_ECO, "ECO");

} // namespace

TEST(SendMsg, PacesEachByteLogsAndArmsTheReplyWait) {
    PortRig rig;
    rig.Open(false);
    QList<double> times;
    rig.port.onByte = [&](char) { times << rig.time.NowUsec(); };
    ASSERT_TRUE(rig.link.SendMsg(Probe));
    EXPECT_EQ(rig.port.tx, Probe);
    for (int i = 1; i < times.size(); ++i) {
        EXPECT_GE(times[i] - times[i - 1], 500);
    }
    EXPECT_EQ(Texts(rig.tree), (QStringList{"CMD_GET_ECO", "T 4102060945434F05"}));
    EXPECT_EQ(rig.link.ComState(), COM_WAIT_REPLY);
    EXPECT_EQ(rig.link.OutBuffer(), Probe);

    rig.port.rx = QByteArray::fromHex("42010409004E");
    EXPECT_FALSE(rig.link.ReciveMsg()) << "not before the idle time";
    EXPECT_TRUE(rig.link.InBuffer().isEmpty());
    rig.time.Advance(100000);
    EXPECT_TRUE(rig.link.ReciveMsg());
    EXPECT_EQ(rig.link.InBuffer(), QByteArray::fromHex("42010409004E"));
    EXPECT_TRUE(rig.link.CtrlEndRecive());
    EXPECT_EQ(Texts(rig.tree).last(), "R 42010409004E");

    EXPECT_TRUE(rig.link.CkWDogSend());
    rig.time.Advance(4000000);
    EXPECT_TRUE(rig.link.CkWDogSend());
    rig.time.Advance(1);
    EXPECT_FALSE(rig.link.CkWDogSend()) << "deadline: 4 s + 100 ms after the last byte";
}

TEST(SendMsg, InputWaitingInterruptsASerialSendEvenBeforeTheLastByte) {
    PortRig rig;
    rig.Open(false);
    rig.port.onByte = [&](char) {
        if (rig.port.tx.size() == Probe.size() - 1) {
            rig.port.rx = "x";
        }
    };
    const double start = rig.time.NowUsec();
    ASSERT_TRUE(rig.link.SendMsg(Probe));
    EXPECT_EQ(rig.port.tx, Probe.left(Probe.size() - 1));
    EXPECT_GE(rig.time.NowUsec() - start, 4000000) << "waits for the ECU to finish";
    EXPECT_TRUE(rig.port.rx.isEmpty()) << "what it said is dropped";
    EXPECT_EQ(Texts(rig.tree).last(), "D 4102060945434F05");
    EXPECT_EQ(rig.link.ComState(), COM_WAIT_REPLY);
}

TEST(SendMsg, OnTheCableOnlyInputBeforeAnEarlierByteInterrupts) {
    for (const int arrivesAfter : {7, 1}) {
        PortRig rig;
        rig.Open(true);
        rig.port.onByte = [&](char) {
            if (rig.port.tx.size() == arrivesAfter) {
                rig.port.rx = "x";
            }
        };
        ASSERT_TRUE(rig.link.SendMsg(Probe));
        if (arrivesAfter == 7) {
            EXPECT_EQ(rig.port.tx, Probe);
            EXPECT_EQ(Texts(rig.tree).last(), "T 4102060945434F05");
        } else {
            EXPECT_EQ(rig.port.tx, Probe.left(1));
            EXPECT_EQ(Texts(rig.tree).last(), "D 4102060945434F05");
            EXPECT_EQ(rig.ftdi.purges.back(), 3) << "input purge clears both buffers";
        }
    }
}

TEST(SendMsg, AFailedWriteIsLoggedWithItsErrorAndStillAwaitsAReply) {
    PortRig rig;
    rig.Open(false);
    rig.port.failWrite = true;
    ASSERT_TRUE(rig.link.SendMsg(Probe));
    EXPECT_EQ(Texts(rig.tree), (QStringList{"WriteFile Send", "lpErrors 0", "GetLastError B",
                                            "LastDllError B", "H 114102060945434F05"}));
    EXPECT_EQ(rig.link.ComState(), COM_WAIT_REPLY);
}

TEST(SendMsg, AFailedCableWriteLogsTheDriverStatus) {
    PortRig rig;
    rig.Open(true);
    rig.ftdi.writeStatus = platform::FtStatusOtherError;
    ASSERT_TRUE(rig.link.SendMsg(Probe));
    const QStringList texts = Texts(rig.tree);
    ASSERT_EQ(texts.size(), 4);
    EXPECT_EQ(texts[0], "FT_Write Send");
    EXPECT_EQ(texts[1], "FtStatus_Val 12");
    EXPECT_TRUE(texts[2].startsWith("LastDllError "));
    EXPECT_TRUE(texts[3].startsWith("H ") && texts[3].endsWith("4102060945434F05"));
}

TEST(SendMsg, WaitsHalfASecondForTheLinkThenRefusesUntouched) {
    PortRig rig;
    rig.Open(false);
    rig.link.ComState(COM_WAIT_REPLY);
    rig.link.OutBuffer("old");
    const double start = rig.time.NowUsec();
    EXPECT_FALSE(rig.link.SendMsg(Probe));
    EXPECT_GE(rig.time.NowUsec() - start, 500000);
    EXPECT_LT(rig.time.NowUsec() - start, 510000);
    EXPECT_EQ(rig.link.OutBuffer(), "old");
    EXPECT_EQ(rig.link.ComState(), COM_WAIT_REPLY);
    EXPECT_TRUE(rig.port.tx.isEmpty());
}

TEST(SendMsg, AnEmptyFrameStillEndsWaitingForAReply) {
    PortRig rig;
    rig.Open(false);
    ASSERT_TRUE(rig.link.SendMsg({}));
    EXPECT_EQ(Texts(rig.tree), QStringList{"T "});
    EXPECT_EQ(rig.link.ComState(), COM_WAIT_REPLY);
}

TEST(ReciveMsg, AppendsOnlyWhatAReadDelivered) {
    PortRig rig;
    rig.Open(false);
    rig.port.rx = QByteArray::fromHex("42010409004E");
    rig.port.shortReadLimit = 2;
    EXPECT_TRUE(rig.link.ReciveMsg());
    EXPECT_EQ(rig.link.InBuffer(), QByteArray::fromHex("4201"));

    rig.port.failRead = true;
    EXPECT_TRUE(rig.link.ReciveMsg());
    EXPECT_EQ(rig.link.InBuffer(), QByteArray::fromHex("4201")) << "no stale bytes";
    EXPECT_EQ(Texts(rig.tree),
              (QStringList{"R 4201", "ReadFile Recive", "lpErrors 0", "GetLastError 5",
                           "LastDllError 5", "R 4201", "H 5 4201"}));
}

TEST(ReciveMsg, AFailedQueryOnTheCableLogsAndReadsNothing) {
    PortRig rig;
    rig.Open(true);
    rig.port.rx = QByteArray::fromHex("4201");
    rig.ftdi.readStatus = platform::FtStatusIoError;
    EXPECT_TRUE(rig.link.ReciveMsg());
    EXPECT_TRUE(rig.link.InBuffer().isEmpty());
    const QStringList texts = Texts(rig.tree);
    ASSERT_EQ(texts.size(), 5);
    EXPECT_EQ(texts[0], "FT_Read Recive");
    EXPECT_EQ(texts[1], "FtStatus_Val 4");
    EXPECT_EQ(texts[3], "R ");
    EXPECT_TRUE(texts[4].startsWith("H ") && texts[4].endsWith(" "));
}

TEST(CtrlEndRecive, NeedsTheReplyHeaderAndTheWholeLength) {
    const struct {
        const char* hex;
        bool complete;
    } cases[] = {{"4201040C004A", true},   {"4201040C00", false},  {"4102040C004A", false},
                 {"4201040C004A00", true}, {"420100", true},       {"4201", false},
                 {"420101", true},         {"4301040C004A", false}};
    for (const auto& c : cases) {
        link_test::LinkInTree t;
        t.link.InBuffer(QByteArray::fromHex(c.hex));
        EXPECT_EQ(t.link.CtrlEndRecive(), c.complete) << c.hex;
    }
}

TEST(Deadlines, SilenceWatchdogAndDelayGate) {
    testing_support::FakeTime time;
    link_test::LinkInTree t;
    EXPECT_FALSE(t.link.SendDelay(10)) << "the gate starts at creation";
    time.Advance(1);
    EXPECT_TRUE(t.link.SendDelay(10));
    time.Advance(10000);
    EXPECT_FALSE(t.link.SendDelay(10));
    // Restarting the connection time leaves the gate alone.
    time.Advance(1);
    ASSERT_TRUE(t.link.SendDelay(10));
    t.link.TimeCom_RSet();
    time.Advance(1000);
    EXPECT_FALSE(t.link.SendDelay(10));

    EXPECT_TRUE(t.link.Silenzio(4000, true)) << "the silence deadline starts at 0";
    time.Advance(3999000);
    EXPECT_FALSE(t.link.Silenzio(4000, false));
    time.Advance(1001);
    EXPECT_TRUE(t.link.Silenzio(4000, false));

    t.link.LoadWDogSend();
    EXPECT_TRUE(t.link.CkWDogSend());
    t.link.UnloadWDogSend();
    EXPECT_TRUE(t.link.CkWDogSend()) << "the deadline itself still counts";
    time.Advance(1);
    EXPECT_FALSE(t.link.CkWDogSend());
}

TEST(SetComm, SerialPortFromTheMapWithItsHandleRecorded) {
    PortRig rig;
    rig.tree.Write("BIN/SetCom.ini", "[DCB_fBitFields]\r\n256\r\n[Comport]\r\n1\r\n");
    rig.link.ReadSetCom("/BIN/SetCom.ini");
    ASSERT_TRUE(rig.link.SetComm());
    EXPECT_EQ(rig.port.openAttempts, QStringList{"/dev/fake"});
    EXPECT_EQ(rig.port.openFlags, 256u);
    EXPECT_TRUE(rig.link.IsOpen());
    EXPECT_EQ(rig.link.nPorta(), rig.port.Handle());
    EXPECT_EQ(rig.tree.Read("BIN/Handle.ini"), QByteArray::number(rig.port.Handle()) + "\r\n");

    EXPECT_TRUE(rig.link.CloseComPort());
    EXPECT_FALSE(rig.link.IsOpen());
    EXPECT_EQ(rig.tree.Read("BIN/Handle.ini"), "\r\n");
}

// The link time is read only while the ECU is polled, never while the port is closed:
// after ten minutes off-line it counts from the new open, not from the first one.
TEST(SetComm, TheLinkTimeCountsFromTheLastOpen) {
    PortRig rig;
    rig.Open(false);
    rig.time.Advance(5e6);
    EXPECT_EQ(rig.link.TimeCom(), 5.0);
    rig.link.CloseComPort();
    rig.time.Advance(600e6);
    rig.Open(false);
    rig.time.Advance(2e6);
    EXPECT_EQ(rig.link.TimeCom(), 2.0);
}

TEST(SetComm, AFailedSerialOpenLeavesThePortClosed) {
    PortRig rig;
    rig.port.acceptedPaths.clear();
    EXPECT_FALSE(rig.link.SetComm());
    EXPECT_FALSE(rig.link.IsOpen());
    EXPECT_EQ(rig.link.nPorta(), 0);
    rig.link.ComPort(10);
    rig.port.acceptedPaths << "";
    EXPECT_FALSE(rig.link.SetComm()) << "COM10 has no name";
    EXPECT_EQ(rig.link.TimeCom(), 0.0);
}

// Every failed open writes its log line with the call, the device and the reason; the
// status-bar message changes once per port and reason, and an empty map line is refused.
TEST(SetComm, FailedOpensAreLoggedAndToldOncePerPortAndReason) {
    PortRig rig;
    rig.port.acceptedPaths.clear();
    rig.port.openError = EACCES;
    EXPECT_FALSE(rig.link.SetComm());
    EXPECT_FALSE(rig.link.SetComm());
    EXPECT_EQ(rig.link.PortMessageSerial(), 1u);
    EXPECT_TRUE(rig.link.PortMessage().contains("COM1 (/dev/fake): permission denied"));
    rig.port.openError = EBUSY;
    EXPECT_FALSE(rig.link.SetComm());
    EXPECT_EQ(rig.link.PortMessageSerial(), 2u);
    EXPECT_TRUE(rig.link.PortMessage().contains("another program holds the port"));

    rig.tree.Write("BIN/ComPorts.ini", "[COM1]\r\n\r\n");
    EXPECT_FALSE(rig.link.SetComm());
    EXPECT_EQ(rig.port.openAttempts.size(), 3) << "no default device stands in";
    EXPECT_TRUE(rig.link.PortMessage().startsWith("COM1: BIN/ComPorts.ini"));

    const QList<QByteArray> log = ReadLogLines(rig.tree);
    ASSERT_EQ(log.size(), 4);
    EXPECT_TRUE(log[0].endsWith(" open /dev/fake 13 Permission denied\""));
    EXPECT_TRUE(log[1].endsWith(" open /dev/fake 13 Permission denied\""));
    EXPECT_TRUE(log[2].endsWith(" open /dev/fake 16 Device or resource busy\""));
    EXPECT_TRUE(log[3].contains(" open ")) << log[3].constData();
}

// Handle.ini is read only when this process holds a port to close; a file that cannot
// be read (here a folder) is told once a run.
TEST(SetComm, AnUnreadableHandleFileGivesAtMostOneBox) {
    PortRig rig;
    testing_support::MsgBoxCapture boxes;
    QDir(rig.tree.Root()).mkpath("BIN/Handle.ini");
    rig.port.acceptedPaths.clear();
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(rig.link.SetComm());
    }
    EXPECT_TRUE(boxes.boxes.empty()) << "no port of ours: the file is not read";
    rig.port.acceptedPaths << "/dev/fake";
    ASSERT_TRUE(rig.port.Open("/dev/fake", 0)); // held, and the next open fails
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(rig.link.SetComm());
    }
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

TEST(SetComm, CableSetUpFailureLeavesItOpenForTheClose) {
    PortRig rig;
    rig.link.UsbCom(true);
    rig.ftdi.AddDevice(rig.port);
    rig.ftdi.setupStatus = platform::FtStatusIoError;
    EXPECT_FALSE(rig.link.SetComm());
    EXPECT_NE(rig.link.LngHand(), 0);
    EXPECT_EQ(rig.link.FtStatus(), platform::FtStatusIoError);
    EXPECT_TRUE(rig.link.CloseComPort());
    EXPECT_EQ(rig.link.LngHand(), 0);
    EXPECT_EQ(rig.ftdi.closes, 1);
}

TEST(CloseComPort, ClosesTheOtherKindToo) {
    PortRig rig;
    ASSERT_TRUE(rig.link.SetComm()); // serial
    rig.link.UsbCom(true);           // the installer picked USB meanwhile
    EXPECT_TRUE(rig.link.CloseComPort());
    EXPECT_EQ(rig.port.Handle(), 0);
    EXPECT_EQ(rig.link.nPorta(), 0);
}

TEST(Purges, CableAndSerialBranches) {
    PortRig serial;
    serial.Open(false);
    serial.port.rx = "abc";
    serial.link.CleanInputCom();
    EXPECT_TRUE(serial.port.rx.isEmpty()) << "read and dropped";
    serial.link.CleanOutputCom();
    EXPECT_EQ(serial.port.purges, QList<int>{platform::PURGE_RXABORT});

    PortRig usb;
    usb.Open(true);
    usb.link.CleanInputCom();
    usb.link.CleanOutputCom();
    EXPECT_EQ(usb.ftdi.purges, (std::vector<int>{3, 2}));
}
