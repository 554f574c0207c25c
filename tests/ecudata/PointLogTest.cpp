// The operating-point log.

#include "ecudata/PointLog.h"
#include "common/FakeTime.h"
#include "common/FileFaults.h"
#include "common/TempTree.h"
#include "ecudata/LiveData.h"
#include "support/Conversions.h"

#include <QDir>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

using namespace ecudata;

namespace {

Mem1Rec Point(double rpm, double press2) {
    Mem1Rec r;
    r.Rpm = rpm;
    r.Press2 = press2;
    return r;
}

QList<QByteArray> Lines(const QByteArray& bytes) {
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast();
    return lines;
}

} // namespace

TEST(PointLog, Cells) {
    const struct {
        double rpm;
        qint32 cell;
    } rpms[] = {{700, 1}, {704, 2}, {400, 1}, {2500.4, 16}, {4608, 32}, {9000, 32}};
    for (const auto& c : rpms) {
        EXPECT_EQ(LogPointRpmCellOf(c.rpm), c.cell) << c.rpm;
    }
    const struct {
        double press;
        qint32 cell;
    } pressures[] = {{850, 3}, {0, 16}, {63, 16}, {64, 15}, {1023, 1}, {1024, 1}, {5000, 1}};
    for (const auto& c : pressures) {
        EXPECT_EQ(LogPointMbarCellOf(c.press), c.cell) << c.press;
    }
}

TEST(PointLog, LineLaysOutItsFields) {
    PointLog log;
    log.LogPointStart = 1000000;
    log.LogPointRpmCell = 16;
    log.LogPointMbarCell = 3;
    EXPECT_EQ(LogPointLine(Point(2500.4, 850), log, 3.4567, 62345500, 62345500, "."),
              "[01:01:346]" + QString(23, ' ') +
                  "62346  2500 rpm  (16)   850 mBar (03) 3.457 mSec  ");
    // The locale's decimal mark; texts wider than their field lose their left end.
    EXPECT_EQ(LogPointLine(Point(1234567, 1012.5), log, 0.5, 1000000 + 101000000, 1, ","),
              "[01:41:000]" + QString(23, ' ') + "0234567 rpm  (16)1012,5 mBar (03)   0,5 mSec  ");
}

TEST(PointLog, ALineOnlyWhenThePointMovesToAnotherCell) {
    testing_support::TempTree tree;
    testing_support::FakeTime time(5000000);
    PointLog log;
    log.LogPointStart = 1000000;

    EXPECT_TRUE(WriteLogPoint(Point(700, 850), log, 2, tree.Root(), "."));
    EXPECT_FALSE(WriteLogPoint(Point(650, 860), log, 2, tree.Root(), ".")) << "same cells";
    EXPECT_EQ(log.LogPointRpmCell, 1);
    time.Advance(1000);
    EXPECT_TRUE(WriteLogPoint(Point(650, 900), log, 2, tree.Root(), ".")) << "pressure moved";
    EXPECT_TRUE(WriteLogPoint(Point(900, 900), log, 2, tree.Root(), ".")) << "rpm moved";

    const QList<QByteArray> lines = Lines(tree.Read("BIN/LogPoint.TXT"));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("[00:04:000]"));
    EXPECT_TRUE(lines[1].startsWith("[00:04:001]"));
    EXPECT_TRUE(lines[2].endsWith("mSec  \r"));
    EXPECT_EQ(log.LogPointLastRpmCell, 3);
    EXPECT_EQ(log.LogPointLastMbarCell, 2);
}

TEST(PointLog, AnUnwritableLogIsPassedOver) {
    testing_support::TempTree tree;
    testing_support::FakeTime time;
    PointLog log;
    // A folder stands where the log should be.
    ASSERT_TRUE(QDir(tree.Root()).mkpath("BIN/LogPoint.TXT"));
    EXPECT_FALSE(WriteLogPoint(Point(2500, 500), log, 2, tree.Root(), "."));
    EXPECT_EQ(log.LogPointLastRpmCell, 16) << "the point counts as logged";
    EXPECT_FALSE(WriteLogPoint(Point(3000, 500), log, 2, tree.Root() + "/NOSUCH", "."));
}

// A full disk stops the log, told by the line that failed alone; a log started afresh
// takes lines again.
TEST(PointLog, AWriteErrorStopsTheLogUntilItStartsAfresh) {
    testing_support::TempTree tree;
    testing_support::FakeTime time;
    PointLog log;
    ASSERT_TRUE(WriteLogPoint(Point(700, 850), log, 2, tree.Root(), "."));
    const QByteArray before = tree.Read("BIN/LogPoint.TXT");
    QStringList told;
    {
        const testing_support::FileSizeLimit full(before.size() + 10);
        for (const double rpm : {1500, 2500}) {
            QString why;
            EXPECT_FALSE(WriteLogPoint(Point(rpm, 850), log, 2, tree.Root(), ".", &why));
            told << why;
        }
    }
    EXPECT_EQ(told, QStringList({QString::fromLocal8Bit(std::strerror(EFBIG)), QString()}));
    EXPECT_FALSE(WriteLogPoint(Point(3500, 850), log, 2, tree.Root(), "."));
    EXPECT_EQ(tree.Read("BIN/LogPoint.TXT"), before);

    ASSERT_TRUE(StartLogPoint(tree.Root(), log, 0, "header", "copy.txt"));
    EXPECT_TRUE(WriteLogPoint(Point(4500, 850), log, 2, tree.Root(), "."));
    EXPECT_EQ(Lines(tree.Read("BIN/LogPoint.TXT")).size(), 3);
}

TEST(PointLog, StartKeepsTheOldLogAndBeginsANewOne) {
    testing_support::TempTree tree;
    PointLog log;
    log.LogPointLastRpmCell = 7;
    const QString copy = LogPointCopyName(QDate(2011, 4, 15), "14.05.32");
    EXPECT_EQ(copy, "LogPoint_110415_14.05.32.txt");
    EXPECT_EQ(LogPointCopyName(QDate(2011, 4, 15), "14/05"), "LogPoint_110415_14-05.txt");

    tree.Write("BIN/LogPoint.TXT", "old line\r\n");
    ASSERT_TRUE(StartLogPoint(tree.Root(), log, 2500000, "2500 O header", copy));
    EXPECT_EQ(tree.Read("BIN/" + copy), "old line\r\n");
    EXPECT_EQ(tree.Read("BIN/LogPoint.TXT"), "2500 O header\r\n \r\n");
    EXPECT_EQ(log.LogPointStart, 2500000);
    EXPECT_EQ(log.LogPointLastRpmCell, 7) << "the last cells are kept";

    // Without a copy the old log is kept as it stands.
    tree.Write("BIN/LogPoint.TXT", "kept\r\n");
    EXPECT_FALSE(StartLogPoint(tree.Root(), log, 3000000, "3000 O header", "NOSUCH/x.txt"));
    EXPECT_EQ(tree.Read("BIN/LogPoint.TXT"), "kept\r\n");
    EXPECT_EQ(log.LogPointStart, 3000000);
}
