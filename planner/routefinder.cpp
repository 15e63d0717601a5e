#include "planner/routefinder.h"

#include <QRegularExpression>
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

// A coordinate subfield in whole millionths of a degree; nothing for text that is no such number.
std::optional<double> Degrees(const QString& subfield)
{
    bool number = false;
    const qlonglong micro = subfield.toLongLong(&number);
    if (!number)
        return std::nullopt;
    return static_cast<double>(micro) / kMicroDegrees;
}

// An ident of letters and digits, as navigation databases name fixes.
bool IsIdent(const QString& text)
{
    static const QRegularExpression ident(QStringLiteral("^[A-Za-z0-9]{1,12}$"));
    return ident.match(text).hasMatch();
}

std::optional<aviation::CWaypointWX> ReadFix(const QString& entry, const RouteFinder::AirportElevation& elevation)
{
    const QStringList subfields = entry.split(QLatin1Char('~'));
    if (subfields.size() < kFixSubfields || !IsIdent(subfields[0]) || subfields[5].trimmed().isEmpty())
        return std::nullopt;
    const std::optional<double> latitude = Degrees(subfields[1]);
    const std::optional<double> longitude = Degrees(subfields[2]);
    if (!latitude || !longitude || std::fabs(*latitude) > 90.0 || std::fabs(*longitude) > 180.0)
        return std::nullopt;
    const QString& ident = subfields[0];
    const int type = RouteFinder::WaypointType(subfields[5]);
    const int altitude = type == kAirport && elevation ? elevation(ident) : -1;
    aviation::WayPoint point(ident.toStdWString().c_str(), *latitude, *longitude, L"", type, altitude);
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
        if (candidate.waypoints.size() < 2)
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
