#include "viewer/ViewerLog.h"
#include "ViewerFiles.h"
#include "common/TempTree.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>

using namespace viewer;
using viewer_test::LiveData;
using viewer_test::LogLine;
using viewer_test::ReplyHex;

namespace {

const QByteArray Header = "\"1000 O Release  ver 01.12.82 - 14/04/2011 LX735 10/12/2026\"\r\n";

QByteArray Constants(const QByteArray& kgm = " 7500000 ") {
    return "\"[K_gm]\"\r\n" + kgm + "\r\n\"[K_Lambda]\"\r\n 0.0048828125 \r\n";
}

struct DecodeCase {
    const char* field;
    int offset; // data byte
    QByteArray bytes;
    std::function<double(const Mem1Rec&)> read;
    double expected;
};

} // namespace

TEST(ViewerDecode, EveryFieldFromItsHexPosition) {
    const ecudata::ConfigScale scale = viewer_test::TestScale();
    const std::vector<DecodeCase> cases{
        {"TInjGas[7] signed", 0, QByteArray::fromHex("FEFF"), [](auto& m) { return m.TInjGas[7]; },
         -2 * 0.008},
        {"TInjGas[0]", 14, QByteArray::fromHex("6400"), [](auto& m) { return m.TInjGas[0]; },
         100 * 0.008},
        {"TInjBenz[7] unsigned", 16, QByteArray::fromHex("FEFF"),
         [](auto& m) { return m.TInjBenz[7]; }, 65534 * 0.008},
        {"TInjAux[5]", 36, QByteArray::fromHex("0A00"), [](auto& m) { return m.TInjAux[5]; },
         10 * 0.008},
        {"TInjGasBar[0] signed", 62, QByteArray::fromHex("FFFF"),
         [](auto& m) { return m.TInjGasBar[0]; }, -0.008},
        {"Rpm from the period", 64, QByteArray::fromHex("E803"), [](auto& m) { return m.Rpm; },
         15000},
        {"PressGas", 66, QByteArray::fromHex("0001"), [](auto& m) { return m.PressGas; }, 512},
        {"Press2", 68, QByteArray::fromHex("0100"), [](auto& m) { return m.Press2; }, 3},
        {"Lambda1", 70, QByteArray::fromHex("6600"), [](auto& m) { return double(m.Lambda1); },
         double(float(102 * 0.0048828125))},
        {"StatusKey", 72, QByteArray::fromHex("A5"), [](auto& m) { return m.StatusKey; }, 0xA5},
        {"StatusEv1", 73, QByteArray::fromHex("05"), [](auto& m) { return m.StatusEv1; }, 5},
        {"StatusEv2", 74, QByteArray::fromHex("06"), [](auto& m) { return m.StatusEv2; }, 6},
        {"Level1", 75, QByteArray::fromHex("07"), [](auto& m) { return m.Level1; }, 28},
        {"Level2", 76, QByteArray::fromHex("08"), [](auto& m) { return m.Level2; }, 32},
        {"Temp signed", 77, QByteArray::fromHex("F6FF"), [](auto& m) { return m.Temp; }, -5},
        {"Temp1 signed", 79, QByteArray::fromHex("2800"), [](auto& m) { return m.Temp1; }, 10},
        {"Supply", 81, QByteArray::fromHex("7800"), [](auto& m) { return m.Supply; }, 12},
        {"LevelLamps", 83, QByteArray::fromHex("3412"), [](auto& m) { return m.LevelLamps; },
         0x1234},
        {"Vacuum", 85, QByteArray::fromHex("0A00"), [](auto& m) { return m.Vacuum; }, 30},
        {"Lambda2", 87, QByteArray::fromHex("0002"), [](auto& m) { return double(m.Lambda2); },
         2.5},
        {"LambdaOut1", 89, QByteArray::fromHex("0A"), [](auto& m) { return m.LambdaOut1; }, 196},
        {"LambdaOut2", 90, QByteArray::fromHex("FF"), [](auto& m) { return m.LambdaOut2; }, 5000},
    };
    for (const DecodeCase& c : cases) {
        QByteArray data(91, '\0');
        data.replace(c.offset, c.bytes.size(), c.bytes);
        Mem1Rec m;
        DecodeReadMem1Frame(ReplyHex(data), m, scale);
        EXPECT_DOUBLE_EQ(c.read(m), c.expected) << c.field;
    }
}

TEST(ViewerDecode, APeriodOfZeroIsNoRpmAndAShortTextLeavesTheRestAlone) {
    Mem1Rec m;
    DecodeReadMem1Frame(ReplyHex(LiveData(0)), m, viewer_test::TestScale());
    EXPECT_EQ(m.Rpm, 0);

    // The text ends inside the vacuum word: what lies beyond keeps its value.
    Mem1Rec cut;
    cut.Vacuum = 77;
    cut.LambdaOut2 = 9;
    DecodeReadMem1Frame(ReplyHex(LiveData(1000)).left(182), cut, viewer_test::TestScale());
    EXPECT_EQ(cut.Rpm, 15000);
    EXPECT_EQ(cut.Vacuum, 77);
    EXPECT_EQ(cut.LambdaOut2, 9);
}

