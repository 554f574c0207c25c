#include "calibration/TaraMaths.h"
#include "calibration/NinePointModel.h"
#include "ecudata/ConfigScale.h"

#include <gtest/gtest.h>

namespace {

using namespace calibration;

TEST(TaraMaths, CorrectionOfACycle) {
    const CalibrationParams p;
    const struct {
        double time, refTime, rpm, refRpm;
        double want;
    } maxCases[] = {
        {3.50, 3.00, 2200, 2200, 0},      // inside the 20 % band
        {3.00, 2.50, 2200, 2200, 0},      // a bound (1.2 x 2.5) is inside
        {4.00, 3.00, 2200, 2200, 0.728},  // 0.75 / 0.104 = 7.2 quanta
        {2.00, 3.00, 2200, 2200, -0.728}, //
        {9.00, 3.00, 2200, 2200, 3.952},  // clamped to 4.0 before quantising
        {2.90, 3.00, 2700, 2200, 0.104},  // rpm out of band: positive whatever the time
    };
    for (const auto& c : maxCases) {
        EXPECT_DOUBLE_EQ(CalcCorrTaraMax(c.time, c.refTime, c.rpm, c.refRpm, p), c.want)
            << c.time << " " << c.rpm;
    }
    EXPECT_DOUBLE_EQ(CalcCorrTaraMin(3.09, 3.0, p), 0); // 3 % band, bound inside
    EXPECT_DOUBLE_EQ(CalcCorrTaraMin(3.312, 3.0, p), 0.208);
    EXPECT_DOUBLE_EQ(CalcCorrTaraMin(2.0, 3.0, p), -0.728);
    EXPECT_DOUBLE_EQ(CalcCorrTaraMin(9.0, 3.0, p), 1.976); // clamped to P23 = 2.0
}

TEST(TaraMaths, QuantaRoundHalfToEven) {
    EXPECT_DOUBLE_EQ(QuantiseCorrection(4.5 * TaraQuantum), 0.416);
    EXPECT_DOUBLE_EQ(QuantiseCorrection(5.5 * TaraQuantum), 0.624);
    EXPECT_DOUBLE_EQ(QuantiseCorrection(4.0), 3.952);
}

TEST(TaraMaths, OffsetAfterACorrectionStaysInsideItsLimits) {
    const CalibrationParams p; // D13 0, P24 5
    EXPECT_FLOAT_EQ(CorrectedOffset(0.5f, 0.728, p), 1.228f);
    EXPECT_FLOAT_EQ(CorrectedOffset(0.5f, -0.728, p), 0.0f);
    EXPECT_FLOAT_EQ(CorrectedOffset(4.5f, 0.728, p), 5.0f);
}

TEST(TaraMaths, ResultCodes) {
    const CalibrationParams p;
    ecudata::ConfigScale scale;
    scale.K_Time_Inj_us = 0.008;
    struct Case {
        const char* what;
        float alfa, offset;
        double timeLow, timeHigh;
        int code;
        float wantAlfa, wantOffset;
    };
    const Case cases[] = {
        {"inside", 1.0f, 1.04f, 2, 16, 0, 1.0f, 1.04f},
        {"offset at its maximum", 1.0f, 5.0f, 2, 16, 2, 1.0f, 5.0f},
        {"slope at its minimum", 0.75f, 1.0f, 2, 16, 3, 0.75f, 1.0f},
        {"slope above its maximum", 1.3f, 1.0f, 2, 16, 4, 1.25f, 1.0f},
        {"offset first", 1.3f, 6.0f, 2, 16, 2, 1.3f, 5.0f},
        // A gas time the injector cannot reach: a cell below its lower bound.
        {"below the time limit", 1.0f, 0.5f, 12, 40, 5, 1.0f, 0.5f},
        {"above the time limit", 1.0f, 4.5f, 0, 4, 6, 1.0f, 4.5f},
    };
    for (const Case& c : cases) {
        ModRec m;
        DisponiMatriceModDefault(m);
        m.Alfa = c.alfa;
        m.Offset = c.offset;
        TblCor source{};
        TblCor trial{};
        EXPECT_EQ(ApplyTaraResult(source, trial, m, LimitsOf(p, c.timeLow, c.timeHigh), 3.0, scale),
                  c.code)
            << c.what;
        EXPECT_FLOAT_EQ(m.Alfa, c.wantAlfa) << c.what;
        EXPECT_FLOAT_EQ(m.Offset, c.wantOffset) << c.what;
    }
}

TEST(TaraMaths, ResultCheckPassesOverCellsAtOrBelowTheReferenceAndTheLastEight) {
    const CalibrationParams p;
    ecudata::ConfigScale scale;
    scale.K_Time_Inj_us = 0.008;
    ModRec m;
    DisponiMatriceModDefault(m);
    m.Offset = 1.0f;
    TblCor source{};
    TblCor trial{};
    // The upper limit only reached by cells below 3.2 ms: they lie at or below the
    // reference time, so no code.
    EXPECT_EQ(ApplyTaraResult(source, trial, m, LimitsOf(p, -100, 100), 23.5, scale), 0);
}

TEST(TaraMaths, CycleCountsPausesAndTheNotReadyCountdown) {
    const CalibrationParams p;
    EXPECT_EQ(MaxCycleTicks(0, p), 4);
    EXPECT_EQ(MaxCycleTicks(1, p), 6);
    EXPECT_EQ(MaxCycleTicks(5, p), 10);
    EXPECT_EQ(MinCycleTicks(0, p), 6);
    EXPECT_EQ(MinCycleTicks(1, p), 4);
    EXPECT_EQ(MinCycleTicks(2, p), 10);
    EXPECT_EQ(MaxPauseTicks(1, p), 8);
    EXPECT_EQ(MaxPauseTicks(2, p), 10);
    EXPECT_EQ(MinPauseTicks(1, p), 4);
    EXPECT_EQ(MinPauseTicks(3, p), 6);

    int count = 0;
    int calls = 0;
    while (!CountNotReady(count)) {
        ++calls;
        ASSERT_LT(calls, 20);
    }
    EXPECT_EQ(calls + 1, 10); // the tenth call ends it
    EXPECT_EQ(count, 0);
}

TEST(TaraMaths, Readiness) {
    TaraReadiness r{TaraState::Settle, 2200, 0, 1, true};
    EXPECT_TRUE(TaraReady(r));
    for (auto breakIt : std::initializer_list<void (*)(TaraReadiness&)>{
             [](TaraReadiness& x) { x.rpm = 9.9; }, [](TaraReadiness& x) { x.notReadyCount = 3; },
             [](TaraReadiness& x) { x.statusKey = 0; },
             [](TaraReadiness& x) { x.ecuSlave = false; },
             [](TaraReadiness& x) { x.liveRead = false; },
             [](TaraReadiness& x) { x.linkRunning = false; }}) {
        TaraReadiness broken = r;
        breakIt(broken);
        EXPECT_FALSE(TaraReady(broken));
        broken.state = TaraState::Abort;
        EXPECT_TRUE(TaraReady(broken));
    }
    TaraReadiness starting{TaraState::Start, 2200, 0, 1, false};
    EXPECT_TRUE(TaraReady(starting)); // the start needs no slave mode yet
}

// A lost link is told as such, whatever the last values read say; a read unanswered on a
// link that is up (another exchange held the line) is no lost link, and old values judge
// nothing; a countdown whose cause has gone keeps telling that cause.
TEST(TaraMaths, WhyNotReady) {
    using W = TaraNotReady;
    using S = TaraState;
    const struct {
        TaraReadiness r;
        W why;
    } cases[] = {
        {{S::Settle, 2200, 0, 1, true, false, true}, W::NoRecord},
        {{S::Settle, 0, 0, 0, true, false, true}, W::NoRecord},
        {{S::Settle, 2200, 0, 1, true, true, false}, W::LinkLost},
        {{S::Settle, 0, 0, 0, true, false, false}, W::LinkLost},
        {{S::Settle, 0, 0, 0, true}, W::KeyOff},
        {{S::Settle, 0, 0, 1, true}, W::EngineStopped},
        {{S::Start, 0, 0, 1, false}, W::EngineStopped},
        {{S::Settle, 2200, 0, 1, false}, W::NotSlave},
        {{S::Settle, 2200, 5, 1, true}, W::Counting},
        {{S::Start, 2200, 5, 1, false}, W::Counting},
        // Before zone 3 is read the rpm has no scale: neither running nor stopped.
        {{S::Start, 0, 0, 1, false, true, true, false}, W::RpmUnknown},
        {{S::Settle, 0, 5, 1, true, true, true, false}, W::RpmUnknown},
        {{S::Settle, 0, 0, 0, true, true, true, false}, W::KeyOff},
        {{S::Settle, 0, 0, 1, true, true, false, false}, W::LinkLost},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TaraNotReadyWhy(c.r), c.why) << static_cast<int>(c.r.state) << " " << c.r.rpm;
    }
}

