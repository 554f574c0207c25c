#include "calibration/TaraRun.h"

#include "app/FrmLX735.h"
#include "app/ProgramContext.h"
#include "calibration/CalibrationPage.h"
#include "calibration/ModelingPage.h"
#include "calibration/NinePointModel.h"
#include "ecudata/RecordTables.h"
#include "ecudata/RequestServer.h"
#include "ecudata/ZoneExchange.h"
#include "link/Frames.h"
#include "support/Clock.h"
#include "support/Conversions.h"
#include "support/Cursor.h"
#include "support/FileWriter.h"
#include "support/Lingue.h"
#include "support/MessageBox.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <limits>

namespace calibration {

namespace {

const QString CrLf = QStringLiteral("\r\n");
constexpr quint8 SupplyPetrol = 0;
constexpr quint8 SupplyGas = 3;
constexpr quint8 EmulationFlag = 0x02;
constexpr int ProgressStep = 30;
const QString EmulationWarning =
    QStringLiteral("Attenzione l'emulazione lambda verr\u00e0 disabilitata");
constexpr double TickUsec = 1e6 / TicksPerSecond;
// A tick held back by a link step looks again this soon.
constexpr double RetryUsec = 1000;

// Our texts: the dictionary's section in the current language, these where it has none.
const QString RunSection = QStringLiteral("[CalibrationRun]");
const QStringList RunTexts = {QStringLiteral("The link to the ECU was lost")};
enum RunText { LinkLost };

QString Fixed(double value, int decimals, int width, const QString& sep) {
    return support::FormatFixed(value, decimals, width, sep);
}

} // namespace

TaraRun::TaraRun(app::ProgramContext& ctx, app::FrmLX735& window, ModelingPage& model,
                 CalibrationPage& page, TaraValues& tara)
    : TaraState(ctx.TaraState), ctx_(ctx), window_(window), model_(model), page_(page),
      tara_(tara) {
    window_.Timer3().setTimerType(Qt::PreciseTimer);
}

QString TaraRun::LogPath() const {
    return ctx_.AppFolder + QStringLiteral("/BIN/TaraCorr.txt");
}

void TaraRun::RefreshTaraLimits() {
    const auto& types = ctx_.Tables.TblInjType;
    if (!types.empty()) {
        const ecudata::InjTypeRec& type =
            types[ecudata::FindInjType(ctx_.Tables, ctx_.Images.Mem3Data.InjType)];
        TaraLimLow = type.CalLimit1;
        TaraLimHigh = type.CalLimit2;
    }
}

// ---- The tick

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
    // Inside a wait of the link pump or of a frame being sent the link cannot move until
    // that returns: the tick waits for it.
    if (window_.Timer1Busy || ctx_.Comm().ComState() == app::COM_SENDING) {
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

void TaraRun::Tick() {
    bool liveRead = true;
    if (ctx_.Requests.ModWriteCountdown <= 0 && !ctx_.ParamFileSending) {
        liveRead = RequestMem(comm::CMD_READ_MEM1);
        RequestMem(comm::CMD_READ_MEM2);
    }
    const TaraReadiness readiness = Readiness(liveRead);
    if (TaraAbortFlag == 0 && !TaraReady(readiness)) {
        RunTaraNotReady(TaraNotReadyWhy(readiness));
    } else {
        RunState();
    }
    if (abortRequested_) {
        if (TaraState == 0) {
            abortRequested_ = false;
        } else if (TaraState != 23) {
            TaraState = 23;
            TaraAbortFlag = 1;
        }
    }
    if (ctx_.DeveloperView) {
        ShowReadouts();
    }
}

// One read with a 1 s reply wait, three tries; the configured wait comes back after. A
// link that holds no port (restarting, searching, stopped) could only wait to fail: the
// read fails at once.
bool TaraRun::RequestMem(quint8 command) {
    comm::ClsComm& link = ctx_.Comm();
    const int state = link.ComState();
    if (state != app::COM_READY && state != app::COM_SENDING && state != app::COM_WAIT_REPLY) {
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

TaraReadiness TaraRun::Readiness(bool liveRead) const {
    const ecudata::EcuImages& img = ctx_.Images;
    const int link = ctx_.ObjComm->ComState();
    return {TaraState,
            img.Mem1Data.Rpm,
            TaraNotReadyCount,
            img.Mem1Data.StatusKey,
            img.Mem2Data.EcuRunState == 1,
            liveRead,
            link != app::COM_RESTART && link != app::COM_STOP};
}

void TaraRun::RunState() {
    switch (TaraState) {
    case 0:
        RunTaraIdle();
        break;
    case 1:
        RunTaraPaused();
        break;
    case 2:
        TaraInizio();
        break;
    case 3:
        RunTaraWaitTemp();
        break;
    case 6:
        RunTaraSettle();
        break;
    case 7:
        RunTaraSampleRef(false);
        break;
    case 8:
        RunTaraWaitRpm(false);
        break;
    case 9:
        RunTaraSampleRef(true);
        break;
    case 10:
        RunTaraCycle(Phase::Max);
        break;
    case 11:
        RunTaraPause(Phase::Max);
        break;
    case 12:
        RunTaraWaitRpm(true);
        break;
    case 13:
        RunTaraCycle(Phase::Min);
        break;
    case 14:
        RunTaraPause(Phase::Min);
        break;
    case 15:
        RunTaraLoadPrompt();
        break;
    case 20:
        RunTaraConfirm();
        break;
    case 21:
    case 22:
        RunTaraResult();
        break;
    case 23:
        RunTaraAbort();
        break;
    case 24:
        RunTaraReplaceFirst();
        break;
    case 16:
    case 17:
    case 18:
    case 19:
        // The load step: nothing leads into it; its entry state shows and waits.
        RunTaraLoadPrompt();
        break;
    default:
        TaraState = 23;
        break;
    }
}

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
    case TaraNotReady::Counting:
        break;
    }
    return page_.Message(); // the cause that started the countdown stays told
}

void TaraRun::RunTaraNotReady(TaraNotReady why) {
    page_.SetMessage(NotReadyText(why), true);
    if (TaraState == 3) {
        TaraState = 23;
        return;
    }
    if (CountNotReady(TaraNotReadyCount)) {
        TaraState = 23;
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

// ---- Helpers of the states

void TaraRun::StepFrame(const char* step) {
    page_.EnableCancel(true);
    page_.EnableStart(false);
    page_.SetStep(CrLf + ctx_.Texts.MsgTara[2] + QLatin1String(step));
}

bool TaraRun::SetSupplyMode(quint8 mode, bool keepPrevious) {
    ecudata::EcuImages& img = ctx_.Images;
    if (keepPrevious) {
        img.Mem2Prev = img.Mem2Data;
    }
    img.Mem2Write.ModeReq = mode;
    const QByteArray payload = ecudata::BuildMem2(img.Mem2Data, img.Mem2Write);
    const bool ok = ecudata::SendRequest(ctx_.Comm(), comm::CMD_WRT_MEM2, payload);
    if (!ok && keepPrevious) {
        img.Mem2Data = img.Mem2Prev;
    }
    return ok;
}

// Reads zone 2 until the ECU shows the run state, at most four times.
bool TaraRun::ReadMem2Until(quint8 runState) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        ecudata::SendParsedRead(ctx_.Comm(), comm::CMD_READ_MEM2, ctx_.Images);
        if (ctx_.Images.Mem2Data.EcuRunState == runState) {
            return true;
        }
        support::PauseUsec(250000);
    }
    return false;
}

void TaraRun::RedrawModel() {
    model_.PlottaMatricePuntiMod(false);
    model_.AggiornaStatoPuntoMod();
    model_.DrawRefLineMod();
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
    }
}

// Appends a cycle's line to the log. The calibration never waits on its log: a file that
// cannot be opened is passed over, and a write error stops the log, told once.
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

double TaraRun::LiveTime() const {
    const auto& h = ctx_.InjTimes.TInjHist1;
    return (h[0] + h[1] + h[2] + h[3]) / 4;
}

// ---- The states

void TaraRun::RunTaraIdle() {
    page_.SetStep(QString());
    page_.SetMessage(ctx_.Texts.MsgTara[1]);
    page_.EnableCancel(false);
    page_.EnableStart(true);
    page_.FullWidth();
    const bool slave = ctx_.Images.Mem2Data.EcuRunState == 1;
    if (slave) {
        ecudata::ToggleEcuMode(ctx_.Comm(), ctx_.Images);
    }
    page_.AnimateTaraProgress();
    // The tick goes on until zone 2 shows the ECU back in run mode (or the link stops).
    if (!slave || ctx_.Comm().ComState() == app::COM_STOP) {
        window_.Timer3().stop();
    }
}

void TaraRun::RunTaraPaused() {
    page_.SetStep(QString());
    page_.SetMessage(ctx_.Texts.MsgTara[20] + CrLf + CrLf + ctx_.Texts.MsgTara[12]);
    page_.EnableCancel(true);
    page_.EnableStart(true);
    page_.ResetTaraProgress();
}

void TaraRun::TaraInizio() {
    StepFrame("00");
    page_.SetMessage(ctx_.Texts.MsgTara[3]);
    ecudata::EcuImages& img = ctx_.Images;
    if (!TaraBackupTaken) {
        TaraBackupTaken = true;
        Mem2TaraBackup = img.Mem2Data;
        Mem3TaraBackup = img.Mem3Data;
    }
    tara_.TaraCycPress = tara_.TaraCycTemp = 0;
    const auto& types = ctx_.Tables.TblInjType;
    if (types.empty()) {
        // Without an injector type the result is checked without time limits.
        TaraLimLow = -std::numeric_limits<double>::infinity();
        TaraLimHigh = std::numeric_limits<double>::infinity();
        if (!noTypeSaid_) {
            noTypeSaid_ = true;
            support::MsgBox(QStringLiteral("TaraInizio_Err - No injector type in the "
                                           "configuration file: no time limits apply."),
                            support::vbExclamation, ctx_.Texts.AppTitle);
        }
    } else {
        RefreshTaraLimits();
    }
    std::copy(img.TblCorRead.begin(), img.TblCorRead.end() - 1, TblCorTaraCopy.begin());
    ModPointsBackup = img.ModPoints;
    if (img.Mem2Data.Flags & EmulationFlag) {
        support::MsgBox(EmulationWarning, support::vbCritical | support::vbOKOnly,
                        ctx_.Texts.AppTitle);
        ctx_.Comm().LoadWDogSend();
        img.Mem2Write.Flags = EmulationFlag;
        ecudata::SendRequest(ctx_.Comm(), comm::CMD_WRT_MEM2,
                             ecudata::BuildMem2(img.Mem2Data, img.Mem2Write));
    }
    if (img.Mem2Data.EcuRunState != 1) {
        if (ecudata::ToggleEcuMode(ctx_.Comm(), img)) {
            img.Mem2Data.EcuRunState = 1;
        }
    } else {
        TaraState = 3;
    }
    page_.ResetTaraProgress();
    support::PauseUsec(1e6);
}

void TaraRun::RunTaraWaitTemp() {
    StepFrame("00");
    const QString& sep = ctx_.DecimalSep;
    const double temp = ctx_.Images.Mem1Data.Temp;
    const int limit = ctx_.TaraParams.TaraPar01;
    if (temp <= limit) {
        page_.SetMessage(ctx_.Texts.MsgTara[5] + CrLf + " " + Fixed(temp, 0, 2, sep) + " < " +
                         Fixed(limit, 0, 2, sep));
        page_.Blink("TxtTmpVap(1)");
        page_.ResetTaraProgress();
        return;
    }
    page_.SetMessage(ctx_.Texts.MsgTara[4]);
    model_.DisponiMatriceModDefault();
    model_.DrawRefLineMod();
    RedrawModel();
    model_.DeselezionaPuntiMod();
    ctx_.Requests.ModWriteCountdown = 2.0;
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
    TaraState = 6;
    TaraTicks = ctx_.TaraParams.TaraPar02;
    page_.SetBoxColours("TxtTmpVap(1)", 0x000000, 0x00FFFF);
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
        TaraState = 7;
        TaraTicks = ctx_.TaraParams.TaraPar03;
    }
}

