#pragma once
// Row numbers of the works grid. The grid counts its header as row 0, so that grid row n shows
// works line n (1-based, the editor's selected line). The table widget keeps its header apart:
// its row n - 1 is grid row n, and the grid's row count is the table's plus one.
#include <QTableWidget>

namespace tavo::works_grid {

inline int rowCount(const QTableWidget& grid) {
    return grid.rowCount() + 1;
}
inline int tableRow(int gridRow) {
    return gridRow - 1;
}
inline int gridRow(int tableRow) {
    return tableRow + 1;
}

// Adds one data row at the bottom.
inline void addRow(QTableWidget& grid) {
    grid.setRowCount(grid.rowCount() + 1);
}

// The text of cell (column, grid row); empty for a blank cell.
inline QString cellText(const QTableWidget& grid, int column, int gridRow) {
    const QTableWidgetItem* item = grid.item(tableRow(gridRow), column);
    return item ? item->text() : QString();
}

}  // namespace tavo::works_grid
