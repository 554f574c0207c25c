#include "viewer/FormattedLog.h"
#include "common/TempTree.h"

#include <gtest/gtest.h>
#include <limits>

using namespace viewer;

namespace {

const QByteArray Sample1 =
    "1500 | 2250 | 300 | 400 | 2500 | 1200 | 800 | 450 | 3 | 60 | 45 | 13,5\r\n";
const QByteArray Sample2 = "1000 | 2000 | 0 | 0 | 900 | 1000 | 700 | 900 | 0 | 61 | 46 | 13,6\r\n";

} // namespace

TEST(ViewerFormattedLog, SamplesAndTimeSteps) {
    testing_support::TempTree tree;
    tree.Write("f.txt", Sample2 + "title\r\n> 5,9\r\n" + Sample1 + ">  100\r\n>1\r\n" + Sample2 +
                            Sample1.chopped(2));
    const FormattedLogLoad load = LoadFormattedLog(tree.Path("f.txt"), false, ",");
    ASSERT_TRUE(load.error.isEmpty());
    // The first line and an unfinished last line are not read; ">1" is too short to count.
    ASSERT_EQ(load.samples.size(), 2u);
    const Mem1Rec& m = load.samples[0];
    EXPECT_EQ(m.TimeStamp, 5);
    EXPECT_EQ(load.samples[1].TimeStamp, 105);
    EXPECT_EQ(load.TimeFirst, 5);
    EXPECT_EQ(load.TimeLast, 105);
    EXPECT_DOUBLE_EQ(m.TInjGas[0], 1.5);
    EXPECT_DOUBLE_EQ(m.TInjGas[7], 1.5);
    EXPECT_DOUBLE_EQ(m.TInjBenz[3], 2.25);
    EXPECT_DOUBLE_EQ(m.TInjAux[0], 0.3);
    EXPECT_DOUBLE_EQ(m.TInjGasBar[0], 0.4);
    EXPECT_EQ(m.Rpm, 2500);
    EXPECT_EQ(m.PressGas, 1200);
    EXPECT_EQ(m.Vacuum, 800);
    EXPECT_FLOAT_EQ(m.Lambda1, 0.45f);
    EXPECT_EQ(m.Level1, 3);
    EXPECT_EQ(m.Temp, 60);
    EXPECT_EQ(m.Temp1, 45);
    EXPECT_DOUBLE_EQ(m.Supply, 13.5);
}

TEST(ViewerFormattedLog, WithoutTimeStepsEverySampleIsAtZero) {
    testing_support::TempTree tree;
    tree.Write("f.txt", "head\r\n" + Sample1 + Sample2 + Sample1 + "end");
    const FormattedLogLoad load = LoadFormattedLog(tree.Path("f.txt"), false, ",");
    ASSERT_EQ(load.samples.size(), 3u);
    EXPECT_EQ(load.samples[2].TimeStamp, 0);
    EXPECT_EQ(load.TimeFirst, 0);
    EXPECT_EQ(load.TimeLast, 0);
}

TEST(ViewerFormattedLog, HugeTimeStepsStopAtTheEndsOfTheRangeInsteadOfWrapping) {
    constexpr qint32 most = std::numeric_limits<qint32>::max();
    constexpr qint32 least = std::numeric_limits<qint32>::min();
    testing_support::TempTree tree;
    tree.Write("f.txt", "head\r\n> 1000\r\n" + Sample1 + "> 2147483000\r\n" + Sample1 +
                            "> 99999999999999999999\r\n" + Sample1 + "> -1\r\n" + Sample1 +
                            "> -99999999999999999999\r\n" + Sample1 + "end\r\n");
    const FormattedLogLoad load = LoadFormattedLog(tree.Path("f.txt"), false, ",");
    ASSERT_TRUE(load.error.isEmpty()) << load.error.toStdString();
    ASSERT_EQ(load.samples.size(), 5u);
    const double want[] = {1000, most, most, most - 1.0, least};
    for (std::size_t i = 0; i < load.samples.size(); ++i) {
        EXPECT_EQ(load.samples[i].TimeStamp, want[i]) << i;
    }
    EXPECT_EQ(load.TimeFirst, 1000);
    EXPECT_EQ(load.TimeLast, least);
}

TEST(ViewerFormattedLog, ABadNumberEndsTheLoadKeepingWhatCameBefore) {
    testing_support::TempTree tree;
    tree.Write("f.txt", "head\r\n" + Sample1 +
                            "1 | x | 2 | 3 | 4 | 5 | 6 | 7 | 8 | 9 | 10 | 11\r\n" + Sample2 +
                            "end\r\n");
    const FormattedLogLoad load = LoadFormattedLog(tree.Path("f.txt"), false, ",");
    EXPECT_FALSE(load.error.isEmpty());
    ASSERT_EQ(load.samples.size(), 1u);
    EXPECT_EQ(load.samples[0].Rpm, 2500);
}

TEST(ViewerFormattedLog, WhileRecordingOnlyTheLast50000BytesAreRead) {
    testing_support::TempTree tree;
    QByteArray text = "head\r\n";
    while (text.size() < 120000) {
        text += Sample2;
    }
    text += Sample1 + Sample1;
    tree.Write("f.txt", text);
    const FormattedLogLoad all = LoadFormattedLog(tree.Path("f.txt"), false, ",");
    const FormattedLogLoad tail = LoadFormattedLog(tree.Path("f.txt"), true, ",");
    EXPECT_GT(all.samples.size(), 120000 / Sample2.size());
    // The tail's first line is cut and not read; the last sample is the last element.
    EXPECT_NEAR(double(tail.samples.size()), 50000.0 / Sample2.size(), 3);
    EXPECT_EQ(tail.samples.back().Rpm, 2500);
}

TEST(ViewerExport, HeaderAndOneLinePerSample) {
    Samples s(2);
    s[0].TimeStamp = 1000;
    s[1].TimeStamp = 1250.5;
    s[1].TInjGas[2] = 2.0625; // a half at the third decimal goes to the even digit
    s[1].TInjBenz[2] = 3.0;
    s[1].Vacuum = 812.4;
    s[1].PressGas = 1234.5678;
    s[1].Lambda1 = 0.5f;
    s[1].Rpm = 2499.9;
    s[1].Temp1 = -3.5;
    s[1].Temp = 45.99;
    const std::array<QString, 8> names{"Gas", "Petrol", "Vac", "Pr", "L", "Rpm", "Ti", "Tg"};
    EXPECT_EQ(ExportText(s, 2, 2, names, ","),
              " # Time # Gas # Petrol # Vac # Pr # L # Rpm # Ti # Tg\r\n"
              " # 0 # 0 # 0 # 0 # 0 # 0 # 0 # 0 # 0\r\n"
              " # 250,5 # 2,062 # 3 # 0,812 # 1,235 # 0,5 # 2499 # -4 # 45\r\n");
    // Only the samples asked for: a store of empty slots writes the header alone.
    EXPECT_EQ(ExportText(Samples(2401), 0, 0, names, ".").count("\r\n"), 1);
}
