// A flight for the bridge peer to play: one aircraft sample per line, in the order the simulator would give
// them, blank lines and "#" comments ignored:
//     # lat     lon      alt    height  tas  gs   hdg  vs     flags
//     50.04940  8.57260  364    0       0    0    340  0      GPED
// Altitude and height in ft, speeds in kt, heading in degrees, vertical speed in ft/min. The flags are letters
// in any order, "-" for none: G on ground, P parking brake, E engines off, L landing lights, D door open.
#pragma once

#include "simlink/aircraft.h"

#include <QString>

#include <vector>

namespace tools {

class CFlightScript
{
public:
    // The samples of the text; false, with the line number and its fault in `error`, at the first bad line.
    static bool Parse(const QString& text, std::vector<aviation::structs::CAircraft>& samples, QString& error);
    static bool Load(const QString& path, std::vector<aviation::structs::CAircraft>& samples, QString& error);
};

} // namespace tools
