#pragma once

// The states of the automatic calibration. The values are the numbers the program
// context's TaraState holds (0 while no run is under way); the tick runs one state
// procedure a tick, chosen by it. 4 and 5 have no procedure: the tick turns them, like
// any number not named here, into Abort.

namespace calibration {

enum class TaraState : int {
    Idle = 0,        // RunTaraIdle: returns the ECU to run mode, then the tick stops
    Paused = 1,      // RunTaraPaused: Start resumes the saved state, Cancel aborts
    Start = 2,       // TaraInizio: backups, limits, the ECU to slave mode (step "00")
    WaitTemp = 3,    // RunTaraWaitTemp: the reducer warms up; the model reset (step "00")
    Settle = 6,      // RunTaraSettle (step "01")
    SampleRef = 7,   // RunTaraSampleRef: the reference sample at idle (step "01")
    WaitRpm = 8,     // RunTaraWaitRpm: up to the raised rpm (step "02")
    SampleMax = 9,   // RunTaraSampleRef(raised): the sample there in supply mode 0
    MaxCycle = 10,   // RunTaraCycle(Max): a correction cycle at the raised rpm
    MaxPause = 11,   // RunTaraPause(Max)
    WaitRpmMin = 12, // RunTaraWaitRpm(reference): back to the reference rpm (step "03")
    MinCycle = 13,   // RunTaraCycle(Min): a correction cycle there; the last checks the result
    MinPause = 14,   // RunTaraPause(Min)
    // The load step (step "04"): nothing leads into it; 16 to 19 show its prompt.
    LoadPrompt = 15,
    LoadSample = 16,
    LoadStart = 17, // Start here confirms (TaraConfirmFlag)
    LoadCycle = 18,
    LoadPause = 19,
    Confirm = 20,      // RunTaraConfirm: the result holds; Start stores it
    Result = 21,       // RunTaraResult: the result check failed; Start accepts, Cancel aborts
    LoadResult = 22,   // the load step's failed result, shown as Result
    Abort = 23,        // RunTaraAbort: what the run changed goes back, then Idle
    ReplaceFirst = 24, // RunTaraReplaceFirst: a prompt nothing leads into; then Confirm
};

} // namespace calibration
