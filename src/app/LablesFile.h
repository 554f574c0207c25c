#pragma once

// The label-layout file LNG/Lables.cfg: per installation, it overrides the visibility,
// geometry, alignment and colours of named controls of the main window, and switches
// the Map tab and the signal-viewer button. The file is optional; without it the
// window stays as designed (except that the Lambda tab is always hidden first).

#include <QString>

class QWidget;

namespace app {

// The main-page section and the two switches; hides tab 4 of SstMain first.
void ApplyLablesMainPage(QWidget& window, const QString& path);

// The status-bar section.
void ApplyLablesStatusBar(QWidget& window, const QString& path);

// Writes one control block of this format for every named control of the window (the
// file is replaced whole; the section lines are not written). False when it cannot be
// written, with why set to the reason (the old file stays).
bool ApplyLablesIndexed(const QWidget& window, const QString& path, QString* why = nullptr);

} // namespace app
