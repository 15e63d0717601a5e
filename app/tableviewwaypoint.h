// The flight planner's grid of the route's waypoints: per waypoint its position, the leg from the previous one
// (course, distance, time), the weather found for it and the speeds and heading worked out for the leg.
#pragma once

#include "flightplan/flightplan.h"
#include "weather/waypoint.h"

#include <QStandardItemModel>
#include <QTableView>

#include <memory>

class CTableViewWaypoint : public QTableView
{
    Q_OBJECT

public:
    explicit CTableViewWaypoint(QWidget* parent = nullptr);
    ~CTableViewWaypoint() override;

    // Shows an empty grid on a new model. A selection model taken from the view before does not survive it.
    void ResetModel();
    // Replaces the rows by one row per route waypoint of the plan.
    void SetFlightPlan(const aviation::CFlightplan& plan);
    // Selects the first row of the waypoint's ident; the selection stays as it is when no row has it.
    void SelectWaypoint(const aviation::WayPoint& waypoint);

private:
    void InitHeader();
    void InitColumnWidths();

    std::shared_ptr<QStandardItemModel> m_model;
};