// The reference sample (state 7) or the one at the raised rpm in supply mode 0 (state 9):
// the first tick clears, N - 1 ticks sample, the last divides.
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
        TaraState = 10;
        TaraCycle = TaraZeroCount = 0;
        TaraTicks = MaxCycleTicks(0, p);
    } else {
        tara_.TaraRefTime = sums_.time / samples;
        TaraRefRpm = sums_.rpm / samples;
        TaraState = 8;
        TaraTicks = p.TaraPar04;
        page_.AnimateTaraProgress();
    }
}

// Waits for the raised rpm (state 8) or for the reference rpm again (state 12): only
// ticks above the limit count.
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
            page_.SetBoxColours("TxtRpm(1)", 0x00FFFF, 0x000000);
        } else {
            if (!reference || rpm < limit) {
                text += CrLf + CrLf + Fixed(rpm, 0, 4, sep) + " < " + Fixed(limit, 0, 4, sep);
            }
            page_.Blink("TxtRpm(1)");
        }
        page_.ResetTaraProgress();
    }
    page_.SetMessage(text);
    if (TaraTicks < 1) {
        page_.SetBoxColours("TxtRpm(1)", 0x00FFFF, 0x000000);
        if (reference) {
            page_.RestartTaraProgress();
            TaraState = 13;
            TaraCycle = TaraZeroCount = 0;
            TaraTicks = MinCycleTicks(0, p);
        } else {
            TaraState = 9;
            TaraTicks = p.TaraPar05;
        }
    }
}

