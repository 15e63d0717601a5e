// Reading a flight plan file of any kind the program knows (FSX/P3D, FS2004, X-Plane) into a new record, and the
// rule by which a file is refused: a refused file never reaches the plan the caller holds.
#pragma once

#include "flightplan/flightplan.h"
#include "flightplan/planfiletext.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace aviation::weather {
class CWeatherStations;
}

namespace planfile {

// Places an airport a file names without a readable position: true, with the airport's position, name and
// elevation in `airport`, when the ident is known.
using AirportFinder = std::function<bool(const QString& ident, aviation::CWaypointWX& airport)>;

// The finder over the airports of a station database.
AirportFinder AirportsOf(const aviation::weather::CWeatherStations& stations);

// The largest cruising altitude (ft) the planner's field holds.
inline constexpr int kMaxCruiseAltitude = 99999;

struct PlanFileReading
{
    // The plan read, complete only when nothing was refused.
    aviation::CFlightplan plan;
    // Why the file was refused; empty when it was taken.
    QString error;
    // What the import changed on the way, one sentence each ("3 waypoints without a position were left out").
    QStringList notes;

    bool Refused() const { return !error.isEmpty(); }
};

// Reads the file, trying the FSX/P3D, the FS2004 and the X-Plane reader in turn. A waypoint without a readable
// position is never placed at 0/0: an airport is placed by `findAirport`, any other is left out. The file is
// refused when it is no regular file (a FIFO, a folder), when it cannot be opened, when its XML plan breaks off
// with an error, or when it yields no departure, no destination or fewer than two waypoints with readable
// positions. A cruising altitude beyond kMaxCruiseAltitude is not taken: the plan keeps `currentCruiseAltitude`
// instead.
PlanFileReading ReadPlanFile(const QString& path, int currentCruiseAltitude, const AirportFinder& findAirport,
                             const LogFunction& log);

} // namespace planfile
