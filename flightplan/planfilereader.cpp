#include "flightplan/planfilereader.h"

#include "flightplan/fs9flightplanfile.h"
#include "flightplan/fsxflightplanfile.h"
#include "flightplan/xplaneflightplanfile.h"
#include "platform/debugoutput.h"
#include "platform/regularfile.h"
#include "weather/weatherstations.h"

#include <QFile>
#include <QXmlStreamReader>

#include <algorithm>

namespace planfile {

namespace {

void DebugLine(const QString& text)
{
    platform::DebugOut((text + QLatin1Char('\n')).toStdWString());
}

// Runs the FSX/P3D reader when the file is an XML plan. False when the file is no XML plan (the other readers
// get it); true with `error` set when the plan breaks off with an XML error.
bool ReadXmlPlan(QFile& file, aviation::CFlightplan& plan, QString& error)
{
    QXmlStreamReader reader(&file);
    bool isPlan = false;
    while (!reader.atEnd() && !reader.hasError()) {
        if (reader.readNext() == QXmlStreamReader::StartDocument)
            continue;
        if (reader.isStartElement()) {
            DebugLine(QStringLiteral("TabFlightplanner: XML Token - ") + reader.name());
            if (reader.name() == QLatin1String("FlightPlan.FlightPlan")) {
                isPlan = true;
                ReadFSXFlightPlan(reader, plan);
            }
        }
    }
    if (!reader.hasError())
        return true;
    if (!isPlan) {
        DebugLine(QStringLiteral("TabFlightplanner: XMLError - ") + reader.errorString());
        return false;
    }
    error = QStringLiteral("its XML breaks off in line %1: %2").arg(reader.lineNumber()).arg(reader.errorString());
    return true;
}

// Gives an airport without a readable position the station database's; false when it has no ident or no
// position can be found for it.
bool PlaceAirport(aviation::CWaypointWX& airport, const AirportFinder& findAirport)
{
    if (airport.GetIdent().empty())
        return false;
    if (IsReadablePosition(airport))
        return true;
    aviation::CWaypointWX known;
    if (!findAirport || !findAirport(QString::fromStdWString(airport.GetIdent()), known))
        return false;
    airport.SetLatitude(known.GetLatitude());
    airport.SetLongitude(known.GetLongitude());
    airport.SetAltitude(known.GetAltitude());
    if (airport.GetName().empty())
        airport.SetName(known.GetName());
    return true;
}

bool IsAirport(const aviation::CWaypointWX& point)
{
    return point.GetType() == 1 || point.GetType() == 2;
}

// Places what can be placed, leaves out the rest and tells how many; the refusal reason when the plan cannot fly.
QString CompleteRoute(aviation::CFlightplan& plan, const AirportFinder& findAirport, QStringList& notes)
{
    std::vector<aviation::CWaypointWX> placed;
    for (aviation::CWaypointWX& point : plan.waypoints) {
        if (IsAirport(point) ? PlaceAirport(point, findAirport) : IsReadablePosition(point))
            placed.push_back(point);
    }
    const std::size_t leftOut = plan.waypoints.size() - placed.size();
    plan.waypoints = std::move(placed);
    if (leftOut == 1)
        notes << QStringLiteral("1 waypoint without a position was left out");
    else if (leftOut > 1)
        notes << QStringLiteral("%1 waypoints without a position were left out").arg(leftOut);

    if (!PlaceAirport(plan.departure, findAirport) || !PlaceAirport(plan.destination, findAirport))
        return QStringLiteral("it names no departure and destination airport with a position");
    if (plan.waypoints.size() < 2)
        return QStringLiteral("it holds fewer than two waypoints with a position");
    return QString();
}

void KeepCruiseAltitude(aviation::CFlightplan& plan, int currentCruiseAltitude, QStringList& notes)
{
    const int read = plan.cruiseAltitude;
    if (read >= 0 && read <= kMaxCruiseAltitude)
        return;
    notes << QStringLiteral("the cruising altitude of %1 ft does not fit the field and was not taken").arg(read);
    plan.cruiseAltitude = currentCruiseAltitude;
    for (aviation::CWaypointWX& point : plan.waypoints) {
        if (!IsAirport(point) && point.GetAltitude() == read)
            point.SetAltitude(currentCruiseAltitude);
    }
}

} // namespace

AirportFinder AirportsOf(const aviation::weather::CWeatherStations& stations)
{
    return [&stations](const QString& ident, aviation::CWaypointWX& airport) {
        aviation::weather::CStation station;
        if (!stations.FindAirport(ident.toStdWString(), station))
            return false;
        airport = RoutePoint(QString::fromWCharArray(station.GetICAO()), station.GetPosition(),
                             QString::fromStdWString(station.GetName()), 1, station.GetElevation());
        return true;
    };
}

PlanFileReading ReadPlanFile(const QString& path, int currentCruiseAltitude, const AirportFinder& findAirport,
                             const LogFunction& log)
{
    PlanFileReading reading;
    QFile file(path);
    if (!platform::OpenRegularFile(file, reading.error))
        return reading;
    if (file.size() == 0) {
        reading.error = QStringLiteral("the file is empty");
        return reading;
    }
    const bool isXmlPlan = ReadXmlPlan(file, reading.plan, reading.error);
    file.close();
    if (reading.Refused())
        return reading;
    if (!isXmlPlan && !ReadFS9FlightPlan(path, reading.plan, log) && !ReadXPlaneFlightPlan(path, reading.plan)) {
        reading.error = QStringLiteral("it is no FSX/P3D, FS2004 or X-Plane flight plan");
        return reading;
    }
    reading.error = CompleteRoute(reading.plan, findAirport, reading.notes);
    if (!reading.Refused())
        KeepCruiseAltitude(reading.plan, currentCruiseAltitude, reading.notes);
    return reading;
}

} // namespace planfile