// One correction cycle in supply mode 3: TaraMax at the raised rpm (state 10), TaraMin
// at the reference rpm (state 13).
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
    const ecudata::Mem1Rec& live = ctx_.Images.Mem1Data;
    const auto add = [&] {
        sums_.time += ctx_.InjTimes.TInjHist1[0];
        sums_.rpm += live.Rpm;
        sums_.press += live.PressGas;
        sums_.temp += live.Temp;
    };
    const int n = max ? MaxCycleTicks(TaraCycle, p) : MinCycleTicks(TaraCycle, p);
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
            TaraState = 11;
            TaraTicks = MaxPauseTicks(TaraCycle, p);
        } else {
            TaraState = 12;
            TaraTicks = p.TaraPar16;
        }
        return;
    }
    if (TaraZeroCount < p.TaraPar19 && TaraCycle < p.TaraPar22) {
        TaraState = 14;
        TaraTicks = MinPauseTicks(TaraCycle, p);
        return;
    }
    // The end: the model rebuilt on the default points with the offset found and point 1
    // at the reference time, the injector type's rules, the result check.
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
    TaraError =
        ApplyTaraResult(ctx_.Images.TblCorEdit, trial, m, LimitsOf(p, TaraLimLow, TaraLimHigh),
                        tara_.TaraRefTime, ctx_.Scale);
    RedrawModel();
    TaraState = TaraError == 0 ? 20 : 21;
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
        TaraState = max ? 10 : 13;
        TaraTicks = max ? MaxCycleTicks(TaraCycle, p) : MinCycleTicks(TaraCycle, p);
    }
}

