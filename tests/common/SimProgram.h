#pragma once

// The program's whole composition (program::Program, as main makes it) on the rig's
// prepared context: the main window with every library's pages, every callback slot
// filled by the program, and the window's timers played as SimWindow plays them.

#include "common/SimWindow.h"
#include "monitor/LivePage.h"
#include "program/Program.h"

#include <memory>

namespace testing_support {

class SimProgram : public SimWindowBase {
public:
    using SimWindowBase::SimWindowBase;
    ~SimProgram() override;

    // The program on the context (after Prepare); its window not yet shown.
    void BuildProgram();

    app::FrmLX735& Window() { return program->window; }
    monitor::LivePage& Live() { return *program->liveMonitor.live; }

    std::unique_ptr<program::Program> program;

protected:
    app::FrmLX735* Shown() override { return program ? &program->window : nullptr; }
};

} // namespace testing_support
