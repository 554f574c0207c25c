#include "LinkFixture.h"
#include "common/MsgBoxCapture.h"

#include <QFile>
#include <QLocale>
#include <gtest/gtest.h>

using namespace comm;
using link_test::LinkInTree;
using testing_support::MsgBoxCapture;

namespace {

const QString SetComIni = "/BIN/SetCom.ini";

QByteArray DefaultFile(const QString& folder) {
    return "[Setport]\r\n38400,N,8,1\r\n[Comport]\r\n1\r\n[MemoPath]\r\n" + folder.toLatin1() +
           "\r\n[Titolo]\r\nDefault Setting\r\n[AttesaByteTx_usec]\r\n500\r\n"
           "[AttesaGlobale_usec]\r\n4000000\r\n[MolAttesaGlobale]\r\n500\r\n[Idle_usec]\r\n"
           "100000\r\n[NumResend]\r\n10\r\n[UsbCom]\r\n 0 \r\n[SearchCom]\r\n 255 \r\n"
           "[DCB_fBitFields]\r\n0\r\n[LogPoint]\r\n0\r\n";
}

// The error-box tags shown while reading the file.
QStringList ReadAndCollectTags(LinkInTree& t, const QByteArray& file) {
    t.tree.Write("BIN/SetCom.ini", file);
    MsgBoxCapture boxes;
    t.link.ReadSetCom(SetComIni);
    QStringList tags;
    for (const auto& box : boxes.boxes) {
        tags << box.prompt.section(':', 0, 0).remove("Error");
    }
    return tags;
}

} // namespace

TEST(ReadSetCom, NoFileKeepsDefaultsAndSearchesFromUsb) {
    LinkInTree t;
    t.link.ReadSetCom(SetComIni);
    EXPECT_EQ(t.link.FlagRicercaCom(), 0);
    EXPECT_TRUE(t.link.MemoDatiCom());
    EXPECT_FALSE(t.link.UsbCom());
    EXPECT_EQ(t.link.ComPort(), 1);
    EXPECT_EQ(t.link.NumReSend(), 10);
    EXPECT_EQ(t.link.AttesaByteTx_usec(), 500);
    EXPECT_EQ(t.link.AttesaGlobale_usec(), 4000000);
    EXPECT_EQ(t.link.MolAttesaGlobale(), 500);
    EXPECT_EQ(t.link.Idle_usec(), 100000);
    EXPECT_EQ(t.link.MemoPath(), t.tree.Root());
    EXPECT_EQ(t.link.Titolo(), "Default Setting");
    EXPECT_FALSE(QFile::exists(t.tree.Path("BIN/SetCom.ini")));
}

TEST(ReadSetCom, ReadsEveryPairInAnyCaseAndOrder) {
    LinkInTree t;
    const QStringList tags = ReadAndCollectTags(
        t, "  [logpoint] \r\n1\r\n[SETPORT]\r\n 9600,E,7,2 \r\n[Comport]\r\n3\r\n"
           "junk line\r\n[MemoPath]\r\nC:\\Tool\r\n[Titolo]\r\nBench\r\n[AttesaByteTx_usec]\r\n"
           "250\r\n[AttesaGlobale_usec]\r\n300000\r\n[MolAttesaGlobale]\r\n4\r\n[Idle_usec]\r\n"
           "20000\r\n[NumResend]\r\n2\r\n[UsbCom]\r\n1\r\n[SearchCom]\r\n 0 \r\n"
           "[DCB_fBitFields]\r\n4\r\n");
    EXPECT_TRUE(tags.isEmpty()) << tags.join(",").toStdString();
    EXPECT_TRUE(t.link.FlagLogPoint());
    EXPECT_EQ(t.link.SetportText(), "9600,E,7,2");
    EXPECT_EQ(t.link.ComPort(), 0) << "USB chosen";
    EXPECT_EQ(t.link.ComPortNome(), "COM3");
    EXPECT_EQ(t.link.MemoPath(), "C:\\Tool");
    EXPECT_EQ(t.link.Titolo(), "Bench");
    EXPECT_EQ(t.link.AttesaByteTx_usec(), 250);
    EXPECT_EQ(t.link.AttesaGlobaleConf(), 300000);
    EXPECT_EQ(t.link.AttesaGlobale_usec(), 300000);
    EXPECT_EQ(t.link.MolAttesaGlobale(), 4);
    EXPECT_EQ(t.link.Idle_usec(), 20000);
    EXPECT_EQ(t.link.NumReSend(), 2);
    EXPECT_TRUE(t.link.UsbCom());
    EXPECT_EQ(t.link.FlagRicercaCom(), 0);
    EXPECT_EQ(t.link.DcbBitFields(), 4);
    EXPECT_FALSE(t.link.MemoDatiCom());
}

