#include "support/Conversions.h"

#include <gtest/gtest.h>

using namespace support;

TEST(HexToByteStr, ConvertsPairsPadsOddTextAndRejectsNonHex) {
    QString hex = "4142";
    EXPECT_EQ(HexToByteStr(hex), QByteArray("AB"));

    QString odd = "41A";
    EXPECT_EQ(HexToByteStr(odd), QByteArray("\x04\x1A", 2));
    EXPECT_EQ(odd, "041A") << "the padded text is written back";

    QString bad = "4G";
    EXPECT_TRUE(HexToByteStr(bad).isEmpty());
    QString lateBad = "41424X";
    EXPECT_TRUE(HexToByteStr(lateBad).isEmpty()) << "nothing converted before is kept";
}

TEST(ByteStrToHex, WritesTwoUpperCaseDigitsPerByte) {
    EXPECT_EQ(ByteStrToHex(QByteArray("\x01\xAB\x00", 3)), "01AB00");
    EXPECT_EQ(ByteStrToHex({}), "");
}

TEST(DoubleToHex, Table) {
    const struct {
        double value;
        const char* hex;
    } cases[] = {{0, "00"},      {255, "FF"},  {256, "0100"},   {15.7, "0F"},
                 {4096, "1000"}, {14.5, "0E"}, {65535, "FFFF"}, {-1, ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(DoubleToHex(c.value), c.hex) << c.value;
    }
}

TEST(Int16ToHex, Table) {
    const struct {
        double value;
        const char* hex;
    } cases[] = {{100, "64"},      {10, "A"},        {4096, "1000"}, {40000, "7FFF"},
                 {32767, "7FFF"},  {-1, "FFFF"},     {-256, "FF00"}, {-32766, "8002"},
                 {-32767, "FFFF"}, {-40000, "FFFF"}, {0, "0000"}};
    for (const auto& c : cases) {
        EXPECT_EQ(Int16ToHex(c.value), c.hex) << c.value;
    }
}

TEST(SwapHexBytes, ReversesPairsOnALocalCopy) {
    EXPECT_EQ(SwapHexBytes("1234"), "3412");
    EXPECT_EQ(SwapHexBytes("ABC"), "BC0A");
    EXPECT_EQ(SwapHexBytes(""), "");
    const QString caller = "ABC";
    SwapHexBytes(caller);
    EXPECT_EQ(caller, "ABC");
}

TEST(ParseNumber, Table) {
    const struct {
        const char* text;
        double value;
    } cases[] = {{" 12,5 ", 12.5}, {"-3,25", -3.25}, {"5-", -5}, {"12,50", 12.5},
                 {"1,2,3", 0.123}, {"1.5", 0},       {"", 0},    {"-", 0},
                 {"007", 7},       {"1 2", 0},       {",5", 0.5}};
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(ParseNumber(c.text), c.value) << c.text;
    }
}

TEST(FormatFixed, TableWithCommaSeparator) {
    const struct {
        double value;
        int decimals;
        int width;
        const char* text;
    } cases[] = {{12.345, 2, 1, "12,34"}, {5, 2, 3, "005,00"}, {-1.234, 2, 1, "-1,24"},
                 {0.05, 2, 1, "0,05"},    {7, 0, 1, "7"},      {0.29, 2, 1, "0,28"},
                 {-0.5, 0, 1, "-1"}};
    for (const auto& c : cases) {
        int decimals = c.decimals;
        int width = c.width;
        EXPECT_EQ(FormatFixed(c.value, decimals, width, ","), c.text) << c.value;
    }
}

TEST(FormatFixed, CorrectsArgumentsInTheCallersVariables) {
    int decimals = -1;
    int width = 0;
    EXPECT_EQ(FormatFixed(7, decimals, width, ","), "7");
    EXPECT_EQ(decimals, 0);
    EXPECT_EQ(width, 1);
}

TEST(FormatFixed, NeverOverflowsBeyondThirtyTwoBits) {
    int decimals = 3;
    int width = 1;
    EXPECT_EQ(FormatFixed(5e9, decimals, width, "."), "5000000000.000");
    EXPECT_EQ(FormatFixed(-3e12, decimals, width, "."), "-3000000000000.000");
    EXPECT_EQ(FormatFixed(std::numeric_limits<double>::infinity(), decimals, width, "."), "");
}

TEST(FormatFixedCount, ExactDecimalOfAStoredCountWithTheFloor) {
    const struct {
        qint64 count;
        qint64 scale;
        int decimals;
        const char* text;
    } cases[] = {
        {1050, 1000, 2, "1,05"}, // 1.05f reads 1.0499999: a float floor gives "1,04"
        {1050, 1000, 1, "1,0"},     {1059, 1000, 2, "1,05"},
        {1000, 1000, 2, "1,00"},    {290, 1000, 2, "0,29"},
        {0, 1000, 2, "0,00"},       {7, 1000, 2, "0,00"},
        {-1050, 1000, 2, "-1,05"},  {-1051, 1000, 2, "-1,06"},
        {-1, 1000, 2, "-0,01"},     {-1000, 1000, 0, "-1"},
        {-1, 1000, 0, "-1"},        {2560, 1000, 1, "2,5"},
        {20096, 1000, 1, "20,0"},   {32767, 1000, 3, "32,767"},
        {-32766, 1000, 1, "-32,8"}, {5, 1, 0, "5"},
        {128, 1000, 1, "0,1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatFixedCount(c.count, c.scale, c.decimals, ","), c.text)
            << c.count << " / " << c.scale << " at " << c.decimals;
    }
}

TEST(FormatFixedCount, AgreesWithFormatFixedWhereTheDoubleIsExact) {
    // Eighths are exact in binary: both ways must give the same text and the same floor.
    for (qint64 count = -40; count <= 40; ++count) {
        for (int decimals : {0, 1, 2, 3}) {
            int d = decimals;
            int width = 1;
            EXPECT_EQ(FormatFixedCount(count, 8, decimals, "."),
                      FormatFixed(double(count) / 8, d, width, "."))
                << count << "/8 at " << decimals;
        }
    }
}

TEST(GeneralNumberText, WholeNumbersPlainFractionsWithTheSeparatorNeverAnExponent) {
    EXPECT_EQ(GeneralNumberText(0.125, ","), "0,125");
    EXPECT_EQ(GeneralNumberText(-0.0, ","), "0");
    EXPECT_EQ(GeneralNumberText(1e-20, "."), "0");
    EXPECT_EQ(GeneralNumberText(157, ","), "157");
    EXPECT_EQ(GeneralNumberText(4000000, ","), "4000000");
}

TEST(LocaleNumber, OnlyTheLocalesSeparatorAndASign) {
    EXPECT_EQ(LocaleNumber(" 2,5 ", ","), 2.5);
    EXPECT_EQ(LocaleNumber("-7", ","), -7);
    EXPECT_EQ(LocaleNumber("2.5", "."), 2.5);
    for (const char* text : {"", "2.5", "1,2,3", "abc", "1e3", "- 1"}) {
        EXPECT_FALSE(LocaleNumber(text, ",")) << text;
    }
}
