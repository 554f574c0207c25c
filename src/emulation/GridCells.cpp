#include "emulation/GridCells.h"

#include "ui/ControlLook.h"

#include <QTableWidget>

namespace emulation {

QTableWidgetItem& Cell(QTableWidget& grid, int row, int col) {
    QTableWidgetItem* item = grid.item(row, col);
    if (!item) {
        item = new QTableWidgetItem;
        item->setTextAlignment(Qt::AlignCenter);
        grid.setItem(row, col, item);
    }
    return *item;
}

void PaintCell(QTableWidget& grid, int row, int col, quint32 back, quint32 fore) {
    if (row < 0 || col < 0) {
        return;
    }
    QTableWidgetItem& item = Cell(grid, row, col);
    item.setBackground(support::ColorFromBgr(back));
    item.setForeground(support::ColorFromBgr(fore));
}

void PrepareSteppedGrid(QTableWidget& grid, QAbstractItemView::SelectionMode selection) {
    grid.setSelectionMode(selection);
    ui::ShowOwnCellColours(grid);
    grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

} // namespace emulation
