#pragma once

// The cells of the stepped grids (the Lambda page's and the compensation tables'): made
// on first use, centred, each drawn in the colours the program gives it (Windows BGR
// values), never in the style's selection colour.

#include "support/Colors.h"

#include <QAbstractItemView>
#include <QtGlobal>

class QTableWidget;
class QTableWidgetItem;

namespace emulation {

inline constexpr quint32 Yellow = 0xFFFF;
inline constexpr quint32 Black = 0;

// The cell at row, col, made (empty, centred) the first time it is asked for.
QTableWidgetItem& Cell(QTableWidget& grid, int row, int col);

// Gives the cell its colours; nothing for a cell off the grid (row or col -1, as the
// grid reports when it has no current cell).
void PaintCell(QTableWidget& grid, int row, int col, quint32 back, quint32 fore);

// A grid the keys step: the selection mode given, no scroll bars (the grid shows all of
// its cells), its cells in their own colours.
void PrepareSteppedGrid(QTableWidget& grid, QAbstractItemView::SelectionMode selection);

} // namespace emulation
