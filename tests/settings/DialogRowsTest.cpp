// The rows of the level-sensor and injector dialogs.

#include "settings/DialogRows.h"

#include <gtest/gtest.h>

using namespace settings;

TEST(DialogRows, LevelRowsAndValues) {
    EXPECT_EQ(LevelRowTop(120, 285, 285, 3), 120 + 285 + 150) << "4/4 on top";
    EXPECT_EQ(LevelRowTop(120, 285, 285, 0), 120 + 285 + 150 + 3 * 510);
    EXPECT_EQ(LevelElement(0, false), 1);
    EXPECT_EQ(LevelElement(3, false), 4);
    EXPECT_EQ(LevelElement(0, true), 4);
    EXPECT_EQ(LevelElement(3, true), 1);
    EXPECT_EQ(LevelValueText(100, 1023, 704, ","), "68,81") << "the division first";
    EXPECT_EQ(LevelValueText(100, 1023, 0, "."), "0.00");
    EXPECT_EQ(LevelValueText(1, 0, 0, ","), "0,00") << "a zero full count divides by 0.000001";
}

TEST(DialogRows, InjectorOffsetsAndModes) {
    EXPECT_EQ(OffsetSteps(1.2, 0.008), 15);
    EXPECT_EQ(OffsetSteps(-0.4, 0.008), -5);
    EXPECT_EQ(OffsetSteps(0.12, 0.008), 2) << "1,5 steps: halves to even";
    EXPECT_EQ(OffsetSteps(30, 0.008), 375) << "not clamped here";
    EXPECT_EQ(OffsetSteps(1.2, 0), 0);
    for (const auto& [mode, item] : {std::pair{3, 0}, {4, 1}, {0, 2}, {1, 0}, {2, 0}}) {
        EXPECT_EQ(ModeItem(mode), item) << mode;
    }
    for (const auto& [item, mode] : {std::pair{0, 3}, {1, 4}, {2, 0}}) {
        EXPECT_EQ(ItemMode(item), mode) << item;
    }
}
