#pragma once

// The automatic calibration: the 250 ms tick (Timer3) with its live reads and readiness
// test, the state procedures, the Start and Cancel buttons and the store of the result.
// The ECU is put in slave mode and switched between supply mode 0 and 3; the model's
// offset is corrected cycle by cycle until the averaged injection times of both modes
// agree. Everything the run changes is backed up at the start and restored by the abort.
//
// The members are defined by what changes together: TaraRun.cpp the buttons, the start
// and every end of a run; TaraRunTick.cpp the tick's pace, reads, readiness and dispatch;
// TaraRunReference.cpp the warm-up and the samples in supply mode 0; TaraRunCycles.cpp
// the correction cycles and the result check.

#include "calibration/TaraMaths.h"
#include "calibration/TaraState.h"
#include "calibration/TaraValues.h"
#include "ecudata/ParamRecords.h"
#include "platform/FileAppend.h"

#include <QString>

namespace app {
class FrmLX735;
struct ProgramContext;
} // namespace app

namespace calibration {

class CalibrationPage;
class ModelingPage;

class TaraRun {
public:
    TaraRun(app::ProgramContext& ctx, app::FrmLX735& window, ModelingPage& model,
            CalibrationPage& page, TaraValues& tara);

    // The 250 ms tick. A tick due while the link pump steps or a frame goes out runs as
    // soon as that has ended; one that outlasts the pace is followed at once by the next.
    // A tick let in by a wait of the tick under way does nothing.
    void Timer3_Timer();
    // Idle: starts a run and the ticks. Paused: resumes the saved state. Confirm: stores
    // the result (at the next tick when a frame is being sent). Result: accepts it.
    // Ignored while a result is being stored.
    void CmdCalStart_Click();
    // A first Cancel pauses, a second aborts; Cancel on a shown result aborts. Ignored
    // while idle and while a result is being stored.
    void CmdCalCancel_Click();
    // The abort at once, from any state (the program is closing): what the run changed
    // goes back and the ECU returns to run mode, through the tick. Nothing to do while
    // idle or while a result is being stored (that ends in Idle anyway).
    void Abort();
    // A tick is under way: its waits let other timers in, and its exchanges go first.
    bool TickUnderWay() const { return busy_; }
    // The ticks run, each reading the live record and zone 2.
    bool Ticking() const;
    // When the tick's timer is next meant to fire (µs, the program's clock).
    double NextWakeUsec() const { return wakeUsec_; }

    TaraState TaraSavedState = TaraState::Idle;
    int TaraAbortFlag = 0; // while set the readiness test is bypassed
    int TaraConfirmFlag = 0;
    int TaraTicks = 0;
    int TaraNotReadyCount = 0;
    int TaraCycle = 0;
    int TaraZeroCount = 0;
    int TaraError = 0;
    bool TaraBackupTaken = false;
    double TaraRefRpm = 0;
    double TaraMaxRefRpm = 0;
    double TaraCycRpm = 0;
    double TaraLimLow = 0;
    double TaraLimHigh = 0;
    ecudata::Mem2Rec Mem2TaraBackup;
    ecudata::Mem3Rec Mem3TaraBackup;
    TblCor TblCorTaraCopy{};

    // The time limits of the ECU's injector type (kept when no type is configured).
    void RefreshTaraLimits();

    // The log's path: TaraCorr.txt in the program's folder.
    QString LogPath() const;

private:
    struct Sums {
        double time = 0, rpm = 0, press = 0, temp = 0;
    };
    enum class Phase { Max, Min };
    // How a run ends: the result stored in the ECU, or what the run changed restored
    // (or nothing to restore: the run never got past its start).
    enum class RunEnd { Stored, Restored };

    // ---- The state, kept in the program context as a number
    TaraState State() const { return static_cast<TaraState>(state_); }
    void Enter(TaraState next) { state_ = static_cast<int>(next); }
    // Abort with the readiness test bypassed, so an engine that is not ready cannot hold
    // the restore back.
    void EnterAbort();
    // Every way a run ends comes here: the result stored, or the abort done (a Cancel, a
    // shown error, a stopped engine or a lost link, the program closing all end through
    // the abort). The state goes back to Idle, whose tick returns the ECU to run mode and
    // stops the ticks. Either way the backups are spent: after a store an abort has
    // nothing to put back. Restored also ends the not-ready countdown and takes the bar
    // back; Stored leaves those to the next start.
    void EndRun(RunEnd how);
    // Supply mode 3 for good: zone 2 with mode 3, then a 4 s hold, then the end. A
    // refused write keeps the confirmation for another Start.
    void StoreResult();

