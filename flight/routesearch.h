// The route finder as the planner page asks it: checks the typed airports, downloads the routes between them
// with the window's downloader and lets the user pick one in the route picker.
#pragma once

#include "flight/flightplan.h"

#include <QString>

#include <optional>

class CMainWindowHost;
class QWidget;

class RouteSearch
{
public:
    // The picker's parent and the window whose downloader, station database and log the search uses.
    RouteSearch(QWidget* window, CMainWindowHost* host);

    // The picked route; nothing when the airports are not four characters each, the download fails, the reply
    // holds no usable route or the picker is cancelled (each reported as the user or the log needs it).
    std::optional<aviation::CFlightplan> Pick(const QString& departure, const QString& destination);

    // The length of the route through its waypoints (NM); a waypoint at exactly 0°N 0°E starts the sum anew.
    static double RouteDistance(const aviation::CFlightplan& plan);
    // The initial course from departure to destination (degrees), 0 for a route of fewer than 2 waypoints.
    static double RouteCourse(const aviation::CFlightplan& plan);

private:
    QWidget* m_window;
    CMainWindowHost* m_host;
};
