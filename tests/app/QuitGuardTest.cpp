// What a close does with edits still owed to the ECU and with a running calibration.

#include "app/QuitGuard.h"
#include "app/ProgramContext.h"

#include <gtest/gtest.h>

namespace app {
namespace {

struct Case {
    const char* what;
    QuitPhase phase; // None: a new request
    QuitView view;
    QuitStep step;
};

QuitView View(bool running, bool ending, bool pending, bool up, bool failed) {
    QuitView v;
    v.calibrationRunning = running;
    v.calibrationEnding = ending;
    v.writesPending = pending;
    v.linkUp = up;
    v.linkFailed = failed;
    return v;
}

using enum QuitPhase;
using enum QuitStep;

const Case Cases[] = {
    // A new request.
    {"nothing owed", None, View(false, false, false, true, false), Quit},
    {"nothing owed, link down", None, View(false, false, false, false, false), Quit},
    {"edits owed, link up", None, View(false, false, true, true, false), WriteFirst},
    {"edits owed, link down", None, View(false, false, true, false, false), AskQuitWithoutWriting},
    {"calibration running", None, View(true, false, true, true, false), AskCalibration},
    {"calibration running, link down", None, View(true, false, false, false, false),
     AskCalibration},
    {"returning to run mode", None, View(false, true, false, true, false), WriteFirst},
    {"returning to run mode, link down", None, View(false, true, false, false, false), Quit},
    // Writing the edits.
    {"still writing", Writes, View(false, false, true, true, false), Wait},
    {"written", Writes, View(false, false, false, true, false), Quit},
    {"written, though the link fell after", Writes, View(false, false, false, true, true), Quit},
    {"link fell while writing", Writes, View(false, false, true, true, true),
     AskQuitWithoutWriting},
    {"link down while writing", Writes, View(false, false, true, false, false),
     AskQuitWithoutWriting},
    {"written, run mode still coming", Writes, View(false, true, false, true, false), Wait},
    // Undoing a calibration.
    {"abort under way", Calibration, View(true, false, false, true, false), Wait},
    {"abort written, run mode coming", Calibration, View(false, true, true, true, false), Wait},
    {"abort done", Calibration, View(false, false, true, true, false), WriteFirst},
    {"link fell during the abort", Calibration, View(true, false, false, true, true),
     SayCalibrationNotUndone},
    {"link down during the abort", Calibration, View(true, false, false, false, false),
     SayCalibrationNotUndone},
};

TEST(QuitGuard, StepsForEveryPhase) {
    for (const Case& c : Cases) {
        const QuitStep step = c.phase == None ? QuitRequested(c.view) : QuitTick(c.phase, c.view);
        EXPECT_EQ(int(step), int(c.step)) << c.what;
    }
}

// Every kind of edit still on its way to the ECU holds a quit back.
TEST(QuitGuard, EveryPendingEditCounts) {
    const std::function<void(ProgramContext&)> edits[] = {
        [](ProgramContext& c) { c.Images.Mem2Write.WantFlags(0x02, true); },
        [](ProgramContext& c) { c.Images.Mem2Write.HoursGas = -1.0; },
        [](ProgramContext& c) { c.Images.Mem3Write.SwitchTemp = 40; },
        [](ProgramContext& c) { c.Images.Mem3Write.CylTime[7] = 0; },
        [](ProgramContext& c) { c.Images.EmulaEdit.Set(86, 1); },
        [](ProgramContext& c) { c.Images.CompEdit[3].Set(31, 4); },
        [](ProgramContext& c) { c.Requests.ModWriteCountdown = 2; },
        [](ProgramContext& c) { c.Requests.InjSetMode = 2; }, // a cylinder set-up step
        [](ProgramContext& c) { c.Requests.ReqSaveFlash = true; },
        [](ProgramContext& c) { c.ParamFileSending = true; },
        [](ProgramContext& c) { c.ParamFilePending = "file.var"; },
    };
    for (size_t i = 0; i < std::size(edits); ++i) {
        ProgramContext ctx;
        EXPECT_FALSE(WritesPending(ctx));
        edits[i](ctx);
        EXPECT_TRUE(WritesPending(ctx)) << "edit " << i;
    }
}

} // namespace
} // namespace app