    // ---- The tick (TaraRunTick.cpp)
    // Starts the ticks; the first is due one pace from now.
    void StartTicks();
    // The timer set to fire at atUsec, or at once when that has passed.
    void Arm(double atUsec);
    // One tick's work: the live reads, then the state's procedure or the not-ready one,
    // the abort held over whatever state a procedure set, the developer read-outs. A tick
    // whose read went unanswered on a link that is up does nothing: the values are old.
    // While a result is shown a lost link is told and the result kept.
    void Tick();
    // One read with a 1 s reply wait, three tries; False at once when the link holds no
    // port.
    bool RequestMem(quint8 command);
    TaraReadiness Readiness(bool liveRead, bool rpmScaled) const;
    // The link holds its port. Only a link that has restarted or stopped is lost: a read
    // unanswered while another exchange held the line is not.
    bool LinkUp() const;
    // A result is shown (or paused over): a lost link keeps it for the installer's press.
    bool HoldsResult() const;
    // The page says that the link is lost and the result kept.
    void ShowResultKept();
    // The procedure of the current state; a number without one becomes Abort.
    void RunState();
    // Tells why the engine is not ready; aborts at once while waiting for the temperature,
    // else on the tenth call in a row.
    void RunTaraNotReady(TaraNotReady why);
    QString NotReadyText(TaraNotReady why) const;
    // The developer read-outs LblVarTaraVal(0..7, 10, 11).
    void ShowReadouts();

    // ---- Helpers of the states
    // Step "00".."04" shown, Cancel on and Start off, as every running state does.
    void StepFrame(const char* step);
    // Zone 2 written with the requested supply mode. keepPrevious: zone 2 is copied to
    // Mem2Prev first and restored from it when the write fails.
    bool SetSupplyMode(quint8 mode, bool keepPrevious);
    // Writes back the correction table read at the start, words 0..190 as read, with the
    // table write's retries and read-back; the model shown becomes the one they give.
    // Nothing is computed from the model: it would rebuild the cells the installer had.
    bool RestoreCorrectionTable();
    // Reads zone 2 until the ECU shows the run state, at most four times.
    bool ReadMem2Until(quint8 runState);
    void RedrawModel();
    // The cycle's correction added to the model's offset, inside its limits; the model
    // is written to the ECU when the offset changed.
    void ApplyCorrection();
    // Appends a cycle's line to TaraCorr.txt; a write error stops the log, told once.
    void Log(const QString& title, double refTime, double offsetBefore);
    double LiveTime() const; // mean of the four newest averaged petrol times

    // ---- The state procedures: one tick's work each, storing the next state
    void RunTaraIdle();
    void RunTaraPaused();
    // Each tick until the ECU is in slave mode: the backups (once a run), the injector
    // type's limits, the table and the model kept, lambda emulation switched off; then
    // WaitTemp.
    void TaraInizio();
    // Waits for the reducer above P1; then the model back to its defaults, supply mode 0
    // and Settle.
    void RunTaraWaitTemp();
    void RunTaraSettle();
    // The reference sample (SampleRef) or the one at the raised rpm (SampleMax): the
    // first tick clears, N - 1 ticks sample, the last divides.
    void RunTaraSampleRef(bool raised);
    // Waits for the raised rpm (WaitRpm) or for the reference rpm again (WaitRpmMin):
    // only ticks above the limit count.
    void RunTaraWaitRpm(bool reference);
    // One correction cycle in supply mode 3: MaxCycle at the raised rpm, MinCycle at the
    // reference rpm. A cycle's first tick clears the sums, the others add a sample; the
    // last adds one more, divides, corrects and logs. A tick without a fresh record
    // (TaraSampleGate) adds nothing and does not count.
    void RunTaraCycle(Phase phase);
    // After the last MinCycle: the model rebuilt around the offset found, then checked;
    // Confirm when it holds, else Result.
    void CheckResult();
    // The pause between cycles; MaxPause first brings the ECU back to supply mode 0.
    void RunTaraPause(Phase phase);
    // Shows the confirmation; stores the result when a Start that came inside a frame's
    // send asked for it.
    void RunTaraConfirm();
    // The failed check's message by TaraError.
    void RunTaraResult();
    // Restores zone 3, the correction table (and with it the model) and zone 2 as they
    // were at the start and returns the ECU to run mode; a failed write is tried again
    // next tick.
    void RunTaraAbort();
    void RunTaraLoadPrompt();
    void RunTaraReplaceFirst();

    app::ProgramContext& ctx_;
    app::FrmLX735& window_;
    ModelingPage& model_;
    CalibrationPage& page_;
    TaraValues& tara_;
    int& state_; // the program context's TaraState
    bool busy_ = false;
    double dueUsec_ = 0;  // when the next tick is due
    double wakeUsec_ = 0; // when the timer fires next
    bool storing_ = false;
    bool abortRequested_ = false; // by Abort: held over the states a tick may set
    bool storeRequested_ = false;
    bool noTypeSaid_ = false;
    bool resultStored_ = false; // said on the idle page until the next Start
    Sums sums_;
    TaraSampleGate samples_;
    bool freshSample_ = false;   // the tick's live record may be a cycle's sample
    platform::FileAppender log_; // TaraCorr.txt; a write error stops it
};

} // namespace calibration
