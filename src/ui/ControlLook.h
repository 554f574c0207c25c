#pragma once

// The colours and styles the live displays give the main window's controls, as Windows
// BGR values (&H00BBGGRR, or &H800000nn for a system colour). Each value is kept on the
// control (so a display can write it only when it differs) and drawn from there:
// - back and fore colour of every kind of control, each in the palette role that kind
//   paints with (a text box its base and text, a button or combo its button face and
//   button text, a label, check box or frame its window and window text);
// - back style of labels, check boxes and frames (opaque back style fills the control
//   with its back colour, transparent leaves the parent showing);
// - fill and border colour of the shapes (the lamps, cursors and framing boxes);
// - cells of a grid: each in its own colours, not the style's selection colour.

#include "support/Colors.h"

#include <QtGlobal>

class QAbstractItemView;
class QWidget;

namespace ui {

using support::ColorButtonShadow;

void SetBackColor(QWidget& control, quint32 bgr);
quint32 BackColor(const QWidget& control); // the button face until set
void SetForeColor(QWidget& control, quint32 bgr);
quint32 ForeColor(const QWidget& control); // the window text until set

// 0 transparent, 1 opaque.
void SetBackStyle(QWidget& control, int style);
int BackStyle(const QWidget& control); // opaque until set

// Shapes.
void SetFillColor(QWidget& shape, quint32 bgr);
quint32 FillColor(const QWidget& shape); // black until set
void SetBorderColor(QWidget& shape, quint32 bgr);
quint32 BorderColor(const QWidget& shape); // black until set

// The grid draws every cell in the colours the program gave it: its current cell never
// in the selection's colour (the program marks that cell itself), the rest of a selected
// block only while the grid is the focus of its window, so that one grid at a time
// shows a selection.
void ShowOwnCellColours(QAbstractItemView& grid);

// Shows or hides the control only when its own flag differs (whatever the tab shown).
void SetShown(QWidget& control, bool shown);

} // namespace ui
