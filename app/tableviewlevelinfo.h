// The Weather page's grid of the wind and temperature levels above the station shown.
#pragma once

#include <QTableView>

class CTableViewLevelInfo : public QTableView
{
    Q_OBJECT

public:
    explicit CTableViewLevelInfo(QWidget* parent = nullptr);
};
