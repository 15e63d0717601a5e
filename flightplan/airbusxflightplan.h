// The Airbus X add-on's flight plan "KSEAKPDX01.flp": an INI file of one group, the airports and one entry triple
// per airway segment between the first and the last en-route waypoint:
//     [CoRte]
//     Airway1=DCT
//     Airway1FROM=SEA
//     Airway1TO=OLM
//     ArptArr=KPDX
//     ArptDep=KSEA
//     RwyArr=
//     RwyDep=
//     SID=
#pragma once

#include "flightplan/flightplan.h"

#include <QString>

class AirbusXFlightplan
{
public:
    enum class Result {
        Written,
        // The file holds only the airports and the empty runways and SID: a route needs two waypoints.
        TooFewWaypoints,
        // The file could not be written.
        NotWritten,
    };

    // Replaces every entry of the file at `path` with the plan's.
    static Result Write(const QString& path, const aviation::CFlightplan& plan);
};