// Ticks in order, each with its live read answered or not and the supply mode zone 2
// reports after it: a sample is a record answered after the mode was reported and after
// the last model write was read back.
TEST(TaraMaths, SampleGateTakesOnlyRecordsAfterTheModeAndTheModelWrite) {
    const struct {
        const char* what;
        bool armed; // a model write armed before the tick
        bool writeDue;
        bool answered;
        int mode;
        bool sample;
    } ticks[] = {
        {"the first mode seen may postdate the record", false, false, true, 0, false},
        {"a record after it", false, false, true, 0, true},
        {"gas reported after this tick's record", false, false, true, 3, false},
        {"the first record after gas", false, false, true, 3, true},
        {"unanswered: the last record is no sample", false, false, false, 3, false},
        {"a model write armed: reads wait while it is due", true, true, false, 3, false},
        {"a record answered while it is due", false, true, true, 3, false},
        {"read back before this tick's read", false, false, true, 3, true},
        {"back to petrol", false, false, true, 0, false},
        {"gas again", false, false, true, 3, false},
        {"then a record", false, false, true, 3, true},
    };
    TaraSampleGate gate;
    quint32 live = 7;
    for (const auto& t : ticks) {
        if (t.armed) {
            gate.ModelWriteArmed();
        }
        gate.BeforeReads(t.writeDue, live);
        live += t.answered ? 1 : 0;
        gate.AfterReads(t.mode, live);
        EXPECT_EQ(gate.Sample(t.answered, live), t.sample) << t.what;
    }
}