void TaraRun::RunTaraConfirm() {
    if (storeRequested_) {
        storeRequested_ = false;
        StoreResult();
        return;
    }
    page_.SetStep(QString());
    page_.SetMessage(ctx_.Texts.MsgTara[16] + CrLf + CrLf + ctx_.Texts.MsgTara[17]);
    page_.EnableCancel(true);
    page_.EnableStart(true);
    page_.ResetTaraProgress();
}

void TaraRun::RunTaraResult() {
    const auto& t = ctx_.Texts.MsgTara;
    page_.SetStep(QString());
    QString text = t[20] + CrLf + CrLf + t[21];
    const int appended[] = {0, 23, 22, 25, 24};
    if (TaraError >= 1 && TaraError <= 4) {
        text += CrLf + CrLf + t[appended[TaraError]];
    } else if (TaraError == 5 || TaraError == 6) {
        text = t[26] + CrLf + CrLf + t[TaraError == 5 ? 28 : 29];
    }
    page_.SetMessage(text + CrLf + CrLf + t[12]);
    page_.EnableCancel(true);
    page_.EnableStart(true);
    page_.ResetTaraProgress();
}

void TaraRun::RunTaraAbort() {
    page_.SetMessage(ctx_.Texts.MsgTara[15]);
    page_.EnableCancel(false);
    page_.EnableStart(true);
    ecudata::EcuImages& img = ctx_.Images;
    comm::ClsComm& link = ctx_.Comm();
    if (!TaraBackupTaken) {
        TaraState = 0;
        TaraNotReadyCount = 0;
        page_.ResetTaraProgress();
        return;
    }
    if (img.Mem2Data.EcuRunState != 1) {
        ecudata::ToggleEcuMode(link, img);
        support::PauseUsec(250000);
    }
    ReadMem2Until(1);

    img.Mem3Prev = img.Mem3Data;
    img.Mem3Write = Mem3TaraBackup;
    const QByteArray zone3 =
        ecudata::BuildMem3(img.Mem3Data, img.Mem3Write, ctx_.Scale, ctx_.Requests);
    if (!ecudata::SendRequest(link, comm::CMD_WRT_MEM3, zone3)) {
        img.Mem3Data = img.Mem3Prev;
        return;
    }

    std::copy(TblCorTaraCopy.begin(), TblCorTaraCopy.end() - 1, img.TblCorRead.begin());
    std::copy(TblCorTaraCopy.begin(), TblCorTaraCopy.end() - 1, img.TblCorEdit.begin());
    img.ModPoints = ModPointsBackup;
    const float yMax = model_.Geometry().YMax();
    LimitOffsetMod(img.ModPoints, yMax);
    SpacePointsMod(img.ModPoints, yMax);
    RedrawModel();
    ctx_.Requests.ModWriteCountdown = 2.0;
    for (int i = 0; i < 10; ++i) {
        support::PauseUsec(100000);
    }

    // Zone 2 as it was, but the service hours as the ECU has counted them since.
    img.Mem2Prev = img.Mem2Data;
    img.Mem2Write = Mem2TaraBackup;
    img.Mem2Write.ModeReq = SupplyPetrol;
    img.Mem2Write.HoursGas = img.Mem2Write.HoursBenz = 0;
    img.Mem2Data.Flags = 0;
    const QByteArray zone2 = ecudata::BuildMem2(img.Mem2Data, img.Mem2Write);
    if (!ecudata::SendRequest(link, comm::CMD_WRT_MEM2, zone2)) {
        img.Mem2Data = img.Mem2Prev;
        return;
    }
    if (img.Mem2Data.EcuRunState != 0) {
        ecudata::ToggleEcuMode(link, img);
        support::PauseUsec(250000);
    }
    ReadMem2Until(0);
    TaraBackupTaken = false;
    TaraNotReadyCount = 0;
    TaraState = 0;
    page_.ResetTaraProgress();
}

