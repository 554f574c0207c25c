// The calibration run's reference in supply mode 0: the wait for a warm reducer (which
// resets the model), the settling, the samples at idle and at the raised rpm, and the
// rpm waits.

#include "calibration/TaraRun.h"

#include "app/ProgramContext.h"
#include "calibration/CalibrationPage.h"
#include "calibration/ModelingPage.h"
#include "calibration/TaraRunShared.h"
#include "support/Clock.h"

#include <QCoreApplication>
#include <algorithm>

namespace calibration {

using namespace tara_run;

void TaraRun::RunTaraWaitTemp() {
    StepFrame("00");
    const QString& sep = ctx_.DecimalSep;
    const double temp = ctx_.Images.Mem1Data.Temp;
    const int limit = ctx_.TaraParams.TaraPar01;
    if (temp <= limit) {
        page_.SetMessage(ctx_.Texts.MsgTara[5] + CrLf + " " + Fixed(temp, 0, 2, sep) + " < " +
                         Fixed(limit, 0, 2, sep));
        page_.Blink(CalibrationPage::LiveBox::TmpVap);
        page_.ResetTaraProgress();
        return;
    }
    page_.SetMessage(ctx_.Texts.MsgTara[4]);
    model_.DisponiMatriceModDefault();
    model_.DrawRefLineMod();
    RedrawModel();
    model_.DeselezionaPuntiMod();
    ctx_.Requests.ModWriteCountdown = 2.0;
    samples_.ModelWriteArmed();
    for (int i = 0; i < 10; ++i) {
        QCoreApplication::processEvents();
        support::PauseUsec(20000);
    }
    if (ctx_.Images.Mem2Data.FuelState != SupplyPetrol && !SetSupplyMode(SupplyPetrol, false)) {
        return;
    }
    support::PauseUsec(500000);
    ctx_.Images.ModPoints.Offset = 0;
    tara_.TaraCycTime = tara_.TaraCorr = tara_.TaraMaxRefTime = tara_.TaraRefTime = 0;
    tara_.TaraLoadTime = 0;
    Enter(TaraState::Settle);
    TaraTicks = ctx_.TaraParams.TaraPar02;
    page_.SetBoxColours(CalibrationPage::LiveBox::TmpVap, 0x000000, 0x00FFFF);
    page_.ResetTaraProgress();
}

void TaraRun::RunTaraSettle() {
    StepFrame("01");
    const int settle = ctx_.TaraParams.TaraPar02;
    page_.SetMessage(ctx_.Texts.MsgTara[6] + CrLf + CrLf + ctx_.Texts.MsgTara[7] +
                     QString::number(static_cast<int>(TaraTicks / TicksPerSecond)));
    if (TaraTicks == settle || TaraTicks >= 1) {
        --TaraTicks;
    }
    page_.ResetTaraProgress();
    if (TaraTicks < 1) {
        Enter(TaraState::SampleRef);
        TaraTicks = ctx_.TaraParams.TaraPar03;
    }
}

double TaraRun::LiveTime() const {
    const auto& h = ctx_.InjTimes.TInjHist1;
    return (h[0] + h[1] + h[2] + h[3]) / 4;
}

void TaraRun::RunTaraSampleRef(bool raised) {
    const ecudata::CalibrationParams& p = ctx_.TaraParams;
    StepFrame(raised ? "02" : "01");
    page_.SetMessage(ctx_.Texts.MsgTara[raised ? 9 : 6] + CrLf + CrLf + ctx_.Texts.MsgTara[8]);
    const int n = raised ? p.TaraPar05 : p.TaraPar03;
    if (TaraTicks == n) {
        sums_ = {};
        --TaraTicks;
        page_.RestartTaraProgress();
        return;
    }
    if (TaraTicks >= 1) {
        sums_.time += LiveTime();
        sums_.rpm += ctx_.Images.Mem1Data.Rpm;
        --TaraTicks;
        page_.StepTaraProgress(ProgressStep);
        return;
    }
    const int samples = std::max(n - 1, 1);
    if (raised) {
        tara_.TaraMaxRefTime = sums_.time / samples;
        TaraMaxRefRpm = sums_.rpm / samples;
        Enter(TaraState::MaxCycle);
        TaraCycle = TaraZeroCount = 0;
        TaraTicks = MaxCycleTicks(0, p);
    } else {
        tara_.TaraRefTime = sums_.time / samples;
        TaraRefRpm = sums_.rpm / samples;
        Enter(TaraState::WaitRpm);
        TaraTicks = p.TaraPar04;
        page_.AnimateTaraProgress();
    }
}

void TaraRun::RunTaraWaitRpm(bool reference) {
    const ecudata::CalibrationParams& p = ctx_.TaraParams;
    const QString& sep = ctx_.DecimalSep;
    StepFrame(reference ? "03" : "02");
    QString text = reference ? ctx_.Texts.MsgTara[6] + CrLf + CrLf + ctx_.Texts.MsgTara[7] +
                                   QString::number(static_cast<int>(TaraTicks / TicksPerSecond))
                             : ctx_.Texts.MsgTara[9] + CrLf + CrLf + ctx_.Texts.MsgTara[7];
    if (reference && ctx_.Images.Mem2Data.FuelState != SupplyPetrol) {
        SetSupplyMode(SupplyPetrol, true);
    }
    const int n = reference ? p.TaraPar16 : p.TaraPar04;
    const double limit =
        reference ? (1 - p.TaraPar15) * TaraRefRpm : (1 - p.TaraPar11) * p.TaraPar10;
    const double rpm = ctx_.Images.Mem1Data.Rpm;
    if (TaraTicks == n) {
        --TaraTicks;
        if (!reference) {
            tara_.TaraMaxRefTime = 0;
        }
    } else if (TaraTicks >= 1) {
        if (rpm > limit) {
            --TaraTicks;
            page_.SetBoxColours(CalibrationPage::LiveBox::Rpm, 0x00FFFF, 0x000000);
        } else {
            if (!reference || rpm < limit) {
                text += CrLf + CrLf + Fixed(rpm, 0, 4, sep) + " < " + Fixed(limit, 0, 4, sep);
            }
            page_.Blink(CalibrationPage::LiveBox::Rpm);
        }
        page_.ResetTaraProgress();
    }
    page_.SetMessage(text);
    if (TaraTicks < 1) {
        page_.SetBoxColours(CalibrationPage::LiveBox::Rpm, 0x00FFFF, 0x000000);
        if (reference) {
            page_.RestartTaraProgress();
            Enter(TaraState::MinCycle);
            TaraCycle = TaraZeroCount = 0;
            TaraTicks = MinCycleTicks(0, p);
        } else {
            Enter(TaraState::SampleMax);
            TaraTicks = p.TaraPar05;
        }
    }
}

} // namespace calibration
