// The X-Plane flight management computer's plan file. Version 3 (X-Plane 9 and 10): type, ident, altitude,
// latitude, longitude; line 4 holds the number of waypoints, which X-Plane itself writes as the count minus one:
//     I
//     3 version
//     1
//     2
//     1 KSEA 433.000000 47.449000 -122.309000
//     3 SEA 0.000000 47.435372 -122.309781
//     1 KPDX 30.000000 45.588700 -122.597500
// Version 1100 (X-Plane 11) adds header lines and an airway column between ident and altitude:
//     11 OLM V165 10000.000000 46.971500 -122.902000
#pragma once

#include "flightplan/flightplan.h"

#include <QByteArray>
#include <QString>

namespace planfile {

// The whole file for a calculated plan in version 3, Latin-1, lines ended by a line feed. Codes are X-Plane's:
// 1 airport, 2 NDB, 3 VOR, 11 fix, 28 any other point (0 for a point of no kind).
QByteArray WriteXPlaneFlightPlan(const aviation::CFlightplan& plan);

// Reads the file at `path` into the plan; false, leaving the plan untouched, when it cannot be opened, has
// fewer than 5 lines or no version in its second line. Airports come back as airports, every other point as an
// intersection; rows of code 0, of fewer items or at an unreadable position are skipped. The departure is the first
// airport row (else the first row), the destination the last airport row after it (else the last row of two or more).
bool ReadXPlaneFlightPlan(const QString& path, aviation::CFlightplan& plan);

} // namespace planfile
