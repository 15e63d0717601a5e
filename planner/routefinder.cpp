#include "planner/routefinder.h"

#include <QStringList>
#include <QUrl>

#include <cmath>
#include <optional>

namespace {

constexpr int kMinimumLineLength = 5;
constexpr int kLineFields = 4;
constexpr int kFixSubfields = 6;
constexpr double kMicroDegrees = 1000000.0;
constexpr int kAirport = 1;

QString Encoded(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

// A coordinate subfield in millionths of a degree; text that is no number reads as 0.
double Degrees(const QString& subfield)
{
    return subfield.toDouble() / kMicroDegrees;
}

std::optional<aviation::CWaypointWX> ReadFix(const QString& entry, const RouteFinder::AirportElevation& elevation)
{
    const QStringList subfields = entry.split(QLatin1Char('~'));
    if (subfields.size() < kFixSubfields)
        return std::nullopt;
    const double latitude = Degrees(subfields[1]);
    const double longitude = Degrees(subfields[2]);
    if (!std::isfinite(latitude) || !std::isfinite(longitude) || std::fabs(latitude) > 90.0
        || std::fabs(longitude) > 180.0)
        return std::nullopt;
    const QString& ident = subfields[0];
    const int type = RouteFinder::WaypointType(subfields[5]);
    const int altitude = type == kAirport && elevation ? elevation(ident) : -1;
    aviation::WayPoint point(ident.toStdWString().c_str(), latitude, longitude, L"", type, altitude);
    point.SetAirway(subfields[4].toStdWString());
    return aviation::CWaypointWX(point, 13.0f, 5.0f, 1013.2f);
}

} // namespace

QString RouteFinder::RequestUrl(const QString& base, const QString& appName, const QString& departure,
                                const QString& destination)
{
    return base
        + QStringLiteral("/access.php?type=app&name=%1&dep=%2&dest=%3")
              .arg(Encoded(appName), Encoded(departure), Encoded(destination));
}

std::vector<aviation::CFlightplan> RouteFinder::ParseReply(const QString& reply, const AirportElevation& elevation)
{
    std::vector<aviation::CFlightplan> candidates;
    for (const QString& line : reply.split(QLatin1Char('\n'))) {
        if (line.size() < kMinimumLineLength)
            continue;
        const QStringList fields = line.split(QLatin1Char(':'));
        if (fields.size() < kLineFields)
            continue;
        const QStringList fixes = fields[3].split(QLatin1Char('|'));
        if (fixes.size() < 2)
            continue;
        aviation::CFlightplan candidate;
        candidate.flightLevel = fields[0].toStdWString();
        candidate.title = fields[1].toStdWString();
        candidate.remarks = fields[2].toStdWString();
        for (const QString& entry : fixes) {
            if (const auto waypoint = ReadFix(entry, elevation))
                candidate.waypoints.push_back(*waypoint);
        }
        if (candidate.waypoints.empty())
            continue;
        candidate.departure = candidate.waypoints.front();
        candidate.destination = candidate.waypoints.back();
        candidates.push_back(candidate);
    }
    return candidates;
}

int RouteFinder::WaypointType(const QString& fixType)
{
    if (fixType == QLatin1String("APT"))
        return kAirport;
    if (fixType == QLatin1String("VOR") || fixType == QLatin1String("VOR DME"))
        return 5;
    if (fixType == QLatin1String("NDB"))
        return 6;
    if (fixType == QLatin1String("DME"))
        return 7;
    return 4;
}
