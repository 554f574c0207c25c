#include "common/SimProgram.h"

namespace testing_support {

SimProgram::~SimProgram() {
    StopTimers();
    program.reset();
}

void SimProgram::BuildProgram() {
    program = std::make_unique<program::Program>(*context);
}

} // namespace testing_support
