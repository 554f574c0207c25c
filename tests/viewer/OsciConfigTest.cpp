#include "viewer/OsciConfig.h"
#include "common/TempTree.h"
#include "viewer/PlotGeometry.h"

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

// Values beyond what the controls show are limited to it and named once each; the ends
// themselves and a line that is no number (the value kept) are not named.
TEST(ViewerOsciConfig, OutOfRangeValuesAreLimitedAndNamed) {
    const struct {
        const char* colour;
        const char* offset;
        const char* zoom;
        quint32 wantColour;
        double wantOffset;
        double wantZoom;
        QStringList limited;
    } cases[] = {
        {"255", "100", "1", 255, 100, 1, {}},
        {"16777215", "-105", "2048", 0xFFFFFF, MinOffset, MaxZoom, {}},
        {"0", "6915", "0,125", 0, MaxOffset, MinZoom, {}},
        {"-1", "100", "1", 0, 100, 1, {"[Rpm] colour"}},
        {"16777216", "100", "1", 0xFFFFFF, 100, 1, {"[Rpm] colour"}},
        {"255", "-2147483649", "1", 255, MinOffset, 1, {"[Rpm] offset"}},
        {"255", "99999999999999999999", "1", 255, MaxOffset, 1, {"[Rpm] offset"}},
        {"255", "100", "0", 255, 100, MinZoom, {"[Rpm] zoom"}},
        {"255", "100", "-4", 255, 100, MinZoom, {"[Rpm] zoom"}},
        {"255", "100", "4096", 255, 100, MaxZoom, {"[Rpm] zoom"}},
        {"-5",
         "7000",
         "0,1",
         0,
         MaxOffset,
         MinZoom,
         {"[Rpm] colour", "[Rpm] offset", "[Rpm] zoom"}},
        {"nan", "inf", "1e9", 0xFF8080, 5745, 0.25, {}}, // no numbers: the defaults stay
    };
    testing_support::TempTree tree;
    for (const auto& c : cases) {
        const QString name = QString("%1/%2/%3").arg(c.colour, c.offset, c.zoom);
        tree.Write("o.ini", QByteArray("[Rpm]\r\n1\r\n ") + c.colour + " \r\n " + c.offset +
                                " \r\n " + c.zoom + " \r\n");
        ChannelSettings s = DefaultChannelSettings();
        QString error;
        QStringList limited{"left from before"};
        ASSERT_TRUE(ReadOsciConfig(tree.Path("o.ini"), s, ",", error, &limited));
        EXPECT_EQ(s[5].Color, c.wantColour) << name.toStdString();
        EXPECT_EQ(s[5].Offset, c.wantOffset) << name.toStdString();
        EXPECT_EQ(s[5].Zoom, c.wantZoom) << name.toStdString();
        EXPECT_EQ(limited, c.limited) << name.toStdString();
    }
}

TEST(ViewerOsciConfig, TheShippedFileHoldsTheDefaults) {
    const QByteArray shipped =
        testing_support::ReadFixture(QString(LX735_SOURCE_DATA_DIR) + "/LNG/OsciConfig.ini");
    EXPECT_EQ(shipped, OsciConfigText(DefaultChannelSettings(), ".").toLatin1());
}
