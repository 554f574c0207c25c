#include "viewer/PlotGeometry.h"

#include <gtest/gtest.h>
#include <limits>

using namespace viewer;

TEST(ViewerPlot, PositionsInTwips) {
    // One second after the origin: a division of 1500 twips at 1 s/div, 75 at 20 s/div.
    EXPECT_EQ(XOfStart(2000, 1000, MsPerTwip(1)), 1500);
    EXPECT_EQ(XOfStart(2000, 1000, MsPerTwip(20)), 75);
    // The end is measured from the rounded start: 1.5 twips after x 2 is 3.5, to 4.
    EXPECT_EQ(XOfEnd(100, 101, 2, MsPerTwip(1)), 4);
    EXPECT_EQ(XOfEnd(100, 101, 1, MsPerTwip(1)), 2);
    EXPECT_EQ(YOfValue(1065, 1.5, 64), 1089);
    EXPECT_EQ(YOfValue(5745, 2500, 0.25), 5240);
    EXPECT_EQ(YOfValue(0, -100, 8), 920); // nothing is clamped
}

TEST(ViewerPlot, PositionsFarOffThePictureStayAtTheEndsOfTheIntRange) {
    constexpr int most = std::numeric_limits<int>::max();
    constexpr int least = std::numeric_limits<int>::min();
    constexpr double t = std::numeric_limits<qint32>::max();
    EXPECT_EQ(XOfStart(t, -t, MsPerTwip(1)), most);
    EXPECT_EQ(XOfEnd(-t, t, 0, MsPerTwip(1)), most);
    EXPECT_EQ(XOfStart(-t, t, MsPerTwip(1)), least);
    EXPECT_EQ(YOfValue(1065, 1e300, 64), least);
    EXPECT_EQ(YOfValue(1065, -1e300, 64), most);
    constexpr qint32 first = std::numeric_limits<qint32>::min();
    EXPECT_EQ(SliderRangeFor(1, first, std::numeric_limits<qint32>::max())->Max, most);
}

TEST(ViewerPlot, GridOfDots) {
    const auto dots = GridDots();
    ASSERT_EQ(dots.size(), 1239u);
    EXPECT_EQ(dots.front(), QPoint(0, 15));
    EXPECT_EQ(dots[48], QPoint(9000, 15));      // first row: every eighth of a division
    EXPECT_EQ(dots[49], QPoint(0, 88));         // second row: division lines only
    EXPECT_EQ(dots.back(), QPoint(9000, 7181)); // row 98 at 7166.25 twips
}

TEST(ViewerPlot, ZoomAndOffsetSteps) {
    EXPECT_EQ(ZoomIn(1024), 2048);
    EXPECT_EQ(ZoomIn(2048), 2048);
    EXPECT_EQ(ZoomOut(0.25), 0.125);
    EXPECT_EQ(ZoomOut(0.125), 0.125);
    EXPECT_EQ(OffsetUp(-30), -103.125);
    EXPECT_EQ(OffsetUp(-103.125), -105);
    const double ceiling = PlotHeight - ZeroMarkHeight - 15;
    EXPECT_EQ(ceiling, 6915);
    EXPECT_EQ(OffsetDown(6900, ceiling), 6915);
    EXPECT_EQ(OffsetDown(1065, ceiling), 1138.125);
}

TEST(ViewerPlot, TimeBaseSequences) {
    std::vector<double> up;
    SecDivStep step;
    step.SecDiv = 5;
    do {
        step = SecDivUp(step.SecDiv);
        up.push_back(step.SecDiv);
    } while (step.UpEnabled.value_or(true));
    EXPECT_EQ(up, (std::vector<double>{7.5, 10, 20}));
    EXPECT_TRUE(step.FocusDown);
    const SecDivStep atTop = SecDivUp(20);
    EXPECT_FALSE(atTop.Changed);
    EXPECT_EQ(atTop.DownEnabled, true);

    std::vector<double> down;
    step = SecDivStep{};
    step.SecDiv = 20;
    do {
        step = SecDivDown(step.SecDiv);
        down.push_back(step.SecDiv);
    } while (step.DownEnabled.value_or(true));
    EXPECT_EQ(down, (std::vector<double>{10, 7.5, 5, 2, 1}));
    EXPECT_TRUE(step.FocusUp);
    EXPECT_FALSE(SecDivDown(1).Changed);

    EXPECT_EQ(SecDivUp(3).SecDiv, 5);
    EXPECT_EQ(SecDivDown(3).SecDiv, 1);
}

