// The calibration tick: its 250 ms pace around the link's own steps, the live reads,
// the readiness test, the dispatch to the state procedures and the developer read-outs.

#include "calibration/TaraRun.h"

#include "app/FrmLX735.h"
#include "app/LinkStepGate.h"
#include "app/ProgramContext.h"
#include "calibration/CalibrationPage.h"
#include "calibration/TaraRunShared.h"
#include "ecudata/ZoneExchange.h"
#include "link/Frames.h"
#include "support/Clock.h"
#include "support/Lingue.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace calibration {

namespace {

constexpr double TickUsec = 1e6 / TicksPerSecond;
// A tick held back by a link step looks again this soon.
constexpr double RetryUsec = 1000;

// Our texts: the dictionary's section in the current language, these where it has none.
const QString RunSection = QStringLiteral("[CalibrationRun]");
const QStringList RunTexts = {
    QStringLiteral("The link to the ECU was lost"),
    QStringLiteral("The result is kept: Start and Cancel act once the ECU answers again.")};
enum RunText { LinkLost, ResultKept };

} // namespace

// ---- The pace

void TaraRun::StartTicks() {
    dueUsec_ = support::GetTimeUsec() + TickUsec;
    Arm(dueUsec_);
}

void TaraRun::Arm(double atUsec) {
    const double now = support::GetTimeUsec();
    wakeUsec_ = std::max(atUsec, now);
    window_.Timer3().start(static_cast<int>(std::ceil((wakeUsec_ - now) / 1000)));
}

void TaraRun::Timer3_Timer() {
    // The tick under way sets the next one going when it ends.
    if (busy_) {
        return;
    }
    // A result being stored owns the state until the store has ended.
    if (storing_) {
        Arm(support::GetTimeUsec() + TickUsec);
        return;
    }
    // Inside a tick's or a link step's wait the link cannot move until that returns: the
    // tick waits for it.
    if (!app::LinkStepGate(ctx_).Open()) {
        Arm(support::GetTimeUsec() + RetryUsec);
        return;
    }
    busy_ = true;
    Arm(dueUsec_ + TickUsec);
    Tick();
    busy_ = false;
    if (window_.Timer3().isActive()) {
        dueUsec_ = std::max(dueUsec_ + TickUsec, support::GetTimeUsec());
        Arm(dueUsec_);
    }
}

bool TaraRun::Ticking() const {
    return window_.Timer3().isActive();
}

// ---- One tick

void TaraRun::Tick() {
    const bool modelWriteDue = ctx_.Requests.ModWriteCountdown > 0;
    // A reference: it counts on as the reads are answered.
    const quint32& liveReplies = ctx_.Images.AcceptedReplies[comm::CMD_READ_MEM1];
    samples_.BeforeReads(modelWriteDue, liveReplies);
    // The live rpm takes its scale from zone 3: a record parsed before zone 3 is held (read
    // or loaded from a file) reads 0 whatever the engine does (a Start pressed right after
    // connecting).
    const bool rpmScaled = ctx_.Images.Blocks.Read(ecudata::EditBlock::Mem3);
    const bool reading = !modelWriteDue && !ctx_.ParamFileSending;
    const bool liveRead = reading && RequestMem(comm::CMD_READ_MEM1);
    if (reading) {
        RequestMem(comm::CMD_READ_MEM2);
    }
    samples_.AfterReads(ctx_.Images.Mem2Data.FuelState, liveReplies);
    freshSample_ = samples_.Sample(liveRead, liveReplies);
    // Reads held back for a write judge the engine by the values last read.
    const std::optional<TaraNotReady> notReady =
        TaraNotReadyWhy(Readiness(!reading || liveRead, rpmScaled));
    if (TaraAbortFlag != 0 || !notReady) {
        RunState();
    } else if (*notReady == TaraNotReady::LinkLost && HoldsResult()) {
        ShowResultKept();
    } else if (*notReady != TaraNotReady::NoRecord && *notReady != TaraNotReady::RpmUnknown) {
        RunTaraNotReady(*notReady);
    }
    if (abortRequested_) {
        if (State() == TaraState::Idle) {
            abortRequested_ = false;
        } else if (State() != TaraState::Abort) {
            EnterAbort();
        }
    }
    if (ctx_.DeveloperView) {
        ShowReadouts();
    }
}

// A link that holds no port (restarting, searching, stopped) could only wait to fail: the
// read fails at once. The configured reply wait comes back after the tries.
bool TaraRun::RequestMem(quint8 command) {
    comm::ClsComm& link = ctx_.Comm();
    if (!comm::HoldsPort(link.ComState())) {
        return false;
    }
    link.AttesaGlobale_usec(1e6);
    bool ok = false;
    for (int attempt = 0; attempt < 3 && !ok; ++attempt) {
        ok = ecudata::SendParsedRead(link, command, ctx_.Images);
    }
    link.AttesaGlobale_usec_Default();
    return ok;
}