TEST(TaraMaths, RecordPetrolTimeIsTheMeanOverTheInjectors) {
    ecudata::Mem1Rec live;
    live.StatusKey = 1;
    live.TInjBenz = {3.0, 3.2, 3.4, 3.6, 9, 9, 9, 9};
    EXPECT_DOUBLE_EQ(RecordPetrolTime(live, 4), 3.3);
    EXPECT_DOUBLE_EQ(RecordPetrolTime(live, 12), (13.2 + 36) / 8);
    EXPECT_EQ(RecordPetrolTime(live, 0), 0);
    live.StatusKey = 0;
    EXPECT_EQ(RecordPetrolTime(live, 4), 0);
}

TEST(TaraMaths, LogRecords) {
    EXPECT_EQ(TaraCycleRecord("TaraMax Ciclo 1 ", 1.5, 1.75, 0.208, 0, 61, 1.1, "."),
              "\"TaraMax Ciclo 1  TInjRef 1.5 TInjMed 1.75 TCorr 0.208 Offset 0 TempVap 61 "
              "PressVap 1.1\"\r\n");
    EXPECT_EQ(TaraCycleRecord("T ", 2.99555, 0, -0.208, 0, 0, 0, ","),
              "\"T  TInjRef 2,9956 TInjMed 0 TCorr -0,208 Offset 0 TempVap 0 PressVap 0\"\r\n");
    EXPECT_EQ(TaraEndRecord("E", 1, 2, 3, 4, 1, 0.5, "."),
              "\"E X1 1 Y1 2 X2 3 Y2 4 ALFA 1 OFFSET 0.5\"\r\n\"" + QString(60, '-') + "\"\r\n");
}

TEST(TaraMaths, UnsafeParametersAreRefused) {
    CalibrationParams p;
    p.TaraPar03 = 1;
    p.TaraPar17 = 0;
    p.TaraPar04 = 0; // a wait count of 0 divides nothing
    EXPECT_EQ(RefuseUnsafeTaraParams(p), (QStringList{"P3", "P17"}));
    EXPECT_EQ(p.TaraPar03, 8);
    EXPECT_EQ(p.TaraPar17, 10);
    EXPECT_EQ(p.TaraPar04, 0);
}

TEST(TaraMaths, LineOfTheLoadStep) {
    const CalibrationParams p;
    ModRec m;
    EXPECT_EQ(CalcModLine(2, 2.5, 10, 10.5, m, LimitsOf(p, 0, 0)), 0);
    EXPECT_FLOAT_EQ(m.Alfa, 1.0f);
    EXPECT_FLOAT_EQ(m.Offset, 0.52f);                            // 0.5 in whole quanta
    EXPECT_EQ(CalcModLine(2, 2, 2, 9, m, LimitsOf(p, 0, 0)), 1); // one X: slope 1, offset 0
}

} // namespace
