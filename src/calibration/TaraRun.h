#pragma once

// The automatic calibration: the 250 ms tick (Timer3) with its live reads and readiness
// test, the state procedures, the Start and Cancel buttons and the store of the result.
// The ECU is put in slave mode and switched between supply mode 0 and 3; the model's
// offset is corrected cycle by cycle until the averaged injection times of both modes
// agree. Everything the run changes is backed up at the start and restored by the abort.

#include "calibration/TaraMaths.h"
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
    void Timer3_Timer();
    void CmdCalStart_Click();
    void CmdCalCancel_Click();
    // The abort at once, from any state (the program is closing): what the run changed
    // goes back and the ECU returns to run mode, through the tick.
    void Abort();
    // A tick is under way: its waits let other timers in, and its exchanges go first.
    bool TickUnderWay() const { return busy_; }
    // The ticks run, each reading the live record and zone 2.
    bool Ticking() const;
    // When the tick's timer is next meant to fire (µs, the program's clock).
    double NextWakeUsec() const { return wakeUsec_; }

    int& TaraState; // the program context's
    int TaraSavedState = 0;
    int TaraAbortFlag = 0;
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
    ecudata::ModRec ModPointsBackup;
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

    void StartTicks();
    void Arm(double atUsec);
    void Tick();
    bool RequestMem(quint8 command);
    TaraReadiness Readiness(bool liveRead) const;
    void RunState();
    void RunTaraNotReady(TaraNotReady why);
    QString NotReadyText(TaraNotReady why) const;
    void ShowReadouts();
    void StepFrame(const char* step);
    bool SetSupplyMode(quint8 mode, bool keepPrevious);
    bool ReadMem2Until(quint8 runState);
    void RedrawModel();
    void ApplyCorrection();
    void Log(const QString& title, double refTime, double offsetBefore);
    double LiveTime() const; // mean of the four newest averaged petrol times
    void StoreResult();

    void RunTaraIdle();
    void RunTaraPaused();
    void TaraInizio();
    void RunTaraWaitTemp();
    void RunTaraSettle();
    void RunTaraSampleRef(bool raised);
    void RunTaraWaitRpm(bool reference);
    void RunTaraCycle(Phase phase);
    void RunTaraPause(Phase phase);
    void RunTaraConfirm();
    void RunTaraResult();
    void RunTaraAbort();
    void RunTaraLoadPrompt();
    void RunTaraReplaceFirst();

    app::ProgramContext& ctx_;
    app::FrmLX735& window_;
    ModelingPage& model_;
    CalibrationPage& page_;
    TaraValues& tara_;
    bool busy_ = false;
    double dueUsec_ = 0;  // when the next tick is due
    double wakeUsec_ = 0; // when the timer fires next
    bool storing_ = false;
    bool abortRequested_ = false; // by Abort: held over the states a tick may set
    bool storeRequested_ = false;
    bool noTypeSaid_ = false;
    Sums sums_;
    platform::FileAppender log_; // TaraCorr.txt; a write error stops it
};

} // namespace calibration
