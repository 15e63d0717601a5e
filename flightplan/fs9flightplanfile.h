// The FS2004 flight plan file, an INI text of one section:
//     [flightplan]
//     title=KSEA to KPDX
//     cruising_altitude=30000
//     departure_id=KSEA, N47* 26.99', W122* 18.56', +000433.00
//     destination_id=KPDX, N45* 35.32', W122* 35.86', +000030.00
//     waypoint.0=, KSEA, , KSEA, A, N47* 26.99', W122* 18.56', +000433.00,
//     waypoint.1=K1, SEA, , SEA, V, N47* 26.18', W122* 18.57', +000000.00,
#pragma once

#include "flightplan/flightplan.h"
#include "flightplan/planfiletext.h"

#include <QByteArray>
#include <QString>

namespace planfile {

// The whole file for a calculated plan, Latin-1 (a dash beyond it as "-"), lines ended by a line feed. Kinds are
// written as the simulator reads them: "I" intersection, "V" VOR, "N" NDB, "A" the rest.
QByteArray WriteFS9FlightPlan(const aviation::CFlightplan& plan);

// Reads the file at `path` into the plan, each value as its raw text, so names keep their commas and quotes and
// positions their seconds marks. False, after "(Flightplanner) - Not FS9 flight plan" in the log and with the plan
// untouched, when the departure or the destination is not an ident and a position. Waypoint lines are read
// counted from the end, with or without the simulator's closing comma, from waypoint.0 up to the first key
// missing or too short, which the log tells with "(FlightPlanner) - can not explode waypoint". Points at an
// unreadable position are kept as such (NaN) for the caller to place or leave out.
bool ReadFS9FlightPlan(const QString& path, aviation::CFlightplan& plan, const LogFunction& log);

} // namespace planfile
