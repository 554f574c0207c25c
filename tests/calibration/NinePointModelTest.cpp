#include "calibration/NinePointModel.h"
#include "calibration/HoldRepeat.h"
#include "common/FakeTime.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using namespace calibration;

constexpr float YMax = 31.0f;

ModRec Default() {
    ModRec m;
    DisponiMatriceModDefault(m);
    CalcModPoints(m);
    return m;
}

TEST(NinePointModel, DefaultModelLiesOnTheLineGasEqualsPetrol) {
    const ModRec m = Default();
    EXPECT_EQ(m.Alfa, 1.0f);
    EXPECT_EQ(m.Offset, 0.0f);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(m.X[i], BaseXDefault[i]);
        EXPECT_EQ(m.Y[i], m.X[i]);
    }
}

TEST(NinePointModel, CalcModPointsLeavesPointEight) {
    ModRec m = Default();
    m.dX[8] = 5;
    m.dY[8] = 5;
    m.Offset = 1;
    CalcModPoints(m);
    EXPECT_EQ(m.X[8], 23.296f);
    EXPECT_EQ(m.Y[8], 23.296f);
    EXPECT_FLOAT_EQ(m.Y[7], 21.096f);
}

TEST(NinePointModel, SpacingPushesTheNeighbourAndBacksOff) {
    // The step that brings point 2 from 8.832 to 8.96 ms comes within 0.256 ms of point 3
    // at 9.088 ms.
    ModRec m = Default();
    for (int i = 0; i < 14; ++i) {
        ASSERT_TRUE(StepModel(m, StepButton::Left, 2, YMax));
    }
    EXPECT_FLOAT_EQ(m.X[2], 8.832f);
    EXPECT_FLOAT_EQ(m.X[3], 9.088f);
    ASSERT_TRUE(StepModel(m, StepButton::Left, 2, YMax));
    EXPECT_FLOAT_EQ(m.X[2], 8.832f);
    EXPECT_FLOAT_EQ(m.X[3], 9.216f);
}

TEST(NinePointModel, SpacingGivesUpAfter101Passes) {
    ModRec m = Default();
    m.dY[4] = 100; // pulled back 0.104 ms a pass: never inside in time
    EXPECT_EQ(SpacePointsMod(m, YMax), 101);
    CalcModPoints(m);
    EXPECT_NEAR(m.dY[4], 100 - 101 * 0.104, 1e-3);
    // A point below 0 comes up by 0.104 ms steps.
    ModRec low = Default();
    low.dY[1] = -3.7f;
    SpacePointsMod(low, YMax);
    CalcModPoints(low);
    EXPECT_GE(low.Y[1], 0);
    EXPECT_LT(low.Y[1], 0.104f);
}

TEST(NinePointModel, StepButtonsAndTheirLimits) {
    struct Case {
        const char* what;
        StepButton button;
        int point;
        float alfa, offset;
        bool steps;
        float wantAlfa, wantOffset, wantDx, wantDy;
    };
    const Case cases[] = {
        {"up on point 3", StepButton::Up, 3, 1, 0, true, 1, 0, 0, 0.104f},
        {"down on point 7", StepButton::Down, 7, 1, 0, true, 1, 0, 0, -0.104f},
        {"left on point 6", StepButton::Left, 6, 1, 0, true, 1, 0, 0.128f, 0},
        {"right on point 1", StepButton::Right, 1, 1, 0, true, 1, 0, -0.128f, 0},
        {"left on point 7", StepButton::Left, 7, 1, 0, false, 1, 0, 0, 0},
        {"up on point 0", StepButton::Up, 0, 1, 0, false, 1, 0, 0, 0},
        {"up with no point", StepButton::Up, -1, 1, 0, false, 1, 0, 0, 0},
        {"offset down near 0", StepButton::OffsetDown, -1, 1, 0.05f, true, 1, 0, 0, 0},
        {"offset down", StepButton::OffsetDown, -1, 1, 0.5f, true, 1, 0.396f, 0, 0},
        {"offset up", StepButton::OffsetUp, -1, 1, 0, true, 1, 0.104f, 0, 0},
        // 1.5 x 20.096 + 0.9 = 31.04 > 31: the step is taken back.
        {"offset up at the top", StepButton::OffsetUp, -1, 1.5f, 0.8f, true, 1.5f, 0.8f, 0, 0},
        {"offset up at the maximum", StepButton::OffsetUp, -1, 0, 31, false, 0, 31, 0, 0},
        {"alfa up", StepButton::AlfaUp, -1, 1, 0, true, 1.01f, 0, 0, 0},
        {"alfa up above 1.99", StepButton::AlfaUp, -1, 1.995f, 0, false, 1.995f, 0, 0, 0},
        {"alfa down below 0.01", StepButton::AlfaDown, -1, 0.005f, 0, false, 0.005f, 0, 0, 0},
        // 1.54 x 20.096 + 0.1 = 31.05: the line's end would leave the chart.
        {"alfa up at the top", StepButton::AlfaUp, -1, 1.53f, 0.1f, true, 1.53f, 0.1f, 0, 0},
    };
    for (const Case& c : cases) {
        ModRec m = Default();
        m.Alfa = c.alfa;
        m.Offset = c.offset;
        const int p = c.point < 0 ? 3 : c.point;
        EXPECT_EQ(StepModel(m, c.button, c.point, YMax), c.steps) << c.what;
        EXPECT_FLOAT_EQ(m.Alfa, c.wantAlfa) << c.what;
        EXPECT_FLOAT_EQ(m.Offset, c.wantOffset) << c.what;
        EXPECT_FLOAT_EQ(m.dX[p], c.wantDx) << c.what;
        EXPECT_FLOAT_EQ(m.dY[p], c.wantDy) << c.what;
    }
}

