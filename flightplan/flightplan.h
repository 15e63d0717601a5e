// A flight plan: the route's waypoints in flight order, the texts a plan file or the route finder gives, the
// cruising altitude and the departure, destination and alternate airports.
#pragma once

#include "weather/waypoint.h"

#include <string>
#include <vector>

namespace aviation {

struct CFlightplan
{
    CFlightplan();
    CFlightplan(const CFlightplan& other);
    CFlightplan& operator=(const CFlightplan& other);
    ~CFlightplan();

    // Empties the route, the title, the plan type and the route type, sets the cruising altitude to 0 and the
    // departure and destination to default points. The flight level text, the remarks and the alternate stay.
    void Clear();

    std::vector<CWaypointWX> waypoints;
    std::wstring title;
    std::wstring flightLevel;
    std::wstring flightplanType;
    std::wstring routeType;
    std::wstring remarks;
    int cruiseAltitude = 0; // feet
    CWaypointWX departure;
    CWaypointWX destination;
    CWaypointWX alternate;
};

// The length of the route through its waypoints (NM); a waypoint at exactly 0°N 0°E starts the sum anew.
double RouteDistance(const CFlightplan& plan);
// The initial course from departure to destination (degrees), 0 for a route of fewer than 2 waypoints.
double RouteCourse(const CFlightplan& plan);

} // namespace aviation
