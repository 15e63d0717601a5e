// The route finder's request and reply. A GET of
//     <base>/access.php?type=app&name=aerovane&dep=EDDF&dest=LOWW
// answers one route per line: flight level, route, remarks and the fixes, separated by ":"; the fixes by "|",
// each one ident, latitude and longitude in millionths of a degree, an unused field, the airway and the type,
// separated by "~":
//     FL350:EDDF DCT LOWW:none:EDDF~50033333~8570556~~~APT|LOWW~48110278~16569722~~~APT
#pragma once

#include "flightplan/flightplan.h"

#include <QString>

#include <functional>
#include <string>
#include <vector>

class RouteFinder
{
public:
    // The elevation (ft) of an airport of the station database, 0 when it holds no such airport.
    using AirportElevation = std::function<int(const QString& ident)>;

    // The request address; the departure and destination go out as typed, percent-encoded.
    static QString RequestUrl(const QString& base, const QString& appName, const QString& departure,
                              const QString& destination);

    // One flight plan per line that reads as a route, in reply order: its route text as the title, the flight
    // level and remarks texts, one waypoint per usable fix and the first and last fix as departure and
    // destination. A fix is usable when it has six subfields, an ident of letters and digits, coordinates that
    // are whole numbers on the globe and a type text; other fixes are skipped, and a line with fewer than two
    // usable fixes is no route. Nothing is trimmed, so a CR before the line feed stays in the last subfield.
    static std::vector<aviation::CFlightplan> ParseReply(const QString& reply, const AirportElevation& elevation);

    // The waypoint type of a fix type text: 1 airport, 4 intersection (also for unknown texts), 5 VOR, 6 NDB,
    // 7 DME.
    static int WaypointType(const QString& fixType);
};
