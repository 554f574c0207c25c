#include "link/RxTxLog.h"
#include "FakePort.h"
#include "common/FakeTime.h"
#include "common/FileFaults.h"
#include "common/TempTree.h"
#include "link/ClsComm.h"
#include "platform/FtdiFake.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

using namespace comm;
using testing_support::FakeTime;
using testing_support::TempTree;

TEST(WriteRxTxLog, RequestFrameGetsItsNameLineFirst) {
    TempTree tree;
    FakeTime time(123456000.0);
    WriteRxTxLog(tree.Root(), "T ", "4102060945434F05");
    WriteRxTxLog(tree.Root(), "R ", "42010409004E");
    WriteRxTxLog(tree.Root(), "T ", "4102032868");
    WriteRxTxLog(tree.Root(), "C ", "7");
    EXPECT_EQ(tree.Read("BIN/RxTx.TXT"), "\"CMD_GET_ECO\"\r\n"
                                         "\"123456 T 4102060945434F05\"\r\n"
                                         "\"123456 R 42010409004E\"\r\n"
                                         "\" XXXXXXXXXX \"\r\n"
                                         "\"123456 T 4102032868\"\r\n"
                                         "\"123456 C 7\"\r\n");
}

TEST(WriteRxTxLog, FailedCallLinesAndTruncatedFrames) {
    TempTree tree;
    FakeTime time(5000.0);
    WriteRxTxLog(tree.Root(), "ClearCommError Recive", " ");
    WriteRxTxLog(tree.Root(), "FT_Read Recive", "");
    WriteRxTxLog(tree.Root(), "H ", "5 4201");
    WriteRxTxLog(tree.Root(), "D ", "41");
    EXPECT_EQ(tree.Read("BIN/RxTx.TXT"), "\"5 ClearCommError Recive \"\r\n"
                                         "\"5 FT_Read Recive\"\r\n"
                                         "\"5 H 5 4201\"\r\n"
                                         "\" XXXXXXXXXX \"\r\n"
                                         "\"5 D 41\"\r\n");
}

TEST(WriteRxTxLog, MillisecondsRoundHalfToEven) {
    TempTree tree;
    FakeTime time(2500.0);
    WriteRxTxLog(tree.Root(), "C ", "1");
    time.Advance(1000.0); // 3500 us
    WriteRxTxLog(tree.Root(), "C ", "3");
    time.Advance(1.0); // 3501 us
    WriteRxTxLog(tree.Root(), "C ", "5");
    EXPECT_EQ(tree.Read("BIN/RxTx.TXT"), "\"2 C 1\"\r\n\"4 C 3\"\r\n\"4 C 5\"\r\n");
}

// A line for a tree that is gone makes no folder and leaves the log of a good tree,
// open between lines, as it was; no restart is tried for it.
TEST(WriteRxTxLog, MissingFolderIsSilentlyIgnored) {
    TempTree tree;
    FakeTime time(7000.0);
    const QString gone = tree.Path("gone");
    WriteRxTxLog(tree.Root(), "C ", "1");
    int restarts = 0;
    RxTxLogBound bound;
    bound.LimitBytes = 1;
    bound.Restart = [&] {
        ++restarts;
        return true;
    };
    WriteRxTxLog(gone, "C ", "2", &bound);
    EXPECT_FALSE(QFileInfo::exists(gone));
    EXPECT_EQ(restarts, 0);
    WriteRxTxLog(tree.Root(), "C ", "3");
    EXPECT_EQ(tree.Read("BIN/RxTx.TXT"), "\"7 C 1\"\r\n\"7 C 3\"\r\n");
}

TEST(LogHex, UpperCaseWithoutPaddingNegativesAsTwosComplement) {
    EXPECT_EQ(LogHex(0), "0");
    EXPECT_EQ(LogHex(255), "FF");
    EXPECT_EQ(LogHex(0x1F4), "1F4");
    EXPECT_EQ(LogHex(-1), "FFFFFFFF");
    EXPECT_EQ(LogHex(-2), "FFFFFFFE");
}

TEST(HandleFile, WriteClearAndRead) {
    TempTree tree;
    qint32 handle = 0;
    QString error;
    ClearHandleFile(tree.Root());
    EXPECT_FALSE(QFile::exists(tree.Path("BIN/Handle.ini"))) << "clearing creates nothing";
    EXPECT_FALSE(ReadHandleFile(tree.Root(), handle, error));

    WriteHandleFile(tree.Root(), 17);
    EXPECT_EQ(tree.Read("BIN/Handle.ini"), "17\r\n");
    EXPECT_TRUE(ReadHandleFile(tree.Root(), handle, error));
    EXPECT_EQ(handle, 17);

    ClearHandleFile(tree.Root());
    EXPECT_EQ(tree.Read("BIN/Handle.ini"), "\r\n");
    EXPECT_FALSE(ReadHandleFile(tree.Root(), handle, error));
}

