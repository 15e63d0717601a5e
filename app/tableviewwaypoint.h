// The flight planner's grid of the route's waypoints with the weather and leg values of each.
#pragma once

#include <QTableView>

class CTableViewWaypoint : public QTableView
{
    Q_OBJECT

public:
    explicit CTableViewWaypoint(QWidget* parent = nullptr);
};
