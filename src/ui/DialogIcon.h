#pragma once

// The small windows' icon. Their captions come from their dictionary section
// (support::SectionTexts).

#include <QString>

class QWidget;

namespace ui {

// The window's icon from LNG/ico.img when that file is there.
void LoadDialogIcon(QWidget& window, const QString& appFolder);

} // namespace ui
