#include "viewer/OsciConfig.h"
#include "common/TempTree.h"

#include <gtest/gtest.h>

using namespace viewer;

TEST(ViewerOsciConfig, WrittenAndReadBack) {
    testing_support::TempTree tree;
    ChannelSettings s = DefaultChannelSettings();
    s[4].Zoom = 2048;
    s[2].Offset = -103.125;
    s[7].ShowTag = "0";
    s[1].Color = 0x123456;
    QString error;
    ASSERT_TRUE(WriteOsciConfig(tree.Path("LNG/OsciConfig.ini"), s, ",", error));
    const QByteArray text = tree.Read("LNG/OsciConfig.ini");
    EXPECT_TRUE(
        text.startsWith("[T Inj Gas]\r\n1\r\n 16776960 \r\n 1065 \r\n 64 \r\n[T Inj Benz]"));
    EXPECT_TRUE(text.contains("[Vacuum]\r\n1\r\n 33023 \r\n-103,125 \r\n 0,5 \r\n"));
    EXPECT_TRUE(text.contains("[Lambda]\r\n1\r\n 65280 \r\n 4575 \r\n 2048 \r\n"));
    EXPECT_EQ(text.count("\r\n"), 40);

    ChannelSettings read;
    ASSERT_TRUE(ReadOsciConfig(tree.Path("LNG/OsciConfig.ini"), read, ",", error));
    for (std::size_t c = 0; c < 8; ++c) {
        EXPECT_EQ(read[c].ShowTag, s[c].ShowTag) << c;
        EXPECT_EQ(read[c].Color, s[c].Color) << c;
        EXPECT_EQ(read[c].Offset, s[c].Offset) << c;
        EXPECT_EQ(read[c].Zoom, s[c].Zoom) << c;
    }
}

TEST(ViewerOsciConfig, MarkersAndUnknownBlocksAreSkipped) {
    testing_support::TempTree tree;
    tree.Write("o.ini",
               "[LastPath]\r\n[Rpm]\r\n[SecDiv]\r\n 20 \r\n[Unknown]\r\n0\r\n 1 \r\n 2 \r\n"
               " 3 \r\n\r\n[ChannelSel]\r\n4\r\n[Rpm]\r\n0\r\n 255 \r\n 100 \r\n 1 \r\n");
    ChannelSettings s = DefaultChannelSettings();
    QString error;
    ASSERT_TRUE(ReadOsciConfig(tree.Path("o.ini"), s, ".", error));
    EXPECT_EQ(s[5].ShowTag, "0");
    EXPECT_EQ(s[5].Color, 255u);
    EXPECT_EQ(s[5].Offset, 100);
    EXPECT_EQ(s[5].Zoom, 1);
    EXPECT_EQ(s[0].Zoom, 64); // untouched channels keep their values

    EXPECT_FALSE(ReadOsciConfig(tree.Path("none.ini"), s, ".", error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(ViewerOsciConfig, TheShippedFileHoldsTheDefaults) {
    const QByteArray shipped =
        testing_support::ReadFixture(QString(LX735_SOURCE_DATA_DIR) + "/LNG/OsciConfig.ini");
    EXPECT_EQ(shipped, OsciConfigText(DefaultChannelSettings(), ".").toLatin1());
}
