#include "emulation/CompMath.h"
#include "emulation/StepKeys.h"

#include <gtest/gtest.h>

using namespace emulation;

namespace {

TEST(CompEditors, StepWithinTheirRangesTheUpperClampFirst) {
    EXPECT_EQ(SmagMsText(62, "."), "0.496");
    int units = SmagUnits("0.496", ".");
    EXPECT_EQ(units, 62);
    units = StepComp(units, true, false, SmagTimeEditor);
    EXPECT_EQ(SmagMsText(units, "."), "0.504");
    units = StepComp(units, true, true, SmagTimeEditor);
    EXPECT_EQ(SmagMsText(units, ","), "0,704");
    EXPECT_EQ(StepComp(SmagUnits("20", "."), true, false, SmagTimeEditor), 2500);
    EXPECT_EQ(SmagUnits("1,008", ","), 126);

    struct Case {
        int value;
        bool plus, shift;
        CompEditor editor;
        int result;
    };
    for (const Case c :
         {Case{98, true, false, PercentEditor, 99}, Case{99, true, true, PercentEditor, 100},
          Case{-95, false, true, PercentEditor, -100}, Case{127, true, false, TempEditor, 127},
          Case{-120, false, true, TempEditor, -127}, Case{3950, true, true, PressEditor, 4000},
          Case{5, false, false, PressEditor, 0}}) {
        EXPECT_EQ(StepComp(c.value, c.plus, c.shift, c.editor), c.result) << c.value;
    }
}

TEST(CompEditors, ShiftCountsAloneAndTheKeysAreThePlusAndMinusSix) {
    EXPECT_TRUE(ShiftAlone(Qt::ShiftModifier | Qt::KeypadModifier));
    EXPECT_FALSE(ShiftAlone(Qt::ShiftModifier | Qt::ControlModifier));
    EXPECT_FALSE(ShiftAlone(Qt::NoModifier));
    EXPECT_EQ(ClassifyStepKey(Qt::Key_Plus, Qt::KeypadModifier), KeyPadPlus);
    EXPECT_EQ(ClassifyStepKey(Qt::Key_Asterisk, Qt::ShiftModifier), KeyMainPlus);
    EXPECT_EQ(ClassifyStepKey(Qt::Key_Underscore, Qt::ShiftModifier), KeyMainMinus);
    EXPECT_EQ(ClassifyStepKey(Qt::Key_F8, {}), KeyF8);
    EXPECT_EQ(ClassifyStepKey(Qt::Key_5, {}), KeyNone);
    EXPECT_TRUE(IsPlusKey(KeyF9));
    EXPECT_FALSE(IsPlusKey(KeyMainMinus));
}

TEST(CompFills, PercentRowTruncatesTowardZero) {
    const auto fill = [](int first, int last) {
        std::array<int, CompPoints> row{};
        row.front() = first;
        row.back() = last;
        return PercentFill(row);
    };
    EXPECT_EQ(fill(-10, 18),
              (std::array<int, 15>{-10, -8, -6, -4, -2, 0, 2, 4, 6, 8, 10, 12, 14, 16, 18}));
    EXPECT_EQ(fill(0, -7),
              (std::array<int, 15>{0, 0, -1, -1, -2, -2, -3, -3, -4, -4, -5, -5, -6, -6, -7}));
    EXPECT_EQ(fill(5, 5), (std::array<int, 15>{5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5}));
}

TEST(CompFills, TimeRowStepsInWholeUnitsAndKeepsItsEnds) {
    const auto fill = [](double first, double last) {
        std::array<double, CompPoints> row{};
        row.fill(3.3);
        row.front() = first;
        row.back() = last;
        return TimeFill(row);
    };
    const auto a = fill(1, 8);
    EXPECT_DOUBLE_EQ(a[1], 1.496);
    EXPECT_DOUBLE_EQ(a[2], 1.992);
    EXPECT_DOUBLE_EQ(a[13], 7.448);
    EXPECT_DOUBLE_EQ(a[14], 8);
    EXPECT_DOUBLE_EQ(fill(0, 0.184)[13], 0.208); // the quantised step carries past the end
    EXPECT_DOUBLE_EQ(fill(2, 2)[7], 2);
    // Far outside the axis: computed in full and kept within 0..20 ms.
    const auto wide = fill(0, 600);
    EXPECT_DOUBLE_EQ(wide[1], 20);
    EXPECT_DOUBLE_EQ(wide[14], 600);
    EXPECT_DOUBLE_EQ(fill(-50, -10)[5], 0);
}

TEST(CompMarkers, SitOverTheFirstAxisValueNotBelowTheLiveOne) {
    std::array<std::optional<double>, CompPoints> axis;
    for (int c = 0; c < CompPoints; ++c) {
        axis[c] = 10.0 * (c + 1);
    }
    struct Case {
        double live;
        int column;
    };
    for (const Case c : {Case{25, 3}, Case{5, 1}, Case{200, 15}, Case{30, 3}, Case{150, 15}}) {
        EXPECT_EQ(AxisMarkerColumn(axis, c.live), c.column) << c.live;
    }
    EXPECT_EQ(AxisMarkerLeft(90, 3), 90 + 2 * 585 + 855);
    EXPECT_EQ(LeanMarkerLeft(90, 0), 90 + 855);
    EXPECT_EQ(LeanMarkerLeft(90, 14), 90 + 14 * 585 + 855);
    EXPECT_EQ(LeanMarkerLeft(90, 15), 90 + 15 * 585 + 855);
}

} // namespace
