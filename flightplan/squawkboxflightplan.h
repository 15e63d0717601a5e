// The SquawkBox pilot client's flight plan "KSEA-KPDX.sfp": an INI file of one group, its keys in alphabetical
// order as the INI writer puts them:
//     [SBFlightPlan]
//     Airspeed=0
//     Alternate=KTCM
//     Altitude=35000
//     Arrival=KPDX
//     Departure=KSEA
#pragma once

#include "flightplan/flightplan.h"

#include <QString>

class SquawkBoxFlightplan
{
public:
    // Replaces every entry of the file at `path` with the plan's airports, the cruising altitude and the route
    // as the page shows them; false when the file could not be written.
    static bool Write(const QString& path, const aviation::CFlightplan& plan, const QString& altitude,
                      const QString& route);
};
