// World-position texts: the latitude, longitude and altitude of a point on one line, as FSX and Prepar3D
//     N47° 26' 56",W122° 18' 34",+433.00
// and FS2004 write them in their flight plan files (FS2004 with "*" and ", "; its own files carry decimal minutes):
//     N47* 26.99', W122* 18.56', +000433.00
// Some planners write decimal degrees instead, signed with or without the mark, or behind the letter:
//     54.765892 , -130.647858,+5000
//     N47.449944,W122.309417,+433
#pragma once

#include "weather/waypoint.h"

#include <QChar>
#include <QString>

namespace planfile {

// The degree marks of the two kinds of file.
inline constexpr QChar kDegreeSign(0x00B0);
inline constexpr QChar kFS9DegreeMark(QLatin1Char('*'));

// Hemisphere letter and degrees text of the latitude, then of the longitude, then the altitude ("+1372.00",
// "-1.00"), separated by "," or, with blankAfterComma, by ", ".
QString WayPointToText(const aviation::WayPoint& point, QChar mark, bool blankAfterComma);
// Whole degrees, the mark, minutes and seconds of a magnitude rounded to the whole second: 47.5 -> 47° 30' 0".
QString DegreesToText(double degrees, QChar mark);
// One latitude or longitude part ("S33° 56' 46\"", "W118* 24.5'", "N47° 26.5", "N47.449944") in signed decimal
// degrees. A part without a hemisphere letter is read as signed decimal degrees ("-130.647858", "54.765892°").
// "nan" and "inf" read as such, and a text of neither form (a part that is no number, "N46 58 18", a sign behind
// the letter as in "S-33.946111") reads as NaN: IsReadablePosition tells them apart.
double CoordinateFromText(const QString& text, QChar mark);
// The point of a world-position text, its ident and name empty and its type 0; each coordinate is read with the
// degree mark it carries itself. The altitude is rounded to whole feet. A text of fewer than three parts is no
// position: latitude and longitude NaN, altitude 0.
aviation::WayPoint WayPointFromText(const QString& text);

} // namespace planfile
