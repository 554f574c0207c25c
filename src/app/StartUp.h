#pragma once

// The program's start: the shared state is prepared in a fixed order before the main
// window exists; main then shows the window and starts its timers. No port is opened
// here: the link object starts searching at the first tick of Timer1.

#include <QList>
#include <QString>

class QWidget;

namespace app {

struct ProgramContext;

// The application folder: the parent of the folder that holds the executable.
QString AppFolderFromExecutableDir(const QString& executableDir);

// A start-up file whose reader found it damaged; something built in stands in for it.
enum class DamagedFile { ConfigScale, Dictionary, Language, PortSettings };

// Application folder, decimal separator, configuration scales, dictionary, link object
// with its port settings, the cylinder count the bars are made for, calibration
// parameters, the default parameter set kept pending for an off-line start, and the box
// of an update left unfinished. Gives the start-up files found damaged.
QList<DamagedFile> PrepareProgram(ProgramContext& context, const QString& executableDir);

// The installer's words for the damaged files: each file and what stands in for it, in
// the current language (English when the dictionary is itself damaged). "" for none.
QString DamagedFilesMessage(const ProgramContext& context, const QList<DamagedFile>& damaged);

// One box with that message, shown once the event loop runs (the window is up by then);
// nothing when no file is damaged.
void TellDamagedFiles(const ProgramContext& context, const QList<DamagedFile>& damaged,
                      QWidget& window);

} // namespace app
