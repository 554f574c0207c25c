#pragma once

// Colours as the program's windows and files give them: Windows BGR values
// (&H00BBGGRR), or system colours (&H800000nn, the palette's roles).

#include <QColor>

namespace support {

constexpr quint32 SystemColorFlag = 0x80000000u;
constexpr quint32 ColorWindow = SystemColorFlag | 0x05;
constexpr quint32 ColorWindowText = SystemColorFlag | 0x08;
constexpr quint32 ColorHighlightText = SystemColorFlag | 0x0E;
constexpr quint32 ColorButtonFace = SystemColorFlag | 0x0F;
constexpr quint32 ColorButtonShadow = SystemColorFlag | 0x10;
constexpr quint32 ColorButtonText = SystemColorFlag | 0x12;

// A system colour is the application's palette colour of that role, never a control's
// own palette, which the control's previous colour may have overwritten.
QColor ColorFromBgr(quint32 bgr);

} // namespace support
