#pragma once

// The program as main composes it (program::Program), on a context of its own linked to
// the simulated ECU, its main window loaded and shown; its timers stay still, so that a
// test opens each window itself.

#include "common/SimProgram.h"

#include <QString>
#include <gtest/gtest.h>

namespace screen_test {

class ProgramRig : public ::testing::Test, public testing_support::SimProgram {
protected:
    ProgramRig() {
        StageProgram();
        Prepare();
        context->DecimalSep = ",";
        BuildProgram();
        Window().Show();
    }

    bool Hidden(const QString& name) { return Widget(name).isHidden(); }
};

} // namespace screen_test