// The load step and the replace-first prompt: no transition leads there; they show their
// texts and leave by the buttons.
void TaraRun::RunTaraLoadPrompt() {
    StepFrame("04");
    page_.SetMessage(ctx_.Texts.MsgTara[11] + CrLf + CrLf + ctx_.Texts.MsgTara[12]);
    if (ctx_.Images.Mem2Data.FuelState != SupplyPetrol) {
        SetSupplyMode(SupplyPetrol, true);
    }
}

void TaraRun::RunTaraReplaceFirst() {
    page_.SetMessage(QStringLiteral("Replace first step"));
    TaraState = 20;
}

// ---- Buttons

void TaraRun::CmdCalStart_Click() {
    if (storing_) {
        return;
    }
    page_.EnableStart(false);
    switch (TaraState) {
    case 0:
        TaraState = 2;
        TaraNotReadyCount = 0;
        TaraBackupTaken = false;
        noTypeSaid_ = false;
        abortRequested_ = false;
        StartTicks();
        TaraAbortFlag = 0;
        break;
    case 1:
        TaraState = TaraSavedState;
        break;
    case 15:
        TaraState = 17;
        TaraTicks = ctx_.TaraParams.TaraPar26;
        TaraConfirmFlag = 0;
        break;
    case 17:
        TaraConfirmFlag = 1;
        break;
    case 20:
        // A click that lands inside the wait of a frame being sent cannot send: the next
        // tick stores.
        if (ctx_.Comm().ComState() == app::COM_SENDING) {
            storeRequested_ = true;
        } else {
            StoreResult();
        }
        return;
    case 21:
    case 22:
        TaraState = 20;
        break;
    default:
        break;
    }
    page_.EnableStart(true);
}

// Supply mode 3 for good: zone 2 with mode 3; the idle step then returns the ECU to run
// mode. A refused write keeps the confirmation for another Start.
void TaraRun::StoreResult() {
    storing_ = true;
    const support::CursorOverride hourglass(Qt::WaitCursor);
    ecudata::EcuImages& img = ctx_.Images;
    img.Mem2Prev = img.Mem2Data;
    img.Mem2Write.ModeReq = SupplyGas;
    const QByteArray payload = ecudata::BuildMem2(img.Mem2Data, img.Mem2Write);
    if (!ecudata::SendRequest(ctx_.Comm(), comm::CMD_WRT_MEM2, payload)) {
        img.Mem2Data = img.Mem2Prev;
        storing_ = false;
        return;
    }
    support::PauseUsec(4e6);
    TaraState = 0;
    storing_ = false;
}

void TaraRun::Abort() {
    // A result being stored ends in the idle state, which returns the ECU to run mode.
    if (TaraState == 0 || storing_) {
        return;
    }
    TaraState = 23;
    TaraAbortFlag = 1;
    // A state procedure waiting further up the stack may still set its next state: the
    // tick holds the abort until the run has ended.
    abortRequested_ = true;
    if (!busy_) {
        StartTicks();
    }
}

void TaraRun::CmdCalCancel_Click() {
    if (storing_) {
        return;
    }
    switch (TaraState) {
    case 1:
    case 21:
    case 22:
    case 23:
        TaraState = 23;
        TaraAbortFlag = 1;
        break;
    case 15:
        TaraState = 20;
        break;
    default:
        TaraSavedState = TaraState;
        TaraState = 1;
        break;
    }
}

} // namespace calibration
