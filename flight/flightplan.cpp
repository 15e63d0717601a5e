#include "flight/flightplan.h"

namespace aviation {

CFlightplan::CFlightplan() = default;
CFlightplan::CFlightplan(const CFlightplan& other) = default;
CFlightplan& CFlightplan::operator=(const CFlightplan& other) = default;
CFlightplan::~CFlightplan() = default;

void CFlightplan::Clear()
{
    waypoints.clear();
    departure = CWaypointWX();
    destination = CWaypointWX();
    cruiseAltitude = 0;
    title.clear();
    flightplanType.clear();
    routeType.clear();
}

} // namespace aviation
