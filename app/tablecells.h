// Cell texts and items shared by the main window's read-only grids. Texts come from printf-style formats through
// QString::asprintf, which formats numbers without the locale; a "%c" in a format takes kDegreeSign.
#pragma once

#include <QStandardItem>
#include <QString>

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

} // namespace tablecells
