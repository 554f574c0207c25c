#include "app/QuitGuard.h"

#include "app/ProgramContext.h"

namespace app {

bool WritesPending(const ProgramContext& ctx) {
    return ecudata::EditsPending(ctx.Images, ctx.Requests) || ctx.ParamFileSending ||
           !ctx.ParamFilePending.isEmpty();
}

bool LinkUp(const ProgramContext& ctx) {
    const quint8 state = ctx.ObjComm ? ctx.ObjComm->ComState() : quint8(COM_STOP);
    return comm::HoldsPort(state) && ctx.Requests.FirmwareOk;
}

QuitStep QuitRequested(const QuitView& view) {
    if (view.calibrationRunning) {
        return QuitStep::AskCalibration;
    }
    if (!view.writesPending) {
        return view.calibrationEnding && view.linkUp ? QuitStep::WriteFirst : QuitStep::Quit;
    }
    return view.linkUp ? QuitStep::WriteFirst : QuitStep::AskQuitWithoutWriting;
}

QuitStep QuitTick(QuitPhase phase, const QuitView& view) {
    const bool linkLost = view.linkFailed || !view.linkUp;
    switch (phase) {
    case QuitPhase::Calibration:
        if (linkLost) {
            return QuitStep::SayCalibrationNotUndone;
        }
        return view.calibrationRunning || view.calibrationEnding ? QuitStep::Wait
                                                                 : QuitStep::WriteFirst;
    case QuitPhase::Writes:
        if (view.writesPending) {
            return linkLost ? QuitStep::AskQuitWithoutWriting : QuitStep::Wait;
        }
        // What is left is the return to run mode after a calibration: waited for while
        // the link can carry it.
        return view.calibrationEnding && !linkLost ? QuitStep::Wait : QuitStep::Quit;
    case QuitPhase::None:
        break;
    }
    return QuitStep::Wait;
}

} // namespace app