TEST(ViewerLogKind, TheFirstDecidingLineWins) {
    testing_support::TempTree tree;
    struct Case {
        QByteArray text;
        LogKind kind;
    } cases[] = {
        {Header + Constants() + LogLine(5, "T", "4102030C4C") + "1 | 2 | 3\r\n", LogKind::LinkLog},
        {"noise line here\r\n\r\n1 | 2 | 3 | 4\r\n" + LogLine(5, "T", "4102030C4C"),
         LogKind::FormattedLog},
        {Header + LogLine(5, "R", "42010C") + LogLine(6, "T", "4202030C4C"), LogKind::None},
    };
    for (const Case& c : cases) {
        tree.Write("log.txt", c.text);
        EXPECT_EQ(ProbeLogKind(tree.Path("log.txt")), c.kind) << c.text.constData();
    }
    EXPECT_EQ(ProbeLogKind(tree.Path("missing.txt")), LogKind::None);
}

TEST(ViewerLogKgm, FromTheFirstThousandBytesOrTheDefault) {
    testing_support::TempTree tree;
    struct Case {
        QByteArray text;
        double kgm;
    } cases[] = {
        {Header + Constants(" 7500000 "), 7500000},
        {Header + Constants(" 3750000,5 "), 3750000.5},
        {Header + Constants(" fast "), DefaultKgm},
        {Header, DefaultKgm},
        {Header + QByteArray(1000, 'x') + "\r\n" + Constants(), DefaultKgm},
    };
    for (const Case& c : cases) {
        tree.Write("log.txt", c.text);
        QString error;
        EXPECT_DOUBLE_EQ(ReadLogKgm(tree.Path("log.txt"), ",", error), c.kgm);
        EXPECT_TRUE(error.isEmpty());
    }
}

TEST(ViewerLogPages, StepsOfThreeMillionBytes) {
    struct Case {
        qint64 pos, length;
        int direction;
        qint64 newPos;
        bool paged, next, prev;
    } cases[] = {
        {1, 3000000, 0, 1, false, false, false},    // exactly one page: read whole
        {1, 3000001, 0, 1, true, false, false},     // one byte more: pages
        {1, 7000000, 0, 1, true, true, false},      //
        {1, 7000000, 1, 3000001, true, true, true}, //
        {3000001, 7000000, 1, 6000001, true, false, true},
        {6000001, 7000000, 1, 6000001, true, false, true}, // no page beyond the last
        {6000001, 7000000, -1, 3000001, true, true, true},
        {2000000, 7000000, -1, 1, true, true, false}, // back from below byte 3,000,001
        {9000001, 7000000, 0, 1, true, true, false},  // left from a longer file
    };
    for (const Case& c : cases) {
        const PagePlace p = StepPage(c.pos, c.length, c.direction);
        EXPECT_EQ(p.PagePos, c.newPos) << c.pos << " " << c.length << " " << c.direction;
        EXPECT_EQ(p.Paged, c.paged);
        EXPECT_EQ(p.NextEnabled, c.next);
        EXPECT_EQ(p.PrevEnabled, c.prev);
    }
}

TEST(ViewerLinkLog, DecodesGoodRepliesAndCountsBadOnes) {
    testing_support::TempTree tree;
    const QString good = ReplyHex(LiveData(3000));
    QString bad = good;
    bad[20] = bad[20] == '0' ? '1' : '0';
    tree.Write("log.txt", Header + Constants() + "\"CMD_READ_MEM1\"\r\n" +
                              LogLine(1200, "T", "4102030C4C") + LogLine(1210, "R", good) +
                              LogLine(1220, "R", good.left(100)) + LogLine(1230, "R", bad) +
                              LogLine(1240, "R", ReplyHex(LiveData(1500))) +
                              LogLine(1250, "T", "4102030C4C"));
    ecudata::ConfigScale scale = viewer_test::TestScale();
    scale.K_gm = 7500000;
    const LinkLogLoad load = LoadLinkLog(tree.Path("log.txt"), 1, 0, scale);
    ASSERT_EQ(load.samples.size(), 2u);
    EXPECT_EQ(load.samples[0].Rpm, 2500);
    EXPECT_EQ(load.samples[1].Rpm, 5000);
    EXPECT_EQ(load.samples[0].TimeStamp, 1210);
    EXPECT_EQ(load.TimeFirst, 1210);
    EXPECT_EQ(load.TimeLast, 1240);
    EXPECT_EQ(load.LogStartTime, 1210);
    EXPECT_EQ(load.ChecksumErrors, 1);
    EXPECT_FALSE(load.page.Paged);
}