TEST(ReadSetCom, AFileWithoutSearchOpensTheConfiguredPort) {
    LinkInTree t;
    EXPECT_TRUE(ReadAndCollectTags(t, "[usbcom]\r\n1\r\n").isEmpty());
    EXPECT_TRUE(t.link.UsbCom());
    EXPECT_EQ(t.link.FlagRicercaCom(), NoSearch);
    EXPECT_EQ(t.link.NumReSend(), 10);
}

TEST(ReadSetCom, UsbComOnlySwitchesOnForExactlyOne) {
    for (const char* value : {"01", "true", " 0 ", ""}) {
        LinkInTree t;
        ReadAndCollectTags(t, QByteArray("[UsbCom]\r\n") + value + "\r\n[LogPoint]\r\n 1x\r\n");
        EXPECT_FALSE(t.link.UsbCom()) << value;
        EXPECT_FALSE(t.link.FlagLogPoint());
    }
    LinkInTree t;
    ReadAndCollectTags(t, "[UsbCom]\r\n1\r\n[UsbCom]\r\n0\r\n");
    EXPECT_TRUE(t.link.UsbCom()) << "a later pair cannot switch it off";
}

TEST(ReadSetCom, BadValuesShowTheirTagAndKeepThePreviousValue) {
    const struct {
        const char* file;
        const char* tag;
    } cases[] = {
        {"[Comport]\r\nabc\r\n", "ReadSetCom_Err13"},
        {"[Comport]\r\n40000\r\n", "ReadSetCom_Err6"},
        {"[SearchCom]\r\n300\r\n", "ReadSetCom_Err6"},
        {"[SearchCom]\r\n-1\r\n", "ReadSetCom_Err6"},
        {"[NumResend]\r\n70000\r\n", "ReadSetCom_Err6"},
        {"[Idle_usec]\r\n3000000000\r\n", "ReadSetCom_Err6"},
        {"[DCB_fBitFields]\r\n\r\n", "ReadSetCom_Err13"},
        {"[Titolo]\r\nx\r\n[Comport]", "ReadSetCom_Err62"},
        {"[Comport]\r\n", "ReadSetCom_Err62"},
    };
    for (const auto& c : cases) {
        LinkInTree t;
        EXPECT_EQ(ReadAndCollectTags(t, c.file), QStringList{c.tag}) << c.file;
        EXPECT_EQ(t.link.ComPortNome(), "COM1") << c.file;
        EXPECT_EQ(t.link.FlagRicercaCom(), NoSearch) << c.file;
        EXPECT_EQ(t.link.NumReSend(), 10) << c.file;
        EXPECT_EQ(t.link.Idle_usec(), 100000) << c.file;
        EXPECT_EQ(t.link.DcbBitFields(), 0) << c.file;
    }
}

TEST(ReadSetCom, ReadingGoesOnAfterABadValue) {
    LinkInTree t;
    const QStringList tags =
        ReadAndCollectTags(t, "[Comport]\r\nabc\r\n[SearchCom]\r\n300\r\n[NumResend]\r\n3\r\n");
    EXPECT_EQ(tags, (QStringList{"ReadSetCom_Err13", "ReadSetCom_Err6"}));
    EXPECT_EQ(t.link.NumReSend(), 3);
}

