// Reads back what a grid of the main window shows: its header texts and the texts of its rows.
#pragma once

#include <QAbstractItemModel>
#include <QStringList>
#include <QTableView>

#include <gtest/gtest.h>

#include <ostream>

inline QStringList HeaderTexts(const QTableView& view)
{
    QStringList texts;
    const QAbstractItemModel* model = view.model();
    for (int column = 0; column < model->columnCount(); ++column)
        texts << model->headerData(column, Qt::Horizontal).toString();
    return texts;
}

inline QStringList RowTexts(const QTableView& view, int row)
{
    QStringList texts;
    const QAbstractItemModel* model = view.model();
    for (int column = 0; column < model->columnCount(); ++column)
        texts << model->index(row, column).data().toString();
    return texts;
}

inline QList<QStringList> AllRows(const QTableView& view)
{
    QList<QStringList> rows;
    for (int row = 0; row < view.model()->rowCount(); ++row)
        rows << RowTexts(view, row);
    return rows;
}

// Shorthand for expected cell texts written with the degree sign.
inline QString U8(const char* text)
{
    return QString::fromUtf8(text);
}

// Lets GoogleTest print the texts of a failed comparison.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* out)
{
    *out << '[' << texts.join(QStringLiteral(" | ")).toStdString() << ']';
}
QT_END_NAMESPACE
