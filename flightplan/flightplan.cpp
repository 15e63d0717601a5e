#include "flightplan/flightplan.h"

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

double RouteDistance(const CFlightplan& plan)
{
    double distance = 0.0;
    Position previous;
    for (const CWaypointWX& point : plan.waypoints) {
        const Position position = point.GetPosition();
        if (!(previous == Position()))
            distance += Position::GetDistance(previous, position);
        previous = position;
    }
    return distance;
}

double RouteCourse(const CFlightplan& plan)
{
    if (plan.waypoints.size() < 2)
        return 0.0;
    return Position::GetCourse(plan.departure.GetPosition(), plan.destination.GetPosition());
}

} // namespace aviation