TEST(ReadSetCom, FractionsRoundHalfToEvenWithEitherDecimalMark) {
    for (const QLocale::Language language : {QLocale::German, QLocale::English}) {
        const QLocale previous;
        QLocale::setDefault(QLocale(language));
        LinkInTree t;
        const QStringList tags = ReadAndCollectTags(
            t, "[NumResend]\r\n2,5\r\n[Comport]\r\n3.5\r\n[AttesaByteTx_usec]\r\n499,6\r\n"
               "[Idle_usec]\r\n1.5.1\r\n");
        QLocale::setDefault(previous);
        EXPECT_EQ(t.link.NumReSend(), 2);
        EXPECT_EQ(t.link.ComPort(), 4);
        EXPECT_EQ(t.link.AttesaByteTx_usec(), 500);
        EXPECT_EQ(tags, QStringList{"ReadSetCom_Err13"}) << "no number";
    }
}

TEST(ReadSetCom, AMarkerInAValuePositionIsAValue) {
    LinkInTree t;
    ReadAndCollectTags(t, "[Titolo]\r\n[Comport]\r\n5\r\n");
    EXPECT_EQ(t.link.Titolo(), "[Comport]");
    EXPECT_EQ(t.link.ComPort(), 1);
}

TEST(ReadSetCom, LineFeedOnlyFilesReadTheSame) {
    LinkInTree t;
    ReadAndCollectTags(t, "[Comport]\n4\n[SearchCom]\n 2 \n");
    EXPECT_EQ(t.link.ComPort(), 4);
    EXPECT_EQ(t.link.FlagRicercaCom(), 2);
}

TEST(WriteSetCom, DefaultsGiveTheDefaultFileByteForByte) {
    LinkInTree t;
    t.link.ReadSetCom(SetComIni);
    t.link.FlagRicercaCom(NoSearch);
    ASSERT_TRUE(t.link.WriteSetCom(SetComIni));
    EXPECT_EQ(t.tree.Read("BIN/SetCom.ini"), DefaultFile(t.tree.Root()));
}

TEST(WriteSetCom, RepairsEmptyAndNonPositiveValuesInTheObjectToo) {
    LinkInTree t;
    t.link.ReadSetCom(SetComIni);
    t.link.ComPort(0);
    t.link.MemoPath("");
    t.link.Titolo("");
    t.link.AttesaByteTx_usec(0);
    t.link.AttesaGlobaleConf(-1);
    t.link.MolAttesaGlobale(0);
    t.link.FlagRicercaCom(NoSearch);
    ASSERT_TRUE(t.link.WriteSetCom(SetComIni));
    EXPECT_EQ(t.tree.Read("BIN/SetCom.ini"), DefaultFile(t.tree.Root()));
    EXPECT_EQ(t.link.ComPort(), 1);
    EXPECT_EQ(t.link.AttesaByteTx_usec(), 500);
    EXPECT_EQ(t.link.AttesaGlobaleConf(), 4000000);
    EXPECT_EQ(t.link.MolAttesaGlobale(), 500);
}

TEST(WriteSetCom, WritesTheConfiguredWaitAndTheStoredPortUnderUsb) {
    LinkInTree t;
    t.tree.Write("BIN/SetCom.ini", "[Comport]\r\n4\r\n[AttesaGlobale_usec]\r\n300000\r\n"
                                   "[UsbCom]\r\n1\r\n[LogPoint]\r\n1\r\n[Idle_usec]\r\n0\r\n");
    t.link.ReadSetCom(SetComIni);
    t.link.AttesaGlobale_usec(300000 * 500.0); // a slow command in progress
    t.link.FlagRicercaCom(7);
    ASSERT_TRUE(t.link.WriteSetCom(SetComIni));
    const QByteArray file = t.tree.Read("BIN/SetCom.ini");
    EXPECT_TRUE(file.contains("[Comport]\r\n4\r\n"));
    EXPECT_TRUE(file.contains("[AttesaGlobale_usec]\r\n300000\r\n"));
    EXPECT_TRUE(file.contains("[Idle_usec]\r\n0\r\n"));
    EXPECT_TRUE(file.contains("[UsbCom]\r\n 1 \r\n[SearchCom]\r\n 7 \r\n"));
    EXPECT_TRUE(file.endsWith("[LogPoint]\r\n1\r\n"));
}

