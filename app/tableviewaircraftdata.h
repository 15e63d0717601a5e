// The Flight Data page's grid of the aircraft's latest state as the simulator reports it.
#pragma once

#include <QTableView>

class CTableViewAircraftData : public QTableView
{
    Q_OBJECT

public:
    explicit CTableViewAircraftData(QWidget* parent = nullptr);
};
