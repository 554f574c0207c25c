#pragma once

// The colours and styles the live displays give the main window's controls, as Windows
// BGR values (&H00BBGGRR, or &H800000nn for a system colour). Each value is kept on the
// control (so a display can write it only when it differs) and drawn from there:
// - back colour and back style of labels, check boxes and frames (opaque back style
//   fills the control with its back colour, transparent leaves the parent showing);
// - fill and border colour of the shapes (the lamps, cursors and framing boxes).

#include "support/Colors.h"

#include <QtGlobal>

class QColor;
class QPalette;
class QWidget;

namespace monitor {

using support::ColorButtonShadow;

void SetBackColor(QWidget& control, quint32 bgr);
quint32 BackColor(const QWidget& control); // the button face until set

// 0 transparent, 1 opaque.
void SetBackStyle(QWidget& control, int style);
int BackStyle(const QWidget& control); // opaque until set

// Shapes.
void SetFillColor(QWidget& shape, quint32 bgr);
quint32 FillColor(const QWidget& shape); // black until set
void SetBorderColor(QWidget& shape, quint32 bgr);
quint32 BorderColor(const QWidget& shape); // black until set

} // namespace monitor
