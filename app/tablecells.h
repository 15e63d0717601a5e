// Cell texts and items shared by the main window's read-only grids. Texts come from printf-style formats through
// QString::asprintf, which formats numbers without the locale; a "%c" in a format takes kDegreeSign.
#pragma once

#include <QHeaderView>
#include <QStandardItem>
#include <QString>
#include <QTableView>

namespace tablecells {

// Character code of the degree sign, the argument of every "%c" in the grids' formats.
constexpr int kDegreeSign = 0xB0;

// A read-only cell showing the text in the middle of the cell.
inline QStandardItem* CenteredItem(const QString& text)
{
    auto* item = new QStandardItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

// After a fill: every column as wide as its widest cell or header, so no cell is elided, and the last column
// takes the room that is left, if any (a table wider than its view scrolls instead).
inline void FitColumnsToContents(QTableView& table)
{
    QHeaderView& header = *table.horizontalHeader();
    header.setStretchLastSection(false);
    table.resizeColumnsToContents();
    header.setStretchLastSection(header.length() < table.viewport()->width());
}

} // namespace tablecells
