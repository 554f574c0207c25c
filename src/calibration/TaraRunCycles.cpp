// The calibration run's correction cycles in supply mode 3 and the pauses between them:
// TaraMax at the raised rpm, TaraMin at the reference rpm, each cycle's correction of the
// model's offset and its line in TaraCorr.txt, and the check of the result at the end.

#include "calibration/TaraRun.h"

#include "app/ProgramContext.h"
#include "calibration/CalibrationPage.h"
#include "calibration/ModelingPage.h"
#include "calibration/NinePointModel.h"
#include "calibration/TaraRunShared.h"
#include "support/Conversions.h"
#include "support/FileWriter.h"

#include <algorithm>

namespace calibration {

using namespace tara_run;

void TaraRun::RunTaraCycle(Phase phase) {
    const ecudata::CalibrationParams& p = ctx_.TaraParams;
    const bool max = phase == Phase::Max;
    StepFrame(max ? "02" : "03");
    page_.SetMessage(ctx_.Texts.MsgTara[max ? 9 : 6] + CrLf + CrLf + ctx_.Texts.MsgTara[10]);
    if (ctx_.Images.Mem2Data.FuelState != SupplyGas) {
        SetSupplyMode(SupplyGas, true);
        page_.StepTaraProgress(ProgressStep);
        return;
    }
    // The sample is taken from the record itself: the page's averages may predate it.
    const ecudata::Mem1Rec& live = ctx_.Images.Mem1Data;
    const auto add = [&] {
        sums_.time += RecordPetrolTime(live, ctx_.Images.Mem3Data.Cilindri);
        sums_.rpm += live.Rpm;
        sums_.press += live.PressGas;
        sums_.temp += live.Temp;
    };
    const int n = max ? MaxCycleTicks(TaraCycle, p) : MinCycleTicks(TaraCycle, p);
    if (TaraTicks != n && !freshSample_) {
        return;
    }
    page_.StepTaraProgress(ProgressStep);
    if (TaraTicks == n) {
        sums_ = {};
        --TaraTicks;
        return;
    }
    add();
    if (TaraTicks >= 1) {
        --TaraTicks;
        return;
    }
    if (max && !SetSupplyMode(SupplyPetrol, true)) {
        return;
    }
    const int samples = std::max(n, 1);
    tara_.TaraCycTime = sums_.time / samples;
    TaraCycRpm = sums_.rpm / samples;
    if (!max) {
        tara_.TaraCycPress = sums_.press / samples;
        tara_.TaraCycTemp = sums_.temp / samples;
        TaraError = 0;
    }
    tara_.TaraCorr =
        max ? CalcCorrTaraMax(tara_.TaraCycTime, tara_.TaraMaxRefTime, TaraCycRpm, TaraMaxRefRpm, p)
            : CalcCorrTaraMin(tara_.TaraCycTime, tara_.TaraRefTime, p);
    ++TaraCycle;
    const double offsetBefore = ctx_.Images.ModPoints.Offset;
    Log(QStringLiteral("%1 Ciclo %2 ").arg(max ? "TaraMax" : "TaraMin").arg(TaraCycle),
        max ? tara_.TaraMaxRefTime : tara_.TaraRefTime, offsetBefore);
    if (tara_.TaraCorr == 0) {
        ++TaraZeroCount;
        if (!max && TaraCycle < 2) {
            TaraZeroCount = 0;
        }
    } else {
        if (!max) {
            TaraZeroCount = 0;
        }
        ApplyCorrection();
    }
    if (max) {
        if (TaraZeroCount < p.TaraPar08 && TaraCycle < p.TaraPar09) {
            Enter(TaraState::MaxPause);
            TaraTicks = MaxPauseTicks(TaraCycle, p);
        } else {
            Enter(TaraState::WaitRpmMin);
            TaraTicks = p.TaraPar16;
        }
        return;
    }
    if (TaraZeroCount < p.TaraPar19 && TaraCycle < p.TaraPar22) {
        Enter(TaraState::MinPause);
        TaraTicks = MinPauseTicks(TaraCycle, p);
        return;
    }
    CheckResult();
}

// The model rebuilt on the default points with the offset found and point 1 at the
// reference time, the injector type's rules, then the check of it and its table.
void TaraRun::CheckResult() {
    ecudata::ModRec& m = ctx_.Images.ModPoints;
    tara_.TaraFinalOffset = m.Offset;
    model_.DisponiMatriceModDefault();
    m.Offset = static_cast<float>(tara_.TaraFinalOffset);
    m.X[1] =
        static_cast<float>(support::RoundHalfEven(tara_.TaraRefTime / TaraCellMs) * TaraCellMs);
    m.dX[1] = 0;
    m.BaseX[1] = m.X[1];
    page_.ShowValue(8, tara_.TaraFinalOffset, 2);
    model_.ApplyModRules();
    TblCor trial{};
    TaraError = ApplyTaraResult(ctx_.Images.TblCorEdit, trial, m,
                                LimitsOf(ctx_.TaraParams, TaraLimLow, TaraLimHigh),
                                tara_.TaraRefTime, ctx_.Scale);
    RedrawModel();
    Enter(TaraError == 0 ? TaraState::Confirm : TaraState::Result);
}

void TaraRun::RunTaraPause(Phase phase) {
    const ecudata::CalibrationParams& p = ctx_.TaraParams;
    const bool max = phase == Phase::Max;
    StepFrame(max ? "02" : "03");
    page_.SetMessage(ctx_.Texts.MsgTara[max ? 9 : 6] + CrLf + CrLf + ctx_.Texts.MsgTara[7]);
    if (max && ctx_.Images.Mem2Data.FuelState != SupplyPetrol) {
        SetSupplyMode(SupplyPetrol, true);
    } else if (TaraTicks >= 1) {
        --TaraTicks;
    }
    page_.StepTaraProgress(ProgressStep);
    if (TaraTicks < 1) {
        Enter(max ? TaraState::MaxCycle : TaraState::MinCycle);
        TaraTicks = max ? MaxCycleTicks(TaraCycle, p) : MinCycleTicks(TaraCycle, p);
    }
}

void TaraRun::ApplyCorrection() {
    ecudata::ModRec& m = ctx_.Images.ModPoints;
    const float before = m.Offset;
    const float yMax = model_.Geometry().YMax();
    m.Offset = CorrectedOffset(m.Offset, tara_.TaraCorr, ctx_.TaraParams);
    LimitOffsetMod(m, yMax);
    SpacePointsMod(m, yMax);
    RedrawModel();
    if (m.Offset != before) {
        ctx_.Requests.ModWriteCountdown = 2.0;
        samples_.ModelWriteArmed();
    }
}

// The calibration never waits on its log: a file that cannot be opened is passed over.
void TaraRun::Log(const QString& title, double refTime, double offsetBefore) {
    const ecudata::Mem1Rec& live = ctx_.Images.Mem1Data;
    const QByteArray line = TaraCycleRecord(title, refTime, tara_.TaraCycTime, tara_.TaraCorr,
                                            offsetBefore, live.Temp, live.PressGas, ctx_.DecimalSep)
                                .toLatin1();
    const platform::AppendResult appended = log_.Append(LogPath(), line);
    if (!appended.stoppedWhy.isEmpty()) {
        support::TellLogStopped(LogPath(), appended.stoppedWhy, ctx_.Texts.AppTitle);
    }
}

} // namespace calibration