TEST(NinePointModel, HeldAlfaStopsAtItsLimitEvenWhileHeld) {
    ModRec m = Default();
    int steps = 0;
    while (StepModel(m, StepButton::AlfaDown, -1, YMax) && steps < 1000) {
        ++steps;
    }
    EXPECT_LT(m.Alfa, 0.01f);
    EXPECT_EQ(steps, 100);
}

TEST(NinePointModel, LimitColourBlinksOnlyOutside) {
    struct Case {
        float value;
        bool threeD;
        quint32 current, want;
    };
    const Case cases[] = {
        {1.25f, false, White, White},    // at the maximum: inside
        {1.25f, true, Red, Yellow},      // inside: back to the normal colour
        {0.75f, false, White, White},    // at the minimum
        {1.26f, false, White, Red},      // above: red ...
        {1.26f, false, Red, White},      // ... and back at the next call
        {1.26f, true, Yellow, Red},      //
        {0.74f, true, Red, Yellow},      //
        {1.26f, true, 0x123456, Yellow}, // any other colour gives the normal one
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LimitBlinkColor(c.value, 0.75, 1.25, c.threeD, c.current), c.want)
            << c.value << " " << c.current;
    }
}

TEST(NinePointModel, RuleTexts) {
    // Each case from the model on the line gas = petrol + 0.5 ms.
    struct Case {
        const char* what;
        const char* rules;
        float offset;                // expected Offset afterwards
        std::vector<float> yShift;   // expected Y(i) - (X(i) + offset) for points 0..7
        std::vector<float> xShift{}; // expected dX, when given
    };
    const std::vector<float> none(8, 0);
    const Case cases[] = {
        {"empty", "", 0.5f, none},
        {"point 1 moves the line", "P1|+0|+100", 0.4f, {0, 0.1f, 0, 0, 0, 0, 0, 0}},
        {"value 0 does nothing", "P3|+0|*0", 0.5f, none},
        {"point 8 does nothing", "P8|+500|+500", 0.5f, none},
        {"range 7 is read, not applied", "P4|+0|+50;R7|2|6", 0.5f, {0, 0, 0, 0, 0.05f, 0, 0, 0}},
        {"two fields end the reading",
         "P3|+0|+100;P4|+0;P5|+0|+100",
         0.5f,
         {0, 0, 0, 0.1f, 0, 0, 0, 0}},
        {"four fields end the reading",
         "P3|+0|+100;P4|+0|+1|2;P5|+0|+100",
         0.5f,
         {0, 0, 0, 0.1f, 0, 0, 0, 0}},
        {"an empty item ends the reading",
         "P3|+0|+100;;P5|+0|+100",
         0.5f,
         {0, 0, 0, 0.1f, 0, 0, 0, 0}},
        {"unknown tag is passed over", "Q3|+0|+100;P5|+0|+100", 0.5f, {0, 0, 0, 0, 0, 0.1f, 0, 0}},
        {"a point as decimal mark reads 0", "P3|+0|+12.5", 0.5f, none},
        {"12,5 is 12.5 us", "P3|+0|+12,5", 0.5f, {0, 0, 0, 0.0125f, 0, 0, 0, 0}},
        {"bad point number",
         "Px|+0|+100;P9|+0|+100;P5|+0|-100",
         0.5f,
         {0, 0, 0, 0, 0, -0.1f, 0, 0}},
        {"a later item replaces", "P3|+0|+100;P3|+0|+200", 0.5f, {0, 0, 0, 0.2f, 0, 0, 0, 0}},
        {"set and multiply",
         "P2|+0|#9000;P3|+0|*1020",
         0.5f,
         {0, 0, 9.0f - 7.54f, (9.588f * 1.02f) - 9.588f, 0, 0, 0, 0}},
        {"x rule", "P4|+256|+0", 0.5f, none, {0, 0, 0, 0, 0.256f, 0, 0, 0}},
        {"operator must be first", "P3|+0| +100", 0.5f, none},
        // Ranges with no inner point or swapped ends are passed over.
        {"range without inner points", "P4|+0|+100;R0|4|5", 0.5f, {0, 0, 0, 0, 0.1f, 0, 0, 0}},
        {"range with its ends swapped", "P4|+0|+100;R0|6|2", 0.5f, {0, 0, 0, 0, 0.1f, 0, 0, 0}},
        {"range of a point past 8", "P4|+0|+100;R0|2|9", 0.5f, {0, 0, 0, 0, 0.1f, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        ModRec m = Default();
        m.Offset = 0.5f;
        CalcModPoints(m);
        double finalOffset = 0.5;
        ApplyModRules(m, c.rules, finalOffset, YMax);
        EXPECT_FLOAT_EQ(m.Offset, c.offset) << c.what;
        for (int i = 0; i < 8; ++i) {
            EXPECT_NEAR(m.Y[i] - (m.X[i] + m.Offset), c.yShift[i], 1e-5) << c.what << " P" << i;
            if (!c.xShift.empty()) {
                EXPECT_NEAR(m.dX[i], c.xShift[i], 1e-6) << c.what << " P" << i;
            }
        }
    }
}

TEST(NinePointModel, RangePutsInnerPointsOnTheLineAndKeepsTheirOwnRule) {
    ModRec m = Default();
    m.dY[3] = 0.7f;
    m.dY[4] = -0.4f;
    m.dY[5] = 0.3f;
    m.dY[6] = 0.6f; // end point 6 is off the line
    CalcModPoints(m);
    double finalOffset = 0;
    ApplyModRules(m, "R0|2|6;P4|+0|+50", finalOffset, YMax);
    const auto onLine = [&](int j) {
        return m.Y[2] + (m.Y[6] - m.Y[2]) / (m.X[6] - m.X[2]) * (m.X[j] - m.X[2]);
    };
    EXPECT_NEAR(m.Y[3], onLine(3), 1e-5);
    EXPECT_NEAR(m.Y[4], onLine(4) + 0.05, 1e-5);
    EXPECT_NEAR(m.Y[5], onLine(5), 1e-5);
    EXPECT_FLOAT_EQ(m.dY[6], 0.6f);
}

TEST(NinePointModel, RangeWithEndsAtOnePetrolTimeIsSkipped) {
    ModRec m = Default();
    m.BaseX[5] = m.BaseX[2]; // both ends at 7.04 ms
    m.dY[3] = 0.3f;
    CalcModPoints(m);
    double finalOffset = 0;
    ApplyModRules(m, "R0|2|5", finalOffset, YMax);
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(std::isfinite(m.dY[i])) << i;
    }
}

TEST(NinePointModel, NegativeOffsetIsFlooredByAnyRuleCall) {
    ModRec m = Default();
    m.Offset = -0.3f;
    double finalOffset = -1;
    ApplyModRules(m, "", finalOffset, YMax);
    EXPECT_EQ(m.Offset, 0);
    EXPECT_EQ(finalOffset, 0);
}

TEST(HoldRepeat, CadenceOnTheClock) {
    testing_support::FakeTime time;
    HoldRepeat repeat;
    repeat.Press(time.NowUsec());
    std::vector<double> waits;
    double last = time.NowUsec();
    while (waits.size() < 19) {
        time.Advance(100); // polled every 0.1 ms
        if (repeat.TakeDue(time.NowUsec())) {
            waits.push_back((time.NowUsec() - last) / 1e6);
            last = time.NowUsec();
        }
    }
    EXPECT_NEAR(waits[0], 0.2, 2e-4);
    EXPECT_NEAR(waits[1], 0.1667, 2e-4);
    EXPECT_NEAR(waits[2], 0.1389, 2e-4);
    EXPECT_NEAR(waits[15], 0.01298, 2e-4);
    EXPECT_NEAR(waits[16], 0.01082, 2e-4);
    EXPECT_NEAR(waits[18], 0.01082, 2e-4);
    repeat.Release();
    time.Advance(1e6);
    EXPECT_FALSE(repeat.TakeDue(time.NowUsec()));
}

} // namespace