TEST(ViewerPlot, LabelTexts) {
    EXPECT_EQ(SecDivText(1, "."), "1.00 s");
    EXPECT_EQ(SecDivText(7.5, ","), "7,50 s");
    EXPECT_EQ(SecDivText(20, "."), "20.00 s");
    EXPECT_EQ(ZoomText(0.5, "."), "0.500");
    EXPECT_EQ(ZoomText(0.25, "."), "0.250");
    EXPECT_EQ(ZoomText(0.125, ","), "0,125");
    EXPECT_EQ(ZoomText(1, "."), "1");
    EXPECT_EQ(ZoomText(2048, "."), "2048");
    EXPECT_EQ(OffsetText(-103.125), "-103");
    EXPECT_EQ(OffsetText(1138.5), "1138");
    EXPECT_EQ(CursorTimeText(125250, "."), " 2: 05. 250 min ");
    EXPECT_EQ(CursorTimeText(125250.5, "."), " 2: 05. 0.5 min ");
    EXPECT_EQ(CursorTimeText(7, "."), " 0: 00. 007 min ");
    EXPECT_EQ(ReadoutHeight(8), 690);
    EXPECT_EQ(ReadoutHeight(1), 6195);
}

TEST(ViewerPlot, SliderRange) {
    EXPECT_FALSE(SliderRangeFor(5, 1000, 1001));
    EXPECT_FALSE(SliderRangeFor(5, 0, 0));
    const auto r = SliderRangeFor(5, 1000, 61000);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Max, 60000);
    EXPECT_EQ(r->LargeChange, 15000);
    EXPECT_EQ(SliderRangeFor(7.5, 0, 100)->LargeChange, 22500);
}

TEST(ViewerPlot, CursorSearches) {
    Samples s(5);
    for (int i = 0; i < 5; ++i) {
        s[i].TimeStamp = 1000 + 100 * i;
    }
    const double k = MsPerTwip(1); // 2/3 ms per twip
    // Viewing: the sample after the first one at the cursor's time.
    EXPECT_EQ(ViewingCursorIndex(s, 150, 0, 1000, 1, k), 2);
    EXPECT_EQ(ViewingCursorIndex(s, 9000, 0, 1000, 1, k), -1); // right of the data
    EXPECT_EQ(ViewingCursorIndex(Samples(1), 0, 0, 0, 1, k), -1);
    EXPECT_EQ(FirstDrawnSample(s, 0), 1);
    EXPECT_EQ(FirstDrawnSample(s, 250), 4);
    EXPECT_EQ(FirstDrawnSample(s, 99999), 5); // beyond the last sample
    // Recording: left of the pen in this sweep, right of it in the last one.
    EXPECT_EQ(RecordingCursorIndex(s, 150, 400, 2, k), 1);
    EXPECT_EQ(RecordingCursorIndex(s, 450, 300, 2, k), 4);
    EXPECT_EQ(RecordingCursorIndex(s, 150, 400, 4, k), -1); // the store's last slot
    EXPECT_EQ(RecordingCursorIndex(s, 150, 400, -1, k), -1);
    EXPECT_EQ(RecordingCursorIndex(s, 450, 300, 4, k), -1);
}

// The readouts show at most three decimals, as the main window's readouts do, never the
// raw binary fraction of a scaled count.
TEST(ViewerPlot, ReadoutTexts) {
    Mem1Rec m;
    m.TInjGas[3] = 2.456;
    m.TInjBenz[3] = 0.008 * 313; // 2.504 with a binary tail
    m.Vacuum = 953;
    m.PressGas = 1002.45;
    m.Lambda1 = float(20 * 0.0048828125); // 0.09765625 V
    m.Rpm = 2500.5;
    m.Temp1 = 21;
    m.Temp = -7.5;
    const char* const expected[8] = {"2.456", "2.504", "0.953", "1.002",
                                     "0.098", "2500",  "21",    "-7.5"};
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(ReadoutText(m, c, 3, "."), expected[c]) << c;
    }
    EXPECT_EQ(ReadoutText(m, 4, 3, ","), "0,098");
    m.Lambda1 = float(1023 * 0.0048828125);
    EXPECT_EQ(ReadoutText(m, 4, 3, "."), "4.995");
}

TEST(ViewerPlot, ChannelValues) {
    Mem1Rec m;
    m.TInjGas[3] = 1;
    m.TInjBenz[3] = 2;
    m.Vacuum = 3;
    m.PressGas = 4;
    m.Lambda1 = 5;
    m.Rpm = 6;
    m.Temp1 = 7;
    m.Temp = 8;
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(ChannelValue(m, c, 3), c + 1) << c;
    }
}
