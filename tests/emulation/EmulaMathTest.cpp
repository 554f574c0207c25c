#include "emulation/EmulaMath.h"

#include <gtest/gtest.h>

using namespace emulation;

namespace {

const QString Dot = ".";

TEST(VoltCodes, ShowTruncatedToTenMillivoltsWithoutTrailingZeros) {
    struct Case {
        int code;
        const char* text;
    };
    for (const Case c : {Case{255, "4.99"}, Case{51, "1"}, Case{0, "0"}, Case{26, "0.51"},
                         Case{24, "0.47"}, Case{82, "1.6"}}) {
        EXPECT_EQ(VoltText(c.code, Dot), c.text) << c.code;
    }
    EXPECT_EQ(VoltText(26, ","), "0,51");
}

TEST(VoltCodes, LambdaDefaultsTruncateWithTheSinglePrecisionStep) {
    // 196 mV is code 9 with the widened single-precision step, 10 with the exact 19.6.
    EXPECT_EQ(TruncCode(196), 9);
    ecudata::LambdaRec record;
    record.Param3 = 5010;
    record.Param4 = 130;
    record.Param5 = 720;
    record.Param6 = 130;
    record.Param7 = 2488;
    EmulaBlk block{};
    block[86] = 1;
    ApplyLambdaDefaults(block, record);
    for (int i = 32; i < 80; ++i) {
        ASSERT_EQ(block[i], 126) << i;
    }
    EXPECT_EQ((std::array<int, 4>{block[82], block[83], block[84], block[85]}),
              (std::array<int, 4>{255, 6, 36, 6}));
    EXPECT_EQ(block[86], 1);
    EXPECT_EQ(block[80], 0);
}

TEST(Delay, StoredInQuartersOfATenthAndShownByTheFirstEntryNotBelow) {
    EXPECT_EQ(DelayUnits(0.5), 20);
    EXPECT_EQ(DelayUnits(300), 12000);
    const QStringList items{"0", "0,5", "1", "3", "300"};
    EXPECT_EQ(DelayIndex(items, 0), 0);
    EXPECT_EQ(DelayIndex(items, 20), 1);
    EXPECT_EQ(DelayIndex(items, 21), 2);
    EXPECT_EQ(DelayIndex(items, 12001), -1);
    EXPECT_EQ(DelaySeconds("0,5"), 0.5);
    EXPECT_EQ(DelaySeconds("0.5"), 0.5);
}

TEST(TableEnable, NeedsALambdaTypeTheEmulationOnAndATypedProbe) {
    EmulaBlk block{};
    EXPECT_FALSE(TableEnabled(1, 1, block));
    block[87] = 0x21; // probe 2 typed, filter 2
    EXPECT_TRUE(TableEnabled(1, 1, block));
    EXPECT_FALSE(TableEnabled(0, 1, block));
    EXPECT_FALSE(TableEnabled(1, 0, block));
    block[87] = 0x20; // the filter alone types no probe
    EXPECT_FALSE(TableEnabled(1, 1, block));
}

TEST(Thresholds, LimitByTypeAndQuantiseToTheCodeShown) {
    struct Case {
        int lambdaIndex;
        const char* typed;
        int centivolts;
        int code;
        const char* shown;
    };
    for (const Case c :
         {Case{1, "0.5", 50, 26, "0.51"}, Case{4, "2", 160, 82, "1.6"}, Case{1, "2", 100, 51, "1"},
          Case{0, "5", 500, 255, "4.99"}, Case{3, "5", 500, 255, "4.99"}, Case{2, "-1", 0, 0, "0"},
          // Type 5 takes far more than a byte holds: the code stops at 255.
          Case{5, "10", 1000, 255, "4.99"}}) {
        const auto cv = ValidateLevelCentivolts(c.typed, c.lambdaIndex, Dot);
        ASSERT_TRUE(cv) << c.typed;
        EXPECT_EQ(*cv, c.centivolts) << c.typed;
        const int code = LevelCode(*cv / 100.0);
        EXPECT_EQ(code, c.code) << c.typed;
        EXPECT_EQ(VoltText(code, Dot), c.shown) << c.typed;
    }
    EXPECT_FALSE(ValidateLevelCentivolts("", 1, Dot));
    EXPECT_FALSE(ValidateLevelCentivolts("0.5x", 1, Dot));
    EXPECT_EQ(NormaliseSeparator("1.2", ","), "1,2");
    EXPECT_EQ(NormaliseSeparator("1,2", "."), "1.2");
}

TEST(TableCells, StepOneCodeAndClampByModeAndType) {
    struct Case {
        const char* cell;
        bool up;
        bool shift;
        CellMode mode;
        const char* result;
    };
    for (const Case c :
         {Case{"0.45", true, false, {false, 0}, "0.47"},
          Case{"0.8", false, false, {false, 4}, "0.8"}, Case{"1", true, false, {false, 1}, "1"},
          Case{"4.99", true, true, {false, 0}, "4.99"}, Case{"0", false, false, {false, 0}, "0"},
          Case{"127", true, false, {true, 0}, "128"}, Case{"128", true, false, {true, 0}, "128"},
          Case{"-127", false, false, {true, 0}, "-127"}, Case{"5", true, true, {true, 0}, "15"}}) {
        EXPECT_EQ(StepTableCell(c.cell, c.up, c.shift, c.mode, Dot), c.result) << c.cell;
    }
    EXPECT_EQ(CellByte("0.47", {false, 0}, Dot), 24);
    EXPECT_EQ(CellByte("-127", {true, 0}, Dot), 0);
    EXPECT_EQ(CellByte("129", {true, 0}, Dot), std::nullopt);
    EXPECT_EQ(CellByte("x", {false, 0}, Dot), std::nullopt);
}

TEST(Breakpoints, StopAtTheUpperBoundAndTheLowerWins) {
    EXPECT_EQ(StepBreakpoint(4950, 100, 4000, 5000), 5000);
    EXPECT_EQ(StepBreakpoint(5000, 100, 4000, 5000), 5000);
    EXPECT_EQ(StepBreakpoint(1000, -1000, 800, 5000), 800);
    EXPECT_EQ(StepBreakpoint(900, 10, 1000, 950), 1000); // neighbours out of order
}

TEST(EnterValue, ChecksEmptyNumberAndEachOperationsRange) {
    struct Case {
        const char* text;
        int oper;
        int message;
    };
    for (const Case c :
         {Case{"255", OperLinear, 0}, Case{"-255", OperLinear, 0}, Case{"255.01", OperLinear, 2},
          Case{"-256", OperLinear, 3}, Case{"100", OperPercent, 0}, Case{"-100", OperPercent, 0},
          Case{"101", OperPercent, 4}, Case{"-101", OperPercent, 5}, Case{"127", OperAbsolute, 0},
          Case{"-127", OperAbsolute, 0}, Case{"128", OperAbsolute, 6},
          Case{"-128", OperAbsolute, 7}, Case{"", OperAbsolute, 1}, Case{"12ab", OperLinear, 1}}) {
        EXPECT_EQ(CheckEnterValue(c.text, c.oper, Dot), c.message) << c.text;
    }
}

TEST(EnterValue, AppliesThenClampsBeforeQuantising) {
    struct Case {
        const char* cell;
        double value;
        int oper;
        CellMode mode;
        const char* result;
    };
    for (const Case c : {Case{"2.47", 0.45, OperAbsolute, {false, 0}, "0.45"},
                         Case{"2.47", -100, OperPercent, {false, 0}, "0"},
                         Case{"1.2", -100, OperPercent, {false, 4}, "0.8"},
                         Case{"40", -100, OperPercent, {true, 0}, "0"},
                         Case{"0", 255, OperLinear, {true, 0}, "128"},
                         Case{"0", 127, OperAbsolute, {true, 0}, "127"},
                         Case{"0", -127, OperAbsolute, {true, 0}, "-127"},
                         Case{"0.5", -1, OperLinear, {false, 1}, "0"},
                         Case{"4.95", 0.1, OperLinear, {false, 0}, "4.99"}}) {
        EXPECT_EQ(ApplyEnterValueCell(c.cell, c.value, c.oper, c.mode, Dot), c.result) << c.cell;
    }
    EXPECT_EQ(CellByte("0.45", {false, 0}, Dot), 23);
}

TEST(EnterValue, AnAbsoluteValueBeyondTheVoltageCellsGivesTheLimitTheyTake) {
    struct Case {
        double value;
        CellMode mode;
        std::optional<double> taken;
    };
    for (const Case c :
         {Case{2.5, {false, 1}, 1.0}, Case{1.0, {false, 1}, std::nullopt},
          Case{1.0004, {false, 1}, std::nullopt}, Case{1.001, {false, 1}, 1.0},
          Case{0.5, {false, 4}, 0.8}, Case{1.7, {false, 4}, 1.6}, Case{-0.1, {false, 0}, 0.0},
          Case{5, {false, 0}, 4.99}, Case{4.99, {false, 0}, std::nullopt},
          Case{127, {true, 0}, std::nullopt}}) {
        EXPECT_EQ(ClampedAbsoluteVolts(c.value, c.mode), c.taken) << c.value;
        if (c.taken) { // what the cells then show
            EXPECT_EQ(ApplyEnterValueCell("0", c.value, OperAbsolute, c.mode, Dot),
                      ApplyEnterValueCell("0", *c.taken, OperAbsolute, c.mode, Dot))
                << c.value;
        }
    }
}

TEST(Marker, SitsOnTheLastBreakpointNotAboveTheLiveValue) {
    const std::array<int, 12> rpm{800,  1200, 1600, 2000, 2400, 2800,
                                  3200, 3600, 4000, 4400, 4800, 5200};
    const std::array<int, 4> press{300, 500, 700, 900};
    struct Case {
        double rpm, press;
        int col, row;
    };
    for (const Case c : {Case{2500, 650, 5, 2}, Case{0, 0, 1, 1}, Case{5200, 900, 12, 4},
                         Case{9000, 2000, 12, 4}, Case{800, 300, 1, 1}}) {
        const MarkerCell cell = EmulaMarkerCell(rpm, press, c.rpm, c.press);
        EXPECT_EQ(cell.col, c.col) << c.rpm;
        EXPECT_EQ(cell.row, c.row) << c.press;
    }
}

TEST(ImportLine, TakesExactly176HexDigits) {
    QString line;
    for (int i = 0; i < 88; ++i) {
        line += QString("%1").arg(i, 2, 16, QChar('0')).toUpper();
    }
    const auto block = ParseEmulaLine(line);
    ASSERT_TRUE(block);
    EXPECT_EQ((*block)[0], 0);
    EXPECT_EQ((*block)[87], 87);
    EXPECT_TRUE(ParseEmulaLine(line.toLower()));
    for (const QString& bad : {line.left(174), line + "00", line.left(175) + "G", line + " ",
                               " " + line.left(175), QString()}) {
        EXPECT_FALSE(ParseEmulaLine(bad)) << bad.size();
    }
}

} // namespace
