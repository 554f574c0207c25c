#pragma once

// The one back-door left in the test script (app/TestScript.h), for the end-to-end test
// of the deferred zone-3 write until the Configuration page offers the control for it:
//     mem3 EmptyGas VALUE    the end-of-gas check (0 off, 1 on) as a pending zone-3
//                            edit, armed as the Configuration page arms it

#include <QString>
#include <QStringList>

namespace app {
struct ProgramContext;
} // namespace app

namespace monitor {

// Carries out "mem3 EmptyGas VALUE": "" when done, else why not.
QString Mem3BackDoor(app::ProgramContext& ctx, const QStringList& words);

} // namespace monitor
