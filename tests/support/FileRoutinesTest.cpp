#include "support/FileRoutines.h"
#include "common/MsgBoxCapture.h"
#include "common/TempTree.h"
#include "platform/OsError.h"
#include "support/Codepage.h"
#include "support/ErrorBox.h"

#include <gtest/gtest.h>

using namespace support;
using testing_support::MsgBoxCapture;
using testing_support::TempTree;

TEST(IsDateNewer, ComparesYearMonthDayAsTexts) {
    const struct {
        const char* a;
        const char* b;
        bool newer;
    } cases[] = {{"21/07/2008", "27/07/2007", true},  {"27/07/2007", "27/07/2007", false},
                 {"20/05/2007", "10/05/2008", false}, {"01/02/2008", "31/01/2008", true},
                 {"", "01/01/2000", false},           {"2007", "", true}};
    for (const auto& c : cases) {
        EXPECT_EQ(IsDateNewer(c.a, c.b), c.newer) << c.a << " vs " << c.b;
    }
}

TEST(GetParentPath, NeedsTwoSeparators) {
    EXPECT_EQ(GetParentPath("/opt/lx735/BIN"), "/opt/lx735");
    EXPECT_EQ(GetParentPath("/opt/lx735/"), "/opt/lx735");
    EXPECT_EQ(GetParentPath("/BIN"), "");
    EXPECT_EQ(GetParentPath("BIN"), "");
}

TEST(FileTests, FoldersAreNotFilesAndMissingPathsAreNothing) {
    TempTree tree;
    tree.Write("BIN/a.txt", "x");
    EXPECT_TRUE(IsFilePresent(tree.Path("BIN/a.txt")));
    EXPECT_FALSE(IsFilePresent(tree.Path("BIN")));
    EXPECT_FALSE(IsFilePresent(""));
    EXPECT_FALSE(IsFilePresent(tree.Path("BIN/missing")));
    EXPECT_TRUE(IsDirectory(tree.Path("BIN")));
    EXPECT_FALSE(IsDirectory(tree.Path("missing")));
    EXPECT_FALSE(IsDirectory(tree.Path("BIN/a.txt")));
}

TEST(CreateSamplesFolder, CreatesOnceAndReportsAFileInTheWay) {
    TempTree tree;
    EXPECT_TRUE(CreateSamplesFolder(tree.Root()));
    EXPECT_TRUE(IsDirectory(tree.Path("SAMPLES")));
    EXPECT_TRUE(CreateSamplesFolder(tree.Root()));

    TempTree blocked;
    blocked.Write("SAMPLES", "a file");
    EXPECT_FALSE(CreateSamplesFolder(blocked.Root()));
}

TEST(ShowErrorBox, FirstLineOnlyForNumberZeroAndTheSilentTrappedError) {
    MsgBoxCapture capture;
    ShowErrorBox("RiempiCmbSwtch_Err", "Config error", false);
    ShowErrorBox("X_Err", "", false, {3146, "ignored"});
    ASSERT_EQ(capture.boxes.size(), 2u);
    EXPECT_EQ(capture.boxes[0].prompt, "Config errorErrorRiempiCmbSwtch_Err:\r");
    EXPECT_EQ(capture.boxes[0].style, 48);
    EXPECT_EQ(capture.boxes[0].title, "LX735: Error");
    EXPECT_EQ(capture.boxes[1].prompt, "ErrorX_Err:\r");
}

TEST(ShowErrorBox, NumbersInDecimalOrEightHexDigits) {
    MsgBoxCapture capture;
    ShowErrorBox("ReadSetCom_Err13", "", false, {13, "Type mismatch"});
    ShowErrorBox("T", "C", false, {-2147024894, "not found"});
    ShowErrorBox("T", "C", false, {100000, "big"});
    ASSERT_EQ(capture.boxes.size(), 3u);
    EXPECT_EQ(capture.boxes[0].prompt, "ErrorReadSetCom_Err13:\r\r13 - Type mismatch");
    EXPECT_EQ(capture.boxes[1].prompt, "CErrorT:\r\r = &H80070002 - not found");
    EXPECT_EQ(capture.boxes[2].prompt, "CErrorT:\r\r = &H000186A0 - big");
}

TEST(ShowErrorBox, SystemErrorTakesTheLastOsErrorWithoutDescription) {
    MsgBoxCapture capture;
    platform::SetLastOsError(2);
    ShowErrorBox("T", "C", true, {3146, "trapped error is not used"});
    platform::SetLastOsError(0);
    ASSERT_EQ(capture.boxes.size(), 1u);
    EXPECT_EQ(capture.boxes[0].prompt, "CErrorT:\r\r2 - ");
}

TEST(Codepage, RoundTripsEveryByte) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        all.append(static_cast<char>(b));
    }
    EXPECT_EQ(EncodeCp1252(DecodeCp1252(all)), all);
    EXPECT_EQ(DecodeCp1252("\x80\xE8"), QString::fromUtf8("€è"));
    EXPECT_EQ(EncodeCp1252(QString::fromUtf8("a\u4e00")), QByteArray("a?"));
}