TEST(WriteSetCom, ReplacesTheWholeFileOrNothing) {
    LinkInTree t;
    t.tree.Write("BIN/SetCom.ini", QByteArray(4000, 'x'));
    t.link.ReadSetCom(SetComIni);
    t.link.FlagRicercaCom(NoSearch);
    ASSERT_TRUE(t.link.WriteSetCom(SetComIni));
    EXPECT_EQ(t.tree.Read("BIN/SetCom.ini"), DefaultFile(t.tree.Root()));

    EXPECT_FALSE(t.link.WriteSetCom("/MISSING/SetCom.ini"));
    EXPECT_FALSE(QFile::exists(t.tree.Path("MISSING/SetCom.ini")));
}

TEST(WriteSetCom, RoundTripsThroughRead) {
    LinkInTree t;
    t.tree.Write("BIN/SetCom.ini", "[Comport]\r\n7\r\n[SearchCom]\r\n3\r\n[NumResend]\r\n-2\r\n"
                                   "[DCB_fBitFields]\r\n-1\r\n[Titolo]\r\nCaf\xE9\r\n");
    t.link.ReadSetCom(SetComIni);
    ASSERT_TRUE(t.link.WriteSetCom(SetComIni));
    const QByteArray first = t.tree.Read("BIN/SetCom.ini");
    t.link.ReadSetCom(SetComIni);
    ASSERT_TRUE(t.link.WriteSetCom(SetComIni));
    EXPECT_EQ(t.tree.Read("BIN/SetCom.ini"), first);
    EXPECT_EQ(t.link.Titolo(), QString::fromUtf8("Café"));
    EXPECT_EQ(t.link.NumReSend(), -2);
    EXPECT_EQ(t.link.DcbBitFields(), -1);
}

// A file that cannot be read, is empty or holds no marker is damaged and taken as absent:
// the default settings and a search, and the file is written anew once the ECU answers.
// A bad value is damage too, though the rest of the file is kept. No file is a first start.
TEST(ReadSetCom, VerdictsOfDamagedFiles) {
    const struct {
        const char* what;
        QByteArray file; // null: no file
        bool whole;
        bool takenAsAbsent;
    } cases[] = {
        {"no file", QByteArray(), true, true},
        {"empty", "", false, true},
        {"junk", "garbage\r\n\x01\x02\r\n", false, true},
        {"a bad value", "[Comport]\r\nabc\r\n", false, false},
        {"a marker on the last line", "[Comport]\r\n", false, false},
        {"one good pair", "[Comport]\r\n2\r\n", true, false},
    };
    for (const auto& c : cases) {
        LinkInTree t;
        if (!c.file.isNull()) {
            t.tree.Write("BIN/SetCom.ini", c.file);
        }
        MsgBoxCapture boxes;
        EXPECT_EQ(t.link.ReadSetCom(SetComIni), c.whole) << c.what;
        EXPECT_EQ(t.link.MemoDatiCom(), c.takenAsAbsent) << c.what;
        EXPECT_EQ(t.link.FlagRicercaCom() == 0, c.takenAsAbsent) << c.what;
    }
}

TEST(ReadSetCom, TheShippedSettingsAreWhole) {
    LinkInTree t;
    t.tree.Write("BIN/SetCom.ini", DefaultFile(t.tree.Root()));
    EXPECT_TRUE(t.link.ReadSetCom(SetComIni));
}

#ifndef _WIN32
TEST(ReadSetCom, AnUnreadableFileIsDamagedAndTakenAsAbsent) {
    LinkInTree t;
    t.tree.Write("BIN/SetCom.ini", DefaultFile(t.tree.Root()));
    QFile::setPermissions(t.tree.Path("BIN/SetCom.ini"), QFileDevice::Permissions());
    QFile probe(t.tree.Path("BIN/SetCom.ini"));
    if (probe.open(QIODevice::ReadOnly)) {
        GTEST_SKIP() << "running with rights that read any file";
    }
    EXPECT_FALSE(t.link.ReadSetCom(SetComIni));
    EXPECT_TRUE(t.link.MemoDatiCom());
}
#endif