TaraReadiness TaraRun::Readiness(bool liveRead, bool rpmScaled) const {
    const ecudata::EcuImages& img = ctx_.Images;
    return {State(),
            img.Mem1Data.Rpm,
            TaraNotReadyCount,
            img.Mem1Data.StatusKey,
            img.Mem2Data.EcuRunState == 1,
            liveRead,
            LinkUp(),
            rpmScaled};
}

bool TaraRun::LinkUp() const {
    return comm::HoldsPort(ctx_.Comm().ComState());
}

void TaraRun::RunState() {
    switch (State()) {
    case TaraState::Idle:
        RunTaraIdle();
        break;
    case TaraState::Paused:
        RunTaraPaused();
        break;
    case TaraState::Start:
        TaraInizio();
        break;
    case TaraState::WaitTemp:
        RunTaraWaitTemp();
        break;
    case TaraState::Settle:
        RunTaraSettle();
        break;
    case TaraState::SampleRef:
        RunTaraSampleRef(false);
        break;
    case TaraState::WaitRpm:
        RunTaraWaitRpm(false);
        break;
    case TaraState::SampleMax:
        RunTaraSampleRef(true);
        break;
    case TaraState::MaxCycle:
        RunTaraCycle(Phase::Max);
        break;
    case TaraState::MaxPause:
        RunTaraPause(Phase::Max);
        break;
    case TaraState::WaitRpmMin:
        RunTaraWaitRpm(true);
        break;
    case TaraState::MinCycle:
        RunTaraCycle(Phase::Min);
        break;
    case TaraState::MinPause:
        RunTaraPause(Phase::Min);
        break;
    case TaraState::LoadPrompt:
    case TaraState::LoadSample:
    case TaraState::LoadStart:
    case TaraState::LoadCycle:
    case TaraState::LoadPause:
        // The load step: nothing leads into it; its entry state shows and waits.
        RunTaraLoadPrompt();
        break;
    case TaraState::Confirm:
        RunTaraConfirm();
        break;
    case TaraState::Result:
    case TaraState::LoadResult:
        RunTaraResult();
        break;
    case TaraState::Abort:
        RunTaraAbort();
        break;
    case TaraState::ReplaceFirst:
        RunTaraReplaceFirst();
        break;
    default:
        // No procedure (4, 5, above 24): the abort runs at the next tick.
        Enter(TaraState::Abort);
        break;
    }
}

// ---- Not ready

QString TaraRun::NotReadyText(TaraNotReady why) const {
    switch (why) {
    case TaraNotReady::LinkLost:
        return support::SectionTexts(ctx_.ObjLingue, RunSection, RunTexts)[LinkLost];
    case TaraNotReady::KeyOff:
        return ctx_.Texts.MsgTara[18];
    case TaraNotReady::EngineStopped:
        return ctx_.Texts.MsgTara[19];
    case TaraNotReady::NotSlave:
        return ctx_.Texts.MsgTara[30];
    case TaraNotReady::NoRecord:
    case TaraNotReady::RpmUnknown:
    case TaraNotReady::Counting:
        break;
    }
    return page_.Message(); // the cause that started the countdown stays told
}

bool TaraRun::HoldsResult() const {
    const TaraState shown = State() == TaraState::Paused ? TaraSavedState : State();
    return shown == TaraState::Confirm || shown == TaraState::Result ||
           shown == TaraState::LoadResult;
}

void TaraRun::ShowResultKept() {
    const QStringList texts = support::SectionTexts(ctx_.ObjLingue, RunSection, RunTexts);
    page_.SetMessage(texts[LinkLost] + tara_run::CrLf + tara_run::CrLf + texts[ResultKept]);
}

void TaraRun::RunTaraNotReady(TaraNotReady why) {
    page_.SetMessage(NotReadyText(why), true);
    if (State() == TaraState::WaitTemp) {
        Enter(TaraState::Abort);
        return;
    }
    if (CountNotReady(TaraNotReadyCount)) {
        Enter(TaraState::Abort);
    }
}

void TaraRun::ShowReadouts() {
    const ecudata::ModRec& m = ctx_.Images.ModPoints;
    const std::pair<int, double> values[] = {{0, m.Offset},
                                             {1, tara_.TaraCorr},
                                             {2, tara_.TaraCycTime},
                                             {3, tara_.TaraMaxRefTime},
                                             {4, tara_.TaraRefTime},
                                             {5, tara_.TaraLoadTime},
                                             {6, m.Alfa},
                                             {7, m.Offset},
                                             {10, tara_.TaraCycPress},
                                             {11, tara_.TaraCycTemp}};
    for (const auto& [i, v] : values) {
        page_.ShowValue(i, v);
    }
}

} // namespace calibration