TEST(HandleFile, OnlyAPositiveNumberCounts) {
    TempTree tree;
    const struct {
        const char* content;
        bool recorded;
        qint32 handle;
    } cases[] = {{"  42  \r\n", true, 42}, {"0\r\n", false, 0},  {"abc\r\n", false, 0},
                 {"-5\r\n", false, 0},     {"9,1\r\n", true, 9}, {"", false, 0}};
    for (const auto& c : cases) {
        tree.Write("BIN/Handle.ini", c.content);
        qint32 handle = 0;
        QString error;
        EXPECT_EQ(ReadHandleFile(tree.Root(), handle, error), c.recorded) << c.content;
        EXPECT_EQ(handle, c.handle) << c.content;
        EXPECT_TRUE(error.isEmpty());
    }
}

TEST(FileHandleVerificaChiusura, ClosesOnlyThePortThisObjectHolds) {
    TempTree tree;
    link_test::FakePort port;
    platform::FakeFtdiDriver ftdi;
    ClsComm link(tree.Root(), port, ftdi);
    port.acceptedPaths << "/dev/pts/9";
    ASSERT_TRUE(port.Open("/dev/pts/9", 0));
    link.nPorta(port.Handle());

    // A number written by an earlier run names nothing of ours.
    tree.Write("BIN/Handle.ini", "7\r\n");
    link.FileHandleVerificaChiusura();
    EXPECT_EQ(port.closes, 0);
    EXPECT_EQ(tree.Read("BIN/Handle.ini"), "7\r\n");

    for (const char* content : {"0\r\n", "abc\r\n", "\r\n"}) {
        tree.Write("BIN/Handle.ini", content);
        link.FileHandleVerificaChiusura();
        EXPECT_EQ(port.closes, 0) << content;
    }

    WriteHandleFile(tree.Root(), port.Handle());
    link.FileHandleVerificaChiusura();
    EXPECT_EQ(port.closes, 1);
    EXPECT_EQ(link.nPorta(), 0);
    EXPECT_EQ(tree.Read("BIN/Handle.ini"), "\r\n");
}

// Past its limit the log is restarted after the line; while the viewer holds the
// restart it waits, and a restart that fails is tried again only after another limit.
TEST(WriteRxTxLog, PastItsLimitTheLogIsRestartedUnlessHeld) {
    TempTree tree;
    FakeTime time;
    int restarts = 0;
    bool restartWorks = true;
    RxTxLogBound bound;
    bound.LimitBytes = 69; // three lines of 23 bytes
    bound.Restart = [&] {
        ++restarts;
        if (restartWorks) {
            QFile::remove(tree.Path("BIN/RxTx.TXT"));
        }
        return restartWorks;
    };
    const auto writeLines = [&](int n) {
        for (int i = 0; i < n; ++i) {
            WriteRxTxLog(tree.Root(), "R ", "42010409004E", &bound); // "1000 R ..." 23 bytes
        }
    };
    writeLines(3);
    EXPECT_EQ(restarts, 0);
    writeLines(1);
    EXPECT_EQ(restarts, 1);

    bound.HoldRestart = true;
    writeLines(8);
    EXPECT_EQ(restarts, 1);
    bound.HoldRestart = false;
    writeLines(1);
    EXPECT_EQ(restarts, 2);

    restartWorks = false;
    writeLines(4);
    EXPECT_EQ(restarts, 3);
    writeLines(3);
    EXPECT_EQ(restarts, 3) << "no new try before another limit's worth of log";
    writeLines(1);
    EXPECT_EQ(restarts, 4);
}

// A full disk stops the log: the line that failed leaves nothing of itself, the stop is
// told once with the log and the reason, and no later line goes in until a fresh log
// stands at the path.
TEST(WriteRxTxLog, AWriteErrorStopsTheLogAndIsToldOnce) {
    TempTree tree;
    FakeTime time;
    QStringList told;
    RxTxLogBound bound;
    bound.Stopped = [&](const QString& path, const QString& why) { told << path + ": " + why; };
    const auto line = [&] { WriteRxTxLog(tree.Root(), "R ", "42010409004E", &bound); };
    line();
    const QByteArray before = tree.Read("BIN/RxTx.TXT");
    {
        const testing_support::FileSizeLimit full(before.size() + 5);
        line();
        line();
    }
    line();
    EXPECT_EQ(told, QStringList{RxTxLogPath(tree.Root()) + ": " +
                                QString::fromLocal8Bit(std::strerror(EFBIG))});
    EXPECT_EQ(tree.Read("BIN/RxTx.TXT"), before);

    tree.Write("BIN/RxTx.TXT.new", "\"0 O header\"\r\n");
    ASSERT_TRUE(QFile::remove(tree.Path("BIN/RxTx.TXT")));
    ASSERT_TRUE(QFile::rename(tree.Path("BIN/RxTx.TXT.new"), tree.Path("BIN/RxTx.TXT")));
    line();
    EXPECT_EQ(tree.Read("BIN/RxTx.TXT"), "\"0 O header\"\r\n" + before);
    EXPECT_EQ(told.size(), 1);
}
