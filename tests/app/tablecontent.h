// Reads back what a grid of the main window shows: its header texts and the texts of its rows.
#pragma once

#include <QList>
#include <QStringList>
#include <QTableView>

#include <ostream>

inline QStringList HeaderTexts(const QTableView& view)
{
    QStringList texts;
    for (int column = 0; column < view.model()->columnCount(); ++column)
        texts << view.model()->headerData(column, Qt::Horizontal).toString();
    return texts;
}

inline QStringList RowTexts(const QTableView& view, int row)
{
    QStringList texts;
    for (int column = 0; column < view.model()->columnCount(); ++column)
        texts << view.model()->index(row, column).data().toString();
    return texts;
}

inline QList<QStringList> AllRows(const QTableView& view)
{
    QList<QStringList> rows;
    for (int row = 0; row < view.model()->rowCount(); ++row)
        rows << RowTexts(view, row);
    return rows;
}

// Expected cell texts written with the degree sign.
inline QString U8(const char* text)
{
    return QString::fromUtf8(text);
}

// Lets GoogleTest print the texts of a failed comparison.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
