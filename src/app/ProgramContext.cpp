#include "app/ProgramContext.h"

namespace app {

ProgramContext::ProgramContext() : ObjComm(std::make_unique<ClsComm>()) {}

ProgramContext::~ProgramContext() = default;

} // namespace app
