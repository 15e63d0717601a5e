// The Flight Data page's grid of the winds the direct wind control steers between.
#pragma once

#include <QTableView>

class CTableViewDirectWindControl : public QTableView
{
    Q_OBJECT

public:
    explicit CTableViewDirectWindControl(QWidget* parent = nullptr);
};
