// The calibration run's buttons, its start and every way it ends, the states that wait
// for a button, and the helpers the state procedures share.

#include "calibration/TaraRun.h"

#include "app/CalibrationTexts.h"
#include "app/FrmLX735.h"
#include "app/ProgramContext.h"
#include "calibration/CalibrationPage.h"
#include "calibration/ModelingPage.h"
#include "calibration/TaraRunShared.h"
#include "ecudata/EcuModel.h"
#include "ecudata/ParamFile.h"
#include "ecudata/RecordTables.h"
#include "ecudata/RequestServer.h"
#include "ecudata/ZoneExchange.h"
#include "link/Frames.h"
#include "support/Clock.h"
#include "support/Cursor.h"
#include "support/MessageBox.h"

#include <algorithm>
#include <limits>

namespace calibration {

using namespace tara_run;

namespace {

constexpr quint8 EmulationFlag = 0x02;
const QString EmulationWarning =
    QStringLiteral("Attenzione l'emulazione lambda verr\u00e0 disabilitata");

} // namespace

TaraRun::TaraRun(app::ProgramContext& ctx, app::FrmLX735& window, ModelingPage& model,
                 CalibrationPage& page, TaraValues& tara)
    : ctx_(ctx), window_(window), model_(model), page_(page), tara_(tara), state_(ctx.TaraState) {
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

// ---- Buttons

void TaraRun::CmdCalStart_Click() {
    if (storing_) {
        return;
    }
    page_.EnableStart(false);
    switch (State()) {
    case TaraState::Idle:
        resultStored_ = false;
        Enter(TaraState::Start);
        TaraNotReadyCount = 0;
        noTypeSaid_ = false;
        abortRequested_ = false;
        StartTicks();
        TaraAbortFlag = 0;
        break;
    case TaraState::Paused:
        Enter(TaraSavedState);
        break;
    case TaraState::LoadPrompt:
        Enter(TaraState::LoadStart);
        TaraTicks = ctx_.TaraParams.TaraPar26;
        TaraConfirmFlag = 0;
        break;
    case TaraState::LoadStart:
        TaraConfirmFlag = 1;
        break;
    case TaraState::Confirm:
        // A click that lands inside the wait of a frame being sent cannot send, nor one
        // while the link is lost: the next tick the ECU answers stores.
        if (ctx_.Comm().ComState() == app::COM_SENDING || !LinkUp()) {
            storeRequested_ = true;
        } else {
            StoreResult();
        }
        return;
    case TaraState::Result:
    case TaraState::LoadResult:
        Enter(TaraState::Confirm);
        break;
    default:
        break;
    }
    page_.EnableStart(true);
}

void TaraRun::CmdCalCancel_Click() {
    if (storing_) {
        return;
    }
    switch (State()) {
    case TaraState::Idle:
        // No run to pause: a click landing before the idle tick disables the button,
        // right after a store, must not abort the run that has ended.
        break;
    case TaraState::Paused:
    case TaraState::Result:
    case TaraState::LoadResult:
    case TaraState::Abort:
        EnterAbort();
        break;
    case TaraState::LoadPrompt:
        Enter(TaraState::Confirm);
        break;
    default:
        TaraSavedState = State();
        Enter(TaraState::Paused);
        break;
    }
}

void TaraRun::Abort() {
    // A result being stored ends in the idle state, which returns the ECU to run mode.
    if (State() == TaraState::Idle || storing_) {
        return;
    }
    EnterAbort();
    // A state procedure waiting further up the stack may still set its next state: the
    // tick holds the abort until the run has ended.
    abortRequested_ = true;
    if (!busy_) {
        StartTicks();
    }
}

// ---- The end of a run

void TaraRun::EnterAbort() {
    Enter(TaraState::Abort);
    TaraAbortFlag = 1;
}

void TaraRun::EndRun(RunEnd how) {
    // A stored result is the installer's now: nothing is left to restore.
    TaraBackupTaken = false;
    storeRequested_ = false; // a Start held for the ECU belonged to this run
    resultStored_ = how == RunEnd::Stored;
    if (how == RunEnd::Restored) {
        TaraNotReadyCount = 0;
        page_.ResetTaraProgress();
    }
    Enter(TaraState::Idle);
}

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
    EndRun(RunEnd::Stored);
    storing_ = false;
}

void TaraRun::RunTaraAbort() {
    page_.SetMessage(ctx_.Texts.MsgTara[15]);
    page_.EnableCancel(false);
    page_.EnableStart(true);
    ecudata::EcuImages& img = ctx_.Images;
    comm::ClsComm& link = ctx_.Comm();
    if (!TaraBackupTaken) {
        EndRun(RunEnd::Restored); // nothing was changed
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

    if (!RestoreCorrectionTable()) {
        return;
    }

    // Zone 2 as it was, but the service hours as the ECU has counted them since.
    img.Mem2Prev = img.Mem2Data;
    img.Mem2Write = Mem2TaraBackup;
    img.Mem2Write.ModeReq = SupplyPetrol;
    img.Mem2Write.HoursGas = img.Mem2Write.HoursBenz = 0;
    img.Mem2Write.FlagsMask = 0xFF; // every flag as it was at the start
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
    EndRun(RunEnd::Restored);
}

bool TaraRun::RestoreCorrectionTable() {
    ecudata::EcuImages& img = ctx_.Images;
    // A model write of the run still due would rebuild the cells the model covers.
    ctx_.Requests.ModWriteCountdown = 0;
    std::copy(TblCorTaraCopy.begin(), TblCorTaraCopy.end() - 1, img.TblCorEdit.begin());
    ecudata::EcuModel model = ctx_.Model();
    comm::ClsComm& link = ctx_.Comm();
    const bool ok = ecudata::SendTblCor(link, model, ctx_.DecimalSep);
    img.Blocks.WriteEnded(ecudata::EditBlock::Correction, ok, link.ExchangeRefused());
    if (ok) {
        ecudata::FixTblCor(img);
        RedrawModel();
    }
    return ok;
}

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

void TaraRun::RunTaraIdle() {
    page_.SetStep(QString());
    QString message = ctx_.Texts.MsgTara[1];
    if (resultStored_) {
        message.prepend(app::TextOf(ctx_, app::CalibrationText::ResultStored) + CrLf + CrLf);
    }
    page_.SetMessage(message);
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

// ---- The start

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
    if (img.Mem2Data.Flags & EmulationFlag) {
        support::MsgBox(EmulationWarning, support::vbCritical | support::vbOKOnly,
                        ctx_.Texts.AppTitle);
        ctx_.Comm().LoadWDogSend();
        img.Mem2Write.WantFlags(EmulationFlag, false);
        ecudata::SendRequest(ctx_.Comm(), comm::CMD_WRT_MEM2,
                             ecudata::BuildMem2(img.Mem2Data, img.Mem2Write));
    }
    if (img.Mem2Data.EcuRunState != 1) {
        if (ecudata::ToggleEcuMode(ctx_.Comm(), img)) {
            img.Mem2Data.EcuRunState = 1;
        }
    } else {
        Enter(TaraState::WaitTemp);
    }
    page_.ResetTaraProgress();
    support::PauseUsec(1e6);
}

// ---- The states that wait for a button

void TaraRun::RunTaraPaused() {
    page_.SetStep(QString());
    page_.SetMessage(ctx_.Texts.MsgTara[20] + CrLf + CrLf + ctx_.Texts.MsgTara[12]);
    page_.EnableCancel(true);
    page_.EnableStart(true);
    page_.ResetTaraProgress();
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
    Enter(TaraState::Confirm);
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

void TaraRun::RedrawModel() {
    model_.PlottaMatricePuntiMod(false);
    model_.AggiornaStatoPuntoMod();
    model_.DrawRefLineMod();
}

} // namespace calibration
