// The program's entry: prepare the shared state, compose the program, show the main
// window without blocking, start its timers, then run the event loop until the window
// unloads.

#include "app/ProgramContext.h"
#include "app/StartUp.h"
#include "monitor/TestHooks.h"
#include "program/Program.h"
#include "script/TestScript.h"
#include "ui/ProgramFont.h"
#include "ui/WheelFocus.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    ui::WheelFocusGuard wheelNeedsFocus(application);
    ui::SetProgramFont();
    monitor::InstallTestHooksFromEnvironment();
    app::ProgramContext context;
    const QList<app::DamagedFile> damaged =
        app::PrepareProgram(context, QCoreApplication::applicationDirPath());

    program::Program program(context);
    program.window.OnUnloaded = [] { QCoreApplication::quit(); };
    program.window.Show();
    program.window.EnableTimers();
    app::TellDamagedFiles(context, damaged, program.window);
    const std::unique_ptr<script::TestScript> script =
        script::TestScriptFromEnvironment(program.window, monitor::RecordTestEvent);
    return application.exec();
}
