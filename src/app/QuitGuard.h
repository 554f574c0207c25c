#pragma once

// What a close or quit does while the ECU may still be owed something: edits whose
// write has not gone out, or a calibration whose working table and slave mode are in
// the ECU. The window feeds it what it sees and carries out the step it returns.

#include <QtGlobal>

namespace app {

struct ProgramContext;

// An edit not yet in the ECU: a deferred write counting down, a raised write, a write
// given back for its retry, or a parameter file queued or being sent.
bool WritesPending(const ProgramContext& ctx);

// The link can carry writes: open, answering, and the ECU's firmware accepted.
bool LinkUp(const ProgramContext& ctx);

struct QuitView {
    bool calibrationRunning = false; // a run or its confirmation (any state but idle)
    bool calibrationEnding = false;  // idle, but still returning the ECU to run mode
    bool writesPending = false;
    bool linkUp = false;
    bool linkFailed = false; // the link went down at some time since the quit began
};

enum class QuitPhase {
    None,        // no quit under way
    Calibration, // the calibration's abort is being written
    Writes,      // the pending edits are being written
};

enum class QuitStep {
    Wait,                   // go on in the current phase
    WriteFirst,             // enter the write phase
    Quit,                   // end the program now
    AskCalibration,         // ask whether to abort the calibration and quit
    AskQuitWithoutWriting,  // ask whether to quit with the edits unwritten
    SayCalibrationNotUndone // the link failed during the abort: say so, then end
};

// The step for a new close or quit request (no phase yet).
QuitStep QuitRequested(const QuitView& view);
// The step at a tick while a phase runs.
QuitStep QuitTick(QuitPhase phase, const QuitView& view);

} // namespace app
