#pragma once

// The program's start: the shared state is prepared in a fixed order before the main
// window exists; main then shows the window and starts its timers. No port is opened
// here: the link object starts searching at the first tick of Timer1.

#include <QString>

namespace app {

struct ProgramContext;

// The application folder: the parent of the folder that holds the executable.
QString AppFolderFromExecutableDir(const QString& executableDir);

// Application folder, decimal separator, configuration scales, dictionary, link object
// with its port settings, the cylinder count the bars are made for, calibration
// parameters, the default parameter set kept pending for an off-line start, and the box
// of an update left unfinished.
void PrepareProgram(ProgramContext& context, const QString& executableDir);

} // namespace app