TEST(ViewerLinkLog, TheFirstAndLastElementsAreNeverDecoded) {
    testing_support::TempTree tree;
    const QString reply = ReplyHex(LiveData(3000));
    // A reply on the first line and one on a last line without its line end.
    QByteArray text = LogLine(100, "R", reply) + LogLine(200, "R", reply);
    text += LogLine(300, "R", reply).chopped(2);
    tree.Write("log.txt", text);
    const LinkLogLoad load = LoadLinkLog(tree.Path("log.txt"), 1, 0, viewer_test::TestScale());
    ASSERT_EQ(load.samples.size(), 1u);
    EXPECT_EQ(load.samples[0].TimeStamp, 200);

    // Nothing decoded: one empty sample stays.
    tree.Write("log.txt", Header + LogLine(100, "T", "4102030C4C"));
    const LinkLogLoad none = LoadLinkLog(tree.Path("log.txt"), 1, 0, viewer_test::TestScale());
    EXPECT_EQ(none.samples.size(), 1u);
    EXPECT_EQ(none.samples[0], Mem1Rec{});
    EXPECT_EQ(none.TimeFirst, 0);
}

TEST(ViewerLinkLog, ALargeLogIsReadOnePageAtATime) {
    testing_support::TempTree tree;
    QByteArray text = Header + Constants();
    const QString reply = ReplyHex(LiveData(3000));
    qint64 ms = 10000;
    int replies = 0;
    while (text.size() < 7000000) {
        text += LogLine(ms, "T", "4102030C4C") + LogLine(ms + 5, "R", reply);
        ms += 10;
        ++replies;
    }
    tree.Write("big.txt", text);
    const ecudata::ConfigScale scale = viewer_test::TestScale();

    const LinkLogLoad first = LoadLinkLog(tree.Path("big.txt"), 1, 0, scale);
    const LinkLogLoad second = LoadLinkLog(tree.Path("big.txt"), 1, 1, scale);
    EXPECT_EQ(second.page.PagePos, 3000001);
    EXPECT_EQ(second.LogStartTime, 10005); // from the whole file
    EXPECT_EQ(first.LogStartTime, 10005);
    EXPECT_EQ(first.TimeFirst, 10005);
    // The pages follow each other: only a reply cut by a page's edge is lost.
    EXPECT_GT(second.TimeFirst, first.TimeLast);
    EXPECT_LE(second.TimeFirst - first.TimeLast, 20);
    const LinkLogLoad third = LoadLinkLog(tree.Path("big.txt"), second.page.PagePos, 1, scale);
    EXPECT_FALSE(third.page.NextEnabled);
    EXPECT_TRUE(third.page.PrevEnabled);
    EXPECT_EQ(third.TimeLast, static_cast<qint32>(ms - 5));
    const auto decoded = first.samples.size() + second.samples.size() + third.samples.size();
    EXPECT_LE(decoded, std::size_t(replies));
    EXPECT_GE(decoded, std::size_t(replies - 2));
}

TEST(ViewerLinkLog, CleaningDropsTheFirstOfTwoLinesWithOneTag) {
    testing_support::TempTree tree;
    const QByteArray kept = Header + Constants() + LogLine(10, "T", "4102030C4C") +
                            LogLine(20, "R", "42010C") + LogLine(30, "T", "4102030C4C");
    const QByteArray text = Header + Constants() + LogLine(5, "T", "4102030C4C") +
                            LogLine(10, "T", "4102030C4C") + LogLine(15, "R", "4201") +
                            LogLine(20, "R", "42010C") + "\r\n" + LogLine(30, "T", "4102030C4C");
    tree.Write("rec.vfl", text);
    QString error;
    ASSERT_TRUE(CleanLogRxTx(tree.Path("rec.vfl"), error)) << error.toStdString();
    EXPECT_EQ(tree.Read("rec.vfl"), kept);

    // Nothing to drop: the file stays as it is, empty lines included.
    const QByteArray clean = kept + "\r\n" + LogLine(40, "R", "42");
    tree.Write("clean.vfl", clean);
    ASSERT_TRUE(CleanLogRxTx(tree.Path("clean.vfl"), error));
    EXPECT_EQ(tree.Read("clean.vfl"), clean);
}

TEST(ViewerLinkLog, ARecordingLogStartsWithItsHeaderAndConstants) {
    testing_support::TempTree tree;
    ASSERT_TRUE(WriteRecordingLog(tree.Path("BIN/RxTx.TXT"), "5 O Release", 7500000.5, ","));
    EXPECT_EQ(
        tree.Read("BIN/RxTx.TXT"),
        "\"5 O Release\"\r\n\"[K_gm]\"\r\n 7500000,5 \r\n\"[K_Lambda]\"\r\n 0,0048828125 \r\n");
    QString error;
    EXPECT_DOUBLE_EQ(ReadLogKgm(tree.Path("BIN/RxTx.TXT"), ",", error), 7500000.5);
}
