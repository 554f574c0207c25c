#pragma once

// The firmware update window's designed controls: their table, colours and fonts. The
// window's behaviour is in FrmUpdate.

#include <QtGlobal>

class QWidget;

namespace firmware {

// The window's two blinking colours (BGR).
inline constexpr quint32 PureRed = 0x0000FF;
inline constexpr quint32 Orange = 0x0080FF;

// Builds the window's controls below window (named FrmUpdate), sized and coloured as
// designed.
void BuildUpdateControls(QWidget& window);

} // namespace firmware
