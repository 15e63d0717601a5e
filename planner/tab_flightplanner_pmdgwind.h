// The PMDG 777 wind file: two lines per route point with the wind and temperature at ten altitudes,
//     EDDF\t 240@12(4)\t250@18(-1)\t255@25(-7)\t260@33(-19)\t265@41(-31)\n
//     \t\t270@48(-43)\t270@52(-51)\t275@58(-56)\t275@44(-57)\t270@30(-58)\n
// written after every calculation as "<departure><destination>.wx" into the folder the user chose.
#pragma once

#include "flightplan/flightplan.h"

#include <QString>

namespace flightplanner {

// The file's text for the calculated route, from each point's grid weather.
QString PMDG777WindText(const aviation::CFlightplan& plan);

// Writes the text into "<departure><destination>.wx" in the folder, replacing an earlier file; the idents are
// made safe to name a file with ("../x" stays in the folder). False, with "Can not create file: " and the path
// on the debug output, when no folder is given or the file cannot be written.
bool WritePMDG777WindFile(const QString& folder, const aviation::CFlightplan& plan);

} // namespace flightplanner
