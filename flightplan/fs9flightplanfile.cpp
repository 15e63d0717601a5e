#include "flightplan/fs9flightplanfile.h"

#include "flightplan/worldposition.h"
#include "platform/debugoutput.h"

#include <QSettings>
#include <QStringList>

namespace planfile {

namespace {

QString Ident(const aviation::WayPoint& point)
{
    return QString::fromStdWString(point.GetIdent());
}

QString PositionText(const aviation::WayPoint& point)
{
    return WayPointToText(point, kFS9DegreeMark, true);
}

QString TypeLetter(int type)
{
    switch (type) {
    case 4:
        return QStringLiteral("I");
    case 5:
        return QStringLiteral("V");
    case 6:
        return QStringLiteral("N");
    default:
        return QStringLiteral("A");
    }
}

int TypeOf(const QString& letter)
{
    if (letter == QLatin1String("A"))
        return 1;
    if (letter == QLatin1String("V"))
        return 5;
    if (letter == QLatin1String("N"))
        return 6;
    return 4;
}

// The airport of a "departure_id" or "destination_id" list: ident, latitude, longitude, altitude. False when the
// list is too short to be one.
bool ReadAirport(const QSettings& file, const QString& key, const QString& nameKey, aviation::CWaypointWX& airport)
{
    const QStringList items = file.value(key).toStringList();
    if (items.size() < 4)
        return false;
    aviation::WayPoint point = WayPointFromText(items.mid(1, 3).join(QStringLiteral(", ")));
    if (!IsReadablePosition(point))
        point = aviation::WayPoint(L"", 0.0, 0.0, L"", 0, point.GetAltitude());
    airport = RoutePoint(items.at(0), point, file.value(nameKey).toString(), 1, point.GetAltitude());
    return true;
}

} // namespace

QByteArray WriteFS9FlightPlan(const aviation::CFlightplan& plan)
{
    const QString departure = Ident(plan.departure);
    const QString destination = Ident(plan.destination);
    QStringList lines = {
        QStringLiteral("[flightplan]"),
        QStringLiteral("AppVersion=9.1.40901"),
        QStringLiteral("title= ") + departure + QStringLiteral(" to ") + destination,
        QStringLiteral("description=") + departure + QStringLiteral(", ") + destination,
        QStringLiteral("type=IFR"),
        QStringLiteral("routetype=1"),
        QStringLiteral("cruising_altitude=") + QString::number(plan.cruiseAltitude),
        QStringLiteral("departure_id=") + departure + QStringLiteral(", ") + PositionText(plan.departure),
        QStringLiteral("departure_position=1"),
        QStringLiteral("destination_id=") + destination + QStringLiteral(", ") + PositionText(plan.destination),
        QStringLiteral("departure_name=") + QString::fromStdWString(plan.departure.GetName()),
        QStringLiteral("destination_name=") + QString::fromStdWString(plan.destination.GetName()),
        QStringLiteral("alternate_name=") + QString::fromStdWString(plan.alternate.GetName()),
    };
    for (std::size_t index = 0; index < plan.waypoints.size(); ++index) {
        const aviation::CWaypointWX& point = plan.waypoints[index];
        lines << QStringLiteral("waypoint.%1=KK, %2, ,%2, %3, %4")
                     .arg(index)
                     .arg(Ident(point), TypeLetter(point.GetType()), PositionText(point));
    }
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toLatin1();
}

bool ReadFS9FlightPlan(const QString& path, aviation::CFlightplan& plan, const LogFunction& log)
{
    QSettings file(path, QSettings::IniFormat);
    platform::DebugOut(QStringLiteral("Reading FS9 Flightplan from %1\n").arg(file.fileName()).toStdWString());
    file.beginGroup(QStringLiteral("flightplan"));
    plan.title = file.value(QStringLiteral("title")).toString().toStdWString();
    plan.flightplanType = file.value(QStringLiteral("type")).toString().toStdWString();
    plan.routeType = file.value(QStringLiteral("routetype")).toString().toStdWString();
    plan.cruiseAltitude = TruncatedNumber(file.value(QStringLiteral("cruising_altitude")).toString());

    aviation::CWaypointWX departure;
    aviation::CWaypointWX destination;
    if (!ReadAirport(file, QStringLiteral("departure_id"), QStringLiteral("departure_name"), departure)
        || !ReadAirport(file, QStringLiteral("destination_id"), QStringLiteral("destination_name"), destination)) {
        log(QStringLiteral("(Flightplanner) - Not FS9 flight plan"));
        return false;
    }
    plan.departure = departure;
    plan.destination = destination;

    for (int index = 0;; ++index) {
        const QStringList items = file.value(QStringLiteral("waypoint.%1").arg(index)).toStringList();
        const int count = items.size();
        if (count < 6) {
            log(QStringLiteral("(FlightPlanner) - can not explode waypoint"));
            break;
        }
        // Counted from the end: the simulator ends every line with a comma, and the items before the ident
        // (region, airway) vary.
        const QString ident = items.at(count - 6);
        const int type = TypeOf(items.at(count - 5).trimmed());
        const aviation::WayPoint point = WayPointFromText(
            QStringList{items.at(count - 4), items.at(count - 3), items.at(count - 2)}.join(QStringLiteral(", ")));
        if (!IsReadablePosition(point))
            continue;
        const int altitude = type == 1 ? point.GetAltitude() : plan.cruiseAltitude;
        plan.waypoints.push_back(RoutePoint(ident, point, ident, type, altitude));
    }
    return true;
}

} // namespace planfile
