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

} // namespace aviation
