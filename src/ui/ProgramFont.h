#pragma once

// The program's font. The window layouts are in twips, sized for a narrow sans-serif;
// Liberation Sans has the metrics of that font. Without it the system sans is drawn
// (wider: some captions may then be cut).

#include <QString>

namespace ui {

inline const QString ProgramFontFamily = QStringLiteral("Liberation Sans");
constexpr int ProgramFontPoints = 8;

// Sets the application font; call before the first window is made. True when the
// program's own family is installed.
bool SetProgramFont();

} // namespace ui
